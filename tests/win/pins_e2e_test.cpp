// Pinning, deleting and pasting several entries in the popup of the real
// program, and copies too large to keep, as a user does them in the editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "history/history_texts.h"
#include "popup/paste_popup.h"
#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

class PinsEndToEnd : public AppFixture {
  protected:
    static int Rows(HWND popup) { return static_cast<int>(SendMessageA(List(popup), LB_GETCOUNT, 0, 0)); }
    // The entries' storage indices, row by row.
    static std::vector<int> RowData(HWND popup) {
        std::vector<int> data;
        for (int row = 0; row < Rows(popup); ++row)
            data.push_back(static_cast<int>(SendMessageA(List(popup), LB_GETITEMDATA, row, 0)));
        return data;
    }
    static bool WaitForRows(HWND popup, int rows) {
        return bench::PumpUntil([&] { return Rows(popup) == rows; }, 3000);
    }
    // Selects the row with the mouse-free keys: Home, then Down.
    static void SelectRow(HWND popup, int row) {
        Tap(VK_HOME);
        for (int k = 0; k < row; ++k) Tap(VK_DOWN);
        bench::PumpUntil([&] { return Selected(popup) == row; }, 2000);
    }
    static std::vector<std::string> Numbered(const char* prefix, int from, int to) {
        std::vector<std::string> texts;
        for (int k = from; k <= to; ++k) texts.push_back(prefix + std::to_string(k));
        return texts;
    }
};

// The oldest entry pinned in a full list of 20: five more copies take the
// next five oldest; the clear key leaves only it, and a restart keeps its pin.
TEST_F(PinsEndToEnd, APinnedEntryOutlivesOverflowClearAndRestart) {
    StartApp(HistoryOf(Numbered("e", 1, 20)));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    const std::vector<int> data = RowData(popup);
    const int row = static_cast<int>(std::find(data.begin(), data.end(), 0) - data.begin());
    SelectRow(popup, row);
    Tap(VK_INSERT);
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitForPopupGone());
    for (int k = 1; k <= 5; ++k) CopyInEditor(("n" + std::to_string(k)).c_str());
    std::vector<std::string> kept{"e1"};
    for (const std::string& t : Numbered("e", 7, 20)) kept.push_back(t);
    for (const std::string& t : Numbered("n", 1, 5)) kept.push_back(t);
    EXPECT_TRUE(WaitForDisk(kept));

    bench::Chord({VK_CONTROL}, VK_BACK); // the clear key
    EXPECT_EQ("履歴リストをクリアしました (固定した1件は残しました)", WaitForBalloonText("Kestrane [履歴消去]"));
    EXPECT_TRUE(WaitForDisk({"e1"}));

    SavedRecords();
    StartApp();
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    Tap(VK_HOME);
    Tap(VK_DELETE);
    EXPECT_EQ(kst::kPinnedNotDeletedText, WaitForBalloonText(kst::kPinnedNotDeletedTitle)) << "still pinned";
    EXPECT_EQ(1, Rows(popup));
    Tap(VK_ESCAPE);
    EXPECT_EQ((std::vector<std::string>{"e1"}), SavedTexts());
}

TEST_F(PinsEndToEnd, DeleteTakesTheThirdRowAndCtrlZPutsItBack) {
    StartApp(HistoryOf({"a", "b", "c", "d", "e"}));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(5, Rows(popup));
    const std::vector<int> before = RowData(popup);
    SelectRow(popup, 2);
    Tap(VK_DELETE);
    ASSERT_TRUE(WaitForRows(popup, 4));
    EXPECT_EQ(2, Selected(popup)) << "the row below takes the selection";
    EXPECT_TRUE(WaitForDisk({"a", "b", "d", "e"}));
    bench::Chord({VK_CONTROL}, 'Z');
    ASSERT_TRUE(WaitForRows(popup, 5));
    EXPECT_EQ(before, RowData(popup));
    EXPECT_EQ(2, Selected(popup));
    EXPECT_TRUE(WaitForDisk({"a", "b", "c", "d", "e"}));

    Tap(VK_INSERT); // c pinned
    Tap(VK_DELETE);
    EXPECT_EQ(kst::kPinnedNotDeletedText, WaitForBalloonText(kst::kPinnedNotDeletedTitle));
    EXPECT_EQ(5, Rows(popup));
    Tap(VK_ESCAPE);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "e"}), SavedTexts());
}

// Shift+Down twice and Enter: three entries, in the list's order, joined by
// CR LF and each converted (H: to half width), in one paste.
TEST_F(PinsEndToEnd, ShiftDownTwiceAndEnterPastesThreeEntriesAsOneText) {
    StartApp(HistoryOf({"\x82\x60\x82\x61", "\x82\x62\x82\x63", "\x82\x64\x82\x65", "gh"})); // ＡＢ ＣＤ ＥＦ
    ClearEditor();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(0, RowData(popup)[0]);
    Tap('H');
    bench::SendKeys({{VK_SHIFT, false}, {VK_DOWN, false}, {VK_DOWN, true}, {VK_DOWN, false}, {VK_DOWN, true},
                     {VK_SHIFT, true}});
    bench::PumpUntil([&] { return Selected(popup) == 2; }, 2000);
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("AB\r\nCD\r\nEF")) << EditorText();
    EXPECT_EQ("AB\r\nCD\r\nEF", ClipboardText());
}

TEST_F(PinsEndToEnd, ShiftClickExtendsTheSelectionWithoutPasting) {
    StartApp(HistoryOf({"one", "two", "three", "four"}));
    ClearEditor();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    SelectRow(popup, 1);
    bench::SendKeys({{VK_SHIFT, false}});
    Click(RowPoint(List(popup), 3));
    bench::SendKeys({{VK_SHIFT, true}});
    bench::PumpUntil([&] { return Selected(popup) == 3; }, 2000);
    EXPECT_TRUE(IsWindowVisible(popup)) << "a click with Shift only extends";
    EXPECT_EQ("", EditorText());
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("two\r\nthree\r\nfour")) << EditorText();
}

// 20 MB of text against the default bound of 16 MB: not recorded, the
// clipboard as it was and offered by the popup; with the bound off, kept.
TEST_F(PinsEndToEnd, ACopyAboveTheBoundIsLeftOnTheClipboardAndNotRecorded) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp(HistoryOf({"small"}));
    const std::string large(20u << 20, 'x');
    ASSERT_TRUE(bench::SetClipboardText(large.c_str()));
    EXPECT_EQ("コピーされたテキスト (20.0 MB) は上限 (16.0 MB) より大きいため、履歴に追加しませんでした。"
              "クリップボードはそのままです",
              WaitForBalloonText(kst::kTooLargeTitle, 10000));
    EXPECT_EQ(large.size(), ClipboardText().size());
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ((std::vector<int>{255, 0}), RowData(popup)) << "offered as the current clipboard";
    Tap(VK_ESCAPE);
    EXPECT_EQ((std::vector<std::string>{"small"}), SavedTexts());

    bench::SetDword(kClipText, "MaxEntryKB", 0);
    EmptyTheClipboard(); // a start takes what the clipboard holds
    StartApp();
    ASSERT_TRUE(bench::SetClipboardText(large.c_str()));
    EXPECT_TRUE(bench::PumpUntil([&] { return RecordsOnDisk().size() == 2; }, 15000));
    const auto saved = SavedRecords();
    ASSERT_EQ(2u, saved.size());
    EXPECT_EQ(large.size(), saved[1].text.size());
}

} // namespace
