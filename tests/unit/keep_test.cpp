// Pinned entries, deleting one entry and putting it back, clearing around
// pins, pasting several entries as one text, and the bound on a copy's size.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "history/file_io.h"
#include "history/history_texts.h"
#include "history/pin_companion.h"
#include "popup/popup_model.h"
#include "tests/unit/history_list_fixture.h"
#include "tests/unit/history_test_folder.h"

namespace {

using namespace kst;
namespace fs = std::filesystem;

class Keep : public kst_test::HistoryListFixture {
  protected:
    void AddAll(const std::string& letters) {
        for (char c : letters) Add(std::string(1, c));
    }
    void Pin(const std::string& letters) {
        for (char c : letters) ASSERT_EQ(1, history.TogglePin(IndexOf(c)));
    }
    int IndexOf(char c) const {
        for (int k = 0; k < history.Count(); ++k)
            if (history.GetItemText(k, 0) == std::string(1, c)) return k;
        return -1;
    }
    std::string Ranks() const {
        std::string all;
        for (int k = 0; k < history.Count(); ++k) {
            const int mark = history.Item(k)->GetPasteMark();
            all += mark < 0 ? '-' : static_cast<char>('0' + mark);
        }
        return all;
    }
    // Every entry gone, the pinned ones too.
    void Empty() {
        history.ClearAll();
        for (int k = 0; k < history.Count(); ++k) history.TogglePin(k);
        history.ClearAll();
    }
    std::string LastNote() const { return host.notes.empty() ? "" : host.notes.back().second; }
};

// A B C D E with B ranked 1 and D ranked 0; a sixth copy at the limit of 5.
TEST_F(Keep, OverflowNeverTakesAPinnedEntryUnderAnyOrder) {
    const struct {
        const char* pinned;
        const char* afterStay;   // bCOPYORDER 0
        const char* afterBack;   // 1
        const char* afterTop;    // 2
    } cases[] = {
        {"", "BCDEF", "ACDEF", "BCDEF"},
        {"AB", "ABDEF", "ABCEF", "ABDEF"},
        {"CD", "BCDEF", "ACDEF", "BCDEF"},
        {"ACE", "ACDEF", "ACDEF", "ACDEF"},
        {"ABCD", "ABCDF", "ABCDF", "ABCDF"},
    };
    for (const auto& c : cases)
        for (int invert : {0, 1})
            for (int copyOrder : {0, 1, 2}) {
                Empty();
                Settings(invert, copyOrder, 1, 0, 5);
                AddAll("ABCDE");
                history.SetItemPasteMark(1, 1);
                history.SetItemPasteMark(3, 0);
                Pin(c.pinned);
                ASSERT_EQ(1, Add("F"));
                const char* expected = copyOrder == 0 ? c.afterStay : copyOrder == 1 ? c.afterBack : c.afterTop;
                EXPECT_EQ(expected, Texts()) << "pinned " << c.pinned << " order " << copyOrder << " invert " << invert;
                for (char p : std::string(c.pinned)) EXPECT_TRUE(history.Item(IndexOf(p))->IsPinned());
            }
}

TEST_F(Keep, AFullListOfPinnedEntriesRefusesACopyAndSaysWhy) {
    for (int autoDelete : {1, 0}) {
        Empty();
        Settings(0, 0, autoDelete, 0, 3);
        AddAll("ABC");
        Pin("ABC");
        host.beeps = 0;
        EXPECT_EQ(0, Add("D"));
        EXPECT_EQ("ABC", Texts());
        EXPECT_EQ(1, host.beeps);
        EXPECT_EQ(autoDelete ? kAllPinnedText : kFullText, LastNote());
        EXPECT_EQ(kNoCurrentEntry, history.Clipboard().currentEntryIndex);
    }
}

TEST_F(Keep, AClearKeepsThePinnedEntriesAndTheClipboardEntryOnlyWhenKept) {
    const struct {
        const char* pinned;
        const char* kept;
        int current; // after the clear; the clipboard held E
        const char* note;
    } cases[] = {
        {"", "", kNoCurrentEntry, kClearedText},
        {"BD", "BD", kNoCurrentEntry, "履歴リストをクリアしました (固定した2件は残しました)"},
        {"BE", "BE", 1, "履歴リストをクリアしました (固定した2件は残しました)"},
        {"E", "E", 0, "履歴リストをクリアしました (固定した1件は残しました)"},
    };
    for (const auto& c : cases) {
        Empty();
        Settings(0, 1);
        AddAll("ABCDE");
        history.AfterPaste(1, 0);
        history.AfterPaste(4, 0); // E ranked 0, B ranked 1
        Pin(c.pinned);
        history.ClearAll();
        EXPECT_EQ(c.kept, Texts()) << c.pinned;
        EXPECT_EQ(c.note, LastNote()) << c.pinned;
        const int current = history.Clipboard().currentEntryIndex;
        EXPECT_EQ(c.current, current < 0 || current >= history.Count() ? kNoCurrentEntry : current) << c.pinned;
        if (std::string(c.pinned) == "BE") {
            EXPECT_EQ("10", Ranks()) << "the kept ranks close up";
        }
    }
}

TEST_F(Keep, PastedPinnedEntriesStayWhenPastedEntriesAreDeleted) {
    Settings(0, 1, 1, 1);
    AddAll("ABC");
    Pin("B");
    history.AfterPaste(1, 0);
    history.AfterPaste(0, 0);
    EXPECT_EQ("BC", Texts());
    EXPECT_EQ("0-", Ranks());
}

TEST_F(Keep, DeleteRemovesOneEntryAndUndoPutsItBackWithItsRank) {
    Settings(0, 1);
    AddAll("ABCDE");
    history.AfterPaste(3, 0); // D ranked
    history.AfterPaste(1, 0); // B ranked 0, D 1
    ASSERT_EQ("-0-1-", Ranks());
    host.posted.clear();
    const int changes = host.changes;

    EXPECT_EQ(ClipHistory::DeleteResult::kDeleted, history.DeleteEntry(3));
    EXPECT_EQ("ABCE", Texts());
    EXPECT_EQ("-0--", Ranks());
    EXPECT_EQ(ClipHistory::DeleteResult::kDeleted, history.DeleteEntry(1));
    EXPECT_EQ("ACE", Texts());
    EXPECT_EQ((std::vector<int>{4, 3}), host.posted);
    EXPECT_EQ(changes + 2, host.changes);

    EXPECT_EQ(1, history.UndoDelete()); // B first: the last one deleted
    EXPECT_EQ("ABCE", Texts());
    EXPECT_EQ(3, history.UndoDelete());
    EXPECT_EQ("ABCDE", Texts());
    EXPECT_EQ("-0-1-", Ranks());
    EXPECT_EQ(-1, history.UndoDelete());

    Pin("C");
    host.notes.clear();
    EXPECT_EQ(ClipHistory::DeleteResult::kPinned, history.DeleteEntry(2));
    EXPECT_EQ("ABCDE", Texts());
    EXPECT_EQ(kPinnedNotDeletedText, LastNote());
    EXPECT_EQ(ClipHistory::DeleteResult::kNoEntry, history.DeleteEntry(5));

    history.DeleteEntry(0);
    history.ForgetDeleted();
    EXPECT_EQ(-1, history.UndoDelete());
}

TEST_F(Keep, UndoAfterTheListChangedPutsTheEntryWhereItCanGo) {
    AddAll("ABC");
    history.DeleteEntry(2);
    history.DeleteEntry(1);
    history.DeleteEntry(0);
    Add("X");
    EXPECT_EQ(0, history.UndoDelete()); // A, the last deleted
    EXPECT_EQ("AX", Texts());
    EXPECT_EQ(1, history.UndoDelete());
    EXPECT_EQ(2, history.UndoDelete());
    EXPECT_EQ("ABCX", Texts());
    history.DeleteEntry(3);
    history.DeleteEntry(2);
    history.DeleteEntry(1);
    EXPECT_EQ(1, history.UndoDelete()); // B
    history.DeleteEntry(0);
    EXPECT_EQ(0, history.UndoDelete()); // A again
    EXPECT_EQ(2, history.UndoDelete()); // C
    EXPECT_EQ(3, history.UndoDelete()); // X
    EXPECT_EQ("ABCX", Texts());
}

TEST_F(Keep, TheClipboardEntryFollowsEveryRemovalAndReturn) {
    AddAll("ABCD"); // the clipboard holds D
    history.DeleteEntry(1);
    EXPECT_EQ(2, history.Clipboard().currentEntryIndex);
    history.UndoDelete();
    EXPECT_EQ(3, history.Clipboard().currentEntryIndex);
    history.DeleteEntry(3);
    EXPECT_EQ(kNoCurrentEntry, history.Clipboard().currentEntryIndex);
    history.UndoDelete();
    EXPECT_EQ(kNoCurrentEntry, history.Clipboard().currentEntryIndex);
}

// The rows the popup fills for each order, a selection of three from the
// second shown entry, and the one text it pastes.
TEST_F(Keep, SeveralEntriesPasteInTheListsOrderJoinedByLineBreaks) {
    const struct {
        int invert, copyOrder;
        const char* joined;
    } cases[] = {
        {0, 0, "B\r\nC\r\nD"}, {1, 0, "D\r\nC\r\nB"}, {0, 1, "C\r\nE\r\nD"},
        {1, 1, "C\r\nA\r\nD"}, {0, 2, "B\r\nA\r\nC"}, {1, 2, "B\r\nE\r\nC"},
    };
    AddAll("ABCDE");
    history.SetItemPasteMark(1, 1); // B
    history.SetItemPasteMark(3, 0); // D
    for (const auto& c : cases)
        for (bool clipboardRow : {false, true}) {
            Settings(c.invert, c.copyOrder);
            const std::vector<uint32_t> rows = ListRows(clipboardRow, history.DisplayOrder());
            const int first = clipboardRow ? 2 : 1;
            RowSelection s = MoveSelection({first, first}, first + 1, true, clipboardRow ? 1 : 0);
            s = MoveSelection(s, first + 2, true, clipboardRow ? 1 : 0);
            const ClipHistory::JoinedText joined = history.JoinTexts(EntriesOfSelection(rows, s), 0);
            EXPECT_EQ(c.joined, joined.cp932) << c.invert << c.copyOrder << clipboardRow;
            EXPECT_FALSE(joined.hasExact);
        }
}

TEST(RowSelection, ShiftExtendsFromTheAnchorAndNeverTakesTheClipboardRow) {
    const struct {
        RowSelection now;
        int target;
        bool extend;
        int firstEntryRow;
        RowSelection after;
    } cases[] = {
        {{2, 2}, 4, true, 0, {2, 4}},  {{2, 4}, 1, true, 0, {2, 1}}, {{2, 4}, 3, false, 0, {3, 3}},
        {{0, 0}, 2, true, 1, {2, 2}},  {{2, 2}, 0, true, 1, {2, 1}}, {{1, 3}, 0, true, 1, {1, 1}},
        {{2, 2}, -1, true, 0, {-1, -1}},
    };
    for (const auto& c : cases) {
        const RowSelection after = MoveSelection(c.now, c.target, c.extend, c.firstEntryRow);
        EXPECT_EQ(c.after.anchor, after.anchor) << c.now.anchor << "," << c.now.active << " to " << c.target;
        EXPECT_EQ(c.after.active, after.active) << c.now.anchor << "," << c.now.active << " to " << c.target;
    }
    const std::vector<uint32_t> rows = ListRows(true, {4, 2, 0});
    EXPECT_EQ((std::vector<int>{}), EntriesOfSelection(rows, {0, 0}));
    EXPECT_EQ((std::vector<int>{2, 0}), EntriesOfSelection(rows, {3, 2}));
    EXPECT_EQ((std::vector<int>{4}), EntriesOfSelection(rows, {1, 1}));
}

TEST_F(Keep, AJoinedTextKeepsEveryEntrysExactText) {
    const std::u16string exact = u"\U0001F600 smile";
    const std::string cp932 = SystemCp932().ToCp932(exact);
    Add("plain");
    history.AddEntry(cp932.data(), int(cp932.size()), false, &exact);
    Add("\x82\xa0"); // あ
    const ClipHistory::JoinedText joined = history.JoinTexts({2, 1, 0}, 0);
    ASSERT_TRUE(joined.hasExact);
    EXPECT_EQ(u"\u3042\r\n" + exact + u"\r\nplain", joined.exact);
    EXPECT_EQ("\x82\xa0\r\n" + cp932 + "\r\nplain", joined.cp932);
}

TEST_F(Keep, PastingSeveralCountsEachAsPasted) {
    Settings(0, 1, 1, 1);
    AddAll("ABCDE");
    Pin("C");
    history.AfterPasteOfMany({3, 2, 1}, 0); // D, C, B
    EXPECT_EQ("ACE", Texts());
    EXPECT_EQ("-0-", Ranks());
    Settings(0, 1, 1, 0);
    history.AfterPasteOfMany({0, 2}, 0); // A, E: E pasted last
    EXPECT_EQ("120", Ranks());
    history.AfterPasteOfMany({1}, 1);
    EXPECT_EQ("201", Ranks());
}

TEST_F(Keep, ACopyAboveTheBoundIsRefusedAndSaysHowLarge) {
    const struct {
        size_t bound, size;
        bool kept;
    } cases[] = {{0, 5000, true}, {4096, 4096, true}, {4096, 4097, false}, {16u << 20, 20u << 20, false}};
    for (const auto& c : cases) {
        history.SetEntryBound(c.bound);
        host.notes.clear();
        const int before = history.Count();
        EXPECT_EQ(c.kept ? 1 : 0, Add(std::string(c.size, 'x'))) << c.bound << " " << c.size;
        EXPECT_EQ(before + (c.kept ? 1 : 0), history.Count());
        if (!c.kept) {
            EXPECT_EQ(kTooLargeTitle, host.notes.back().first);
            EXPECT_EQ(kNoCurrentEntry, history.Clipboard().currentEntryIndex);
        }
    }
    EXPECT_EQ("コピーされたテキスト (20.0 MB) は上限 (16.0 MB) より大きいため、履歴に追加しませんでした。"
              "クリップボードはそのままです",
              TooLargeText(20u << 20, 16u << 20));
    EXPECT_EQ("コピーされたテキスト (5 KB) は上限 (4 KB) より大きいため、履歴に追加しませんでした。"
              "クリップボードはそのままです",
              TooLargeText(4097, 4096));
}

class PinFile : public HistoryTestFolder {
  protected:
    void SaveABCWithBPinned() {
        ClipHistory saved(&host);
        for (const char* t : {"A", "B", "C"}) saved.AddEntry(t, 1, false);
        saved.TogglePin(1);
        ASSERT_EQ(1, saved.Save(path));
    }
    std::vector<bool> PinsAfterLoad() {
        ClipHistory loaded(&host);
        loaded.Load(path);
        std::vector<bool> pins;
        for (int k = 0; k < loaded.Count(); ++k) pins.push_back(loaded.Item(k)->IsPinned());
        return pins;
    }
    static std::string Bytes(const std::string& file) {
        std::string content;
        ReadWholeFile(file, content);
        return content;
    }
};

TEST_F(PinFile, PinsSurviveARestartAndTheHistoryFileStaysAsItWas) {
    SaveABCWithBPinned();
    const std::string withPins = Bytes(path);
    EXPECT_TRUE(fs::exists(PinCompanionPath(path)));
    EXPECT_EQ((std::vector<bool>{false, true, false}), PinsAfterLoad());
    {
        ClipHistory unpinned(&host);
        ASSERT_EQ(1, unpinned.Load(path));
        unpinned.TogglePin(1);
        ASSERT_EQ(1, unpinned.Save(path));
    }
    EXPECT_EQ(withPins, Bytes(path)) << "the history file never carries the pins";
    EXPECT_FALSE(fs::exists(PinCompanionPath(path)));
    // An empty history takes every file with it.
    SaveABCWithBPinned();
    ASSERT_EQ(1, ClipHistory(&host).Save(path));
    EXPECT_FALSE(fs::exists(PinCompanionPath(path)));
}

TEST_F(PinFile, AnotherHistoryFileOrDamageLosesOnlyThePins) {
    SaveABCWithBPinned();
    const std::string history = Bytes(path), pins = Bytes(PinCompanionPath(path));
    // Any single byte of either file changed: no pin anywhere, every entry read.
    for (size_t k = 0; k < history.size(); ++k) {
        std::string changed = history;
        changed[k] ^= 0x01;
        ASSERT_TRUE(WriteFileReplacing(path, changed));
        for (bool pinned : PinsAfterLoad()) ASSERT_FALSE(pinned) << "history byte " << k;
    }
    ASSERT_TRUE(WriteFileReplacing(path, history));
    for (size_t k = 0; k < pins.size(); ++k) {
        std::string changed = pins;
        changed[k] ^= 0x20;
        ASSERT_TRUE(WriteFileReplacing(PinCompanionPath(path), changed));
        EXPECT_EQ((std::vector<bool>{false, false, false}), PinsAfterLoad()) << "pins byte " << k;
    }
    for (size_t cut : {size_t{0}, size_t{5}, pins.size() - 1}) {
        ASSERT_TRUE(WriteFileReplacing(PinCompanionPath(path), pins.substr(0, cut)));
        EXPECT_EQ((std::vector<bool>{false, false, false}), PinsAfterLoad()) << "cut at " << cut;
    }
    fs::remove(PinCompanionPath(path));
    EXPECT_EQ((std::vector<bool>{false, false, false}), PinsAfterLoad());
}

TEST(PinCompanion, RecordsBindToTheirFileAndEntry) {
    const std::string a = "A", b = "B", c = "C";
    const HistoryFileSum sum{40, 0x12345678};
    const std::string image = EncodePinCompanion({PinRecordOf(1, b), PinRecordOf(7, c), PinRecordOf(0, c)}, sum);
    PinCompanion pins;
    ASSERT_TRUE(DecodePinCompanion(reinterpret_cast<const unsigned char*>(image.data()), image.size(), pins));
    EXPECT_EQ((std::vector<size_t>{1}), PinnedPlaces(pins, sum, {&a, &b, &c})) << "past the end, another text";
    EXPECT_EQ((std::vector<size_t>{}), PinnedPlaces(pins, HistoryFileSum{40, 0x12345679}, {&a, &b, &c}));
    EXPECT_EQ((std::vector<size_t>{}), PinnedPlaces(pins, HistoryFileSum{41, 0x12345678}, {&a, &b, &c}));
    std::string longer = image;
    longer.insert(longer.size() - 4, "x");
    EXPECT_FALSE(DecodePinCompanion(reinterpret_cast<const unsigned char*>(longer.data()), longer.size(), pins));
}

} // namespace
