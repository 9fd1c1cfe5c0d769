#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "tests/unit/history_list_fixture.h"

namespace {

using namespace kst;

class History : public kst_test::HistoryListFixture {};

TEST_F(History, DisplayOrderForEveryCombinationOfTheOrderSwitches) {
    AddAll({"A", "B", "C", "D", "E"});
    history.SetItemPasteMark(1, 1); // B pasted before D
    history.SetItemPasteMark(3, 0); // D pasted last
    struct {
        int invert, copyOrder;
        const char* order;
        const char* victim;
    } const cases[] = {
        {0, 0, "ABCDE", "A"}, {1, 0, "EDCBA", "A"}, // stay: ranks ignored
        {0, 1, "ACEDB", "B"}, {1, 1, "ECADB", "B"}, // move back
        {0, 2, "DBACE", "A"}, {1, 2, "DBECA", "A"}, // move to top
    };
    for (const auto& c : cases) {
        Settings(c.invert, c.copyOrder);
        EXPECT_EQ(c.order, DisplayedTexts()) << c.invert << c.copyOrder;
        EXPECT_STREQ(c.victim, history.GetItemText(history.GetOrderedIndex(ORDER_VICTIM, 0), 0));
        // The walk by ORDER_NEXT follows the display order and wraps.
        std::string walk;
        int index = history.GetOrderedIndex(ORDER_FIRST, -1);
        for (int k = 0; k < 6; ++k, index = history.GetOrderedIndex(ORDER_NEXT, index))
            walk += history.GetItemText(index, 0);
        EXPECT_EQ(std::string(c.order) + c.order[0], walk);
    }
    EXPECT_EQ(history.GetOrderedIndex(ORDER_FIRST, -1), history.GetOrderedIndex(ORDER_NEXT, 99));
    EXPECT_EQ(history.GetOrderedIndex(ORDER_FIRST, -1), history.GetOrderedIndex(ORDER_FIRST, 3));
}

TEST_F(History, VictimWhenEverythingOrNothingIsRanked) {
    AddAll({"A", "B", "C"});
    for (int copyOrder : {0, 1, 2}) {
        Settings(0, copyOrder);
        EXPECT_EQ(0, history.GetOrderedIndex(ORDER_VICTIM, -1)) << "nothing ranked: the oldest";
    }
    for (int k = 0; k < 3; ++k) history.SetItemPasteMark(k, 2 - k);
    Settings(0, 2);
    EXPECT_EQ(0, history.GetOrderedIndex(ORDER_VICTIM, -1)) << "all ranked: the highest rank";
    EXPECT_EQ(-1, ClipHistory(&host).GetOrderedIndex(ORDER_FIRST, -1)) << "empty: no index";
}

TEST_F(History, OverflowReplacesTheVictimAndNamesItsPosition) {
    struct {
        int copyOrder;
        int ranks[3]; // X Y Z
        const char* left;
        const char* note;
    } const cases[] = {
        {0, {-1, -1, -1}, "YZN", "バッファオーバーの為、履歴リスト(1)の削除/追加を行いました"},
        {2, {0, -1, -1}, "XZN", "バッファオーバーの為、履歴リスト(2)の削除/追加を行いました"},
        {1, {1, 0, -1}, "YZN", "バッファオーバーの為、履歴リスト(1)の削除/追加を行いました"},
    };
    for (const auto& c : cases) {
        history.ClearAll();
        Settings(0, c.copyOrder, 1, 0, 3);
        AddAll({"X", "Y", "Z"});
        for (int k = 0; k < 3; ++k) history.SetItemPasteMark(k, c.ranks[k]);
        host.notes.clear();
        Add("N");
        EXPECT_EQ(c.left, Texts());
        ASSERT_EQ(1u, host.notes.size());
        EXPECT_EQ("Kestrane 3/3件 [追加]", host.notes[0].first);
        EXPECT_EQ(c.note, host.notes[0].second);
        ExpectContiguousRanks();
    }
    EXPECT_EQ(0, history.Item(0)->GetPasteMark()) << "move back: Y keeps rank 0";
}

TEST_F(History, Notifications) {
    Settings(0, 0, 0, 0, 2);
    Add("a");
    Add("C:\\x\r\nC:\\y", true);
    Add("refused");
    ASSERT_EQ(3u, host.notes.size());
    EXPECT_EQ("Kestrane 1/2件 [追加]", host.notes[0].first);
    EXPECT_EQ("履歴リストに追加しました", host.notes[0].second);
    EXPECT_EQ("Kestrane 2/2件 [追加]", host.notes[1].first);
    EXPECT_EQ("ファイルパスを履歴に追加しました", host.notes[1].second);
    EXPECT_EQ("Kestrane 2/2件 [追加]", host.notes[2].first);
    EXPECT_EQ("履歴リストがいっぱいになりました", host.notes[2].second);
    EXPECT_EQ(1, host.beeps);
    EXPECT_EQ((std::vector<int>{1, 2}), host.posted) << "nothing posted for a refusal";
    EXPECT_EQ(255, history.Clipboard().currentEntryIndex);
    EXPECT_EQ("aC:\\x\r\nC:\\y", Texts());

    host.notes.clear();
    host.posted.clear();
    history.ClearAll();
    ASSERT_EQ(1u, host.notes.size());
    EXPECT_EQ("Kestrane [履歴消去]", host.notes[0].first);
    EXPECT_EQ("履歴リストをクリアしました", host.notes[0].second);
    EXPECT_TRUE(host.posted.empty());
    EXPECT_EQ(0, history.Count());
}

TEST_F(History, EntriesGetTextTimeAndAreNeverMerged) {
    Add("same");
    host.now.wMinute = 14;
    Add("same");
    ASSERT_EQ(2, history.Count());
    EXPECT_EQ(13, history.GetItemTime(0)->wMinute);
    EXPECT_EQ(14, history.GetItemTime(1)->wMinute);
    EXPECT_EQ(1, history.Clipboard().currentEntryIndex);
    EXPECT_EQ(2, host.progressDisplays) << "every entry carries its own progress display";
    EXPECT_EQ(nullptr, history.GetItemTime(2));
    EXPECT_STREQ("", history.GetItemText(-3, 0));
}

TEST_F(History, PasteRankingFollowsTheExample) {
    Settings(0, 1);
    AddAll({"X", "Y", "Z"});
    const char* expected[] = {"YZX", "ZYX", "ZYX"};
    for (int k = 0; k < 3; ++k) {
        history.AfterPaste(k, 0); // X, then Y, then Z
        EXPECT_EQ(expected[k], DisplayedTexts()) << k;
        ExpectContiguousRanks();
    }
    EXPECT_STREQ("Z", history.GetItemText(history.GetOrderedIndex(ORDER_FIRST, -1), 0));
}

TEST_F(History, PasteDeleteRemovesUnlessKept) {
    Settings(0, 1, 1, 1);
    AddAll({"X", "Y", "Z"});
    host.posted.clear();
    history.AfterPaste(0, 1);
    EXPECT_EQ("XYZ", Texts()) << "kept";
    EXPECT_EQ(0, history.Item(0)->GetPasteMark());
    history.AfterPaste(1, 0);
    EXPECT_EQ("XZ", Texts());
    EXPECT_EQ((std::vector<int>{2}), host.posted);
}

TEST_F(History, RanksStayContiguousThroughAnyMixOfOperations) {
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        Settings(random() % 2, random() % 3, 1, random() % 2, 6);
        switch (random() % 4) {
        case 0:
            Add("t");
            break;
        case 1:
        case 2:
            if (history.Count()) history.AfterPaste(random() % history.Count(), random() % 2);
            break;
        case 3:
            if (random() % 50 == 0) history.ClearAll();
            break;
        }
        ASSERT_LE(history.Count(), 6);
        ExpectContiguousRanks();
        if (HasFatalFailure()) return;
    }
}

TEST_F(History, SetFlagsAndListSettings) {
    Settings(0, 2);
    history.SetFlags(0xF000, 0x3000 | 0x155);
    EXPECT_EQ(1, history.MoveAfterPaste());
    EXPECT_EQ(1, history.InvertOrder());
    EXPECT_EQ(1, history.MoveToTop()) << "unchanged";
    EXPECT_EQ(0, history.ReformFlagsNow()) << "unchanged";
    history.SetFlags(0xFFF, 0x1155);
    EXPECT_EQ(0x155, history.ReformFlagsNow());
    EXPECT_EQ(1, history.InvertOrder()) << "unchanged";

    struct {
        int copyOrder, moveAfterPaste, moveToTop;
    } const orders[] = {{1, 1, 0}, {2, 1, 1}, {7, 1, 1}, {-1, 1, 1}, {0, 0, 1}};
    for (const auto& o : orders) {
        Settings(1, o.copyOrder, 0, 1, 33);
        EXPECT_EQ(o.moveAfterPaste, history.MoveAfterPaste()) << o.copyOrder;
        EXPECT_EQ(o.moveToTop, history.MoveToTop()) << o.copyOrder;
    }
    EXPECT_EQ(33, history.Limit());
    EXPECT_EQ(0, history.AutoDelete());
    EXPECT_EQ(1, history.PasteDelete());
}

// Every change the file would show asks for a save; refusals and reads don't.
TEST_F(History, ChangesThatTheFileKeepsAreReported) {
    Settings(0, 0, 0, 0, 2);
    const struct {
        const char* what;
        std::function<void()> step;
        int changes;
    } steps[] = {
        {"capture", [&] { Add("A"); }, 1},
        {"second capture", [&] { Add("B"); }, 1},
        {"full without auto-delete", [&] { Add("C"); }, 0},
        {"display order and texts", [&] { history.DisplayOrder(), history.GetItemText(0, 0); }, 0},
        {"paste ranks", [&] { history.AfterPaste(0, 0); }, 1},
        {"rank set", [&] { history.SetItemPasteMark(1, 1); }, 1},
        {"overflow", [&] { Settings(0, 0, 1, 0, 2), Add("D"); }, 1},
        {"paste removes", [&] { Settings(0, 0, 1, 1, 2), history.AfterPaste(0, 0); }, 1},
        {"clear", [&] { history.ClearAll(); }, 1},
    };
    for (const auto& s : steps) {
        const int before = host.changes;
        s.step();
        EXPECT_EQ(s.changes, host.changes - before) << s.what;
    }
}

TEST_F(History, EmptyListAnswers) {
    EXPECT_EQ(0, history.IsItemPasted(-1));
    EXPECT_EQ(0, history.SetItemPasteMark(0, 0));
    Add("a");
    EXPECT_EQ(0, history.IsItemPasted(-1));
    EXPECT_EQ(1, history.SetItemPasteMark(0, 0));
    EXPECT_EQ(1, history.IsItemPasted(-1));
    EXPECT_EQ(1, history.IsItemPasted(0));
}

TEST_F(History, LimitBelowOneKeepsOneEntryWithAutoDelete) {
    Settings(0, 0, 1, 0, 0);
    Add("a");
    Add("b");
    EXPECT_EQ("b", Texts());
    Settings(0, 0, 0, 0, 0);
    Add("c");
    EXPECT_EQ("b", Texts());
}

} // namespace
