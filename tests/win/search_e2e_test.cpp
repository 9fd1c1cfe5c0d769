// Search in the popup of the real program, typed as people type: the keys
// go through the hook to the popup, the editor keeps its focus and caret.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "popup/paste_popup.h"
#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

class SearchEndToEnd : public AppFixture {
  protected:
    // Storage order: the first text is entry 1.
    void StartWithTexts() {
        StartApp(HistoryOf({"会議の資料", "かいぎ", "カイギ室", "ｈｔｔｐ：／／ｅｘａｍｐｌｅ", "HTTP/1.1", "東京駅"}));
    }
    static std::vector<int> ShownEntries(HWND popup) {
        std::vector<int> entries;
        const int rows = static_cast<int>(SendMessageA(List(popup), LB_GETCOUNT, 0, 0));
        for (int row = 0; row < rows; ++row)
            entries.push_back(static_cast<int>(SendMessageA(List(popup), LB_GETITEMDATA, row, 0)));
        std::sort(entries.begin(), entries.end());
        return entries;
    }
    static std::string Status(HWND popup) {
        char text[256] = {};
        GetWindowTextA(GetDlgItem(popup, kst::kStatusLine), text, sizeof text);
        return text;
    }
    // The list shows just these entries (storage indices), with the status line saying so.
    ::testing::AssertionResult WaitForEntries(HWND popup, const std::vector<int>& entries, const std::string& query) {
        const std::string status = "/" + query + "  " + std::to_string(entries.size()) + "件";
        if (bench::PumpUntil([&] { return ShownEntries(popup) == entries && Status(popup).rfind(status, 0) == 0; },
                             10000))
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "status \"" << Status(popup) << "\", entries";
        for (int e : ShownEntries(popup)) failure << " " << e;
        return failure;
    }
    static void Type(const char* letters) {
        for (const char* p = letters; *p; ++p) {
            const char c = *p;
            const WORD vk = c == '/' ? VK_OEM_2 : static_cast<WORD>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            bench::SendKeys({{vk, false}, {vk, true}});
        }
    }
    DWORD EditorSelection() const {
        return static_cast<DWORD>(SendMessageA(edit_, EM_GETSEL, 0, 0));
    }
    void ExpectEditorUntouched(DWORD selection) {
        EXPECT_EQ(editorWindow_, GetForegroundWindow());
        EXPECT_EQ(edit_, editor_.FocusWindow());
        EXPECT_EQ(selection, EditorSelection());
    }
};

TEST_F(SearchEndToEnd, RomajiFindsKanaKanjiAndWidthsAndEscBringsTheListBack) {
    StartWithTexts();
    editor_.SetText("before");
    const DWORD selection = EditorSelection();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    Tap(VK_HOME);
    Tap(VK_DOWN);
    const int rowBefore = Selected(popup);
    const std::vector<int> all{0, 1, 2, 3, 4, 5};

    Type("/kaigi");
    EXPECT_TRUE(WaitForEntries(popup, {0, 1, 2}, "kaigi"));
    Tap(VK_BACK);
    EXPECT_TRUE(WaitForEntries(popup, {0, 1, 2}, "kaig"));
    Tap(VK_BACK);
    Tap(VK_BACK);
    EXPECT_TRUE(WaitForEntries(popup, {0, 1, 2}, "ka"));
    Tap(VK_BACK);
    Tap(VK_BACK);
    EXPECT_TRUE(bench::PumpUntil([&] { return ShownEntries(popup) == all && Status(popup) == "/  6件"; }, 5000))
        << Status(popup);
    Type("http");
    EXPECT_TRUE(WaitForEntries(popup, {3, 4}, "http"));
    ExpectEditorUntouched(selection);

    Tap(VK_ESCAPE);
    EXPECT_TRUE(bench::PumpUntil([&] { return ShownEntries(popup) == all; }, 5000));
    EXPECT_EQ(rowBefore, Selected(popup)) << "the selection where it was";
    EXPECT_NE(0u, Status(popup).find('/')) << "the entry's status again: " << Status(popup);
    EXPECT_TRUE(IsWindowVisible(popup));
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitForPopupGone());
    ExpectEditorUntouched(selection);
    EXPECT_EQ("before", editor_.Text());
}

TEST_F(SearchEndToEnd, CtrlFFindsAndEnterPastesTheMatchConverted) {
    StartWithTexts();
    editor_.Clear();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    bench::Chord({VK_CONTROL}, 'F');
    Type("toukyou");
    EXPECT_TRUE(WaitForEntries(popup, {5}, "toukyou"));
    Tap(VK_ESCAPE);
    bench::Chord({VK_CONTROL}, 'F');
    Type("http");
    ASSERT_TRUE(WaitForEntries(popup, {3, 4}, "http"));
    // The width toggle pressed by the mouse converts the way its direction
    // button says: the match it changes is chosen.
    const bool toFull = SendMessageA(GetDlgItem(popup, kst::kFirstDirection), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const int entry = toFull ? 4 : 3;
    Tap(VK_HOME);
    if (SendMessageA(List(popup), LB_GETITEMDATA, Selected(popup), 0) != entry) Tap(VK_DOWN);
    ASSERT_EQ(entry, SendMessageA(List(popup), LB_GETITEMDATA, Selected(popup), 0));
    RECT toggle;
    GetWindowRect(GetDlgItem(popup, kst::kToggleWidth), &toggle);
    Click(POINT{(toggle.left + toggle.right) / 2, (toggle.top + toggle.bottom) / 2});
    ASSERT_TRUE(bench::PumpUntil(
        [&] { return SendMessageA(GetDlgItem(popup, kst::kToggleWidth), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 3000));
    EXPECT_TRUE(WaitForEntries(popup, {3, 4}, "http")) << "the query stays";
    Tap(VK_RETURN);
    EXPECT_TRUE(editor_.WaitForText(toFull ? "ＨＴＴＰ／１．１" : "http://example")) << editor_.Text();
    EXPECT_TRUE(WaitForPopupGone());
}

TEST_F(SearchEndToEnd, AnAltDigitPastesTheNumberedMatch) {
    StartWithTexts();
    editor_.Clear();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    Type("/kaigi");
    ASSERT_TRUE(WaitForEntries(popup, {0, 1, 2}, "kaigi"));
    Type("1");
    ASSERT_TRUE(WaitForEntries(popup, {}, "kaigi1")) << "a digit types";
    Tap(VK_BACK);
    ASSERT_TRUE(WaitForEntries(popup, {0, 1, 2}, "kaigi"));
    bench::Chord({VK_MENU}, '2');
    EXPECT_TRUE(editor_.WaitForText("かいぎ")) << editor_.Text();
}

// A click on a match pastes it; a click elsewhere ends popup and search, and
// the next popup shows the whole list.
TEST_F(SearchEndToEnd, AClickPastesAMatchAndAClickElsewhereEndsTheSearch) {
    StartWithTexts();
    editor_.Clear();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    Type("/toukyou");
    ASSERT_TRUE(WaitForEntries(popup, {5}, "toukyou"));
    Click(RowPoint(List(popup), 0));
    EXPECT_TRUE(editor_.WaitForText("東京駅")) << editor_.Text();
    ASSERT_TRUE(WaitForPopupGone());

    bench::Editor other;
    ASSERT_TRUE(other.Start());
    SetWindowPos(other.Window(), nullptr, 600, 150, 380, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    Type("/http");
    ASSERT_TRUE(WaitForEntries(popup, {3, 4}, "http"));
    Click(POINT{790, 300});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_EQ(other.Window(), GetForegroundWindow());
    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), ShownEntries(popup));
    EXPECT_NE(0u, Status(popup).find('/')) << Status(popup);
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitForPopupGone());
    other.Stop();
}

// Without the dictionary folder (the program copied alone) or with a cut
// dictionary, romaji still finds kana, and the status line says why no kanji.
TEST_F(SearchEndToEnd, WithoutASoundDictionaryRomajiStillFindsKana) {
    for (bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "a cut dictionary" : "no dictionary folder");
        if (cut) {
            std::string bytes = bench::ReadFileBytes(copy_.Folder() + bench::AppCopy::kDictionaryFile);
            ASSERT_GT(bytes.size(), 100000u);
            bench::WriteFileBytes(copy_.Folder() + bench::AppCopy::kDictionaryFile, bytes.substr(0, 99999));
        } else {
            copy_.RemoveDictionary();
        }
        StartWithTexts();
        HWND popup = OpenWithCtrlV();
        ASSERT_NE(nullptr, popup);
        Type("/kaigi");
        EXPECT_TRUE(bench::PumpUntil([&] { return Status(popup) == "/kaigi  2件 (辞書なし)"; }, 10000)) << Status(popup);
        EXPECT_EQ((std::vector<int>{1, 2}), ShownEntries(popup));
        Tap(VK_ESCAPE);
        Tap(VK_ESCAPE);
        EXPECT_TRUE(WaitForPopupGone());
        SavedRecords();
        if (!cut) { // the folder back for the cut one
            AppCopy whole("kst-app-dict");
            CreateDirectoryA((copy_.Folder() + "dict").c_str(), nullptr);
            ASSERT_TRUE(CopyFileA((whole.Folder() + AppCopy::kDictionaryFile).c_str(),
                                  (copy_.Folder() + AppCopy::kDictionaryFile).c_str(), FALSE));
        }
    }
}

} // namespace
