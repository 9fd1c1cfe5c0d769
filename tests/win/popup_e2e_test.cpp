// The paste popup with the real program: opened by the popup key in the
// test editor and in Wine's notepad, walked with keys and the mouse, and
// pasting into the application that keeps its focus all along.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/apps/colour_hook.h"
#include "tests/win/app_fixture.h"
#include "popup/paste_popup.h"
#include "popup/popup_model.h"

namespace {

using namespace fixture;

class PopupEndToEnd : public AppFixture {
  protected:
    bool MoveEditor(int x, int y, int width, int height) {
        MoveWindow(editorWindow_, x, y, width, height, TRUE);
        return bench::PumpUntil([&] {
            RECT r;
            return GetWindowRect(editorWindow_, &r) && r.left == x && r.top == y && r.right - r.left == width;
        }, 3000);
    }
};

TEST_F(PopupEndToEnd, CtrlVOpensThePopupAtTheCaretAndTheEditorKeepsItsFocus) {
    StartApp(HistoryOf({"A", "B", "C"}));
    SetEditorText("caret here");
    const POINT caret = editor_.CaretAt(10);
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(caret.x - 20 < 0 ? 0 : caret.x - 20, r.left);
    EXPECT_EQ(caret.y + 17, r.top) << "below the caret line";
    EXPECT_EQ(320, r.right - r.left);
    EXPECT_NE(0, GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(editorWindow_, GetForegroundWindow());
    EXPECT_EQ(edit_, editor_.FocusWindow());
    EXPECT_EQ(3, SendMessageA(List(popup), LB_GETCOUNT, 0, 0));
    Tap('X');
    Tap('Z');
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'X')) << "keys go to the popup, not the editor";
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitForPopupGone());
    bench::PumpFor(300);
    EXPECT_EQ("caret here", EditorText()) << "Esc pastes nothing";
}

// A dialog of the application's own thread comes to the front while the
// popup is open, and Enter is typed into it at once: the dialog gets its
// Enter, and the popup's entry goes nowhere.
TEST_F(PopupEndToEnd, AnEnterTypedIntoASecondWindowOfTheSameThreadNeverPastes) {
    StartApp(HistoryOf({"entry text"}));
    SetEditorText("");
    ASSERT_NE(nullptr, OpenWithCtrlV());
    HWND second = reinterpret_cast<HWND>(Ask(kEditorSecondWindow));
    ASSERT_NE(nullptr, second);
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(bench::PumpUntil([&] { return bench::WindowText(second) == "\r\n"; }, 3000))
        << "the dialog's own Enter: \"" << bench::WindowText(second) << '"';
    // Typed once the dialog's Enter shows: a paste typed meanwhile shows first.
    Tap('X');
    EXPECT_TRUE(bench::PumpUntil([&] { return bench::WindowText(second).find('x') != std::string::npos; }, 3000));
    EXPECT_EQ(std::string::npos, bench::WindowText(second).find("entry")) << "nothing pasted there";
    EXPECT_EQ("", EditorText());
    EXPECT_NE("entry text", ClipboardText()) << "the clipboard untouched too";
}

TEST_F(PopupEndToEnd, DownDownEnterPastesTheThirdRow) {
    StartApp(HistoryOf({"A", "B", "C"}));
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("C")) << EditorText();
    EXPECT_TRUE(WaitForPopupGone());
    bench::PumpFor(300);
    EXPECT_EQ("C", EditorText());
}

TEST_F(PopupEndToEnd, CtrlVAgainWhileOpenWalksDown) {
    StartApp(HistoryOf({"A", "B", "C"}));
    bench::SendKeys({{VK_CONTROL, false}, {'V', false}, {'V', true}});
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);
    bench::SendKeys({{'V', false}, {'V', true}});
    bench::PumpFor(200);
    EXPECT_EQ(1, SendMessageA(List(popup), LB_GETCURSEL, 0, 0));
    bench::SendKeys({{VK_CONTROL, true}});
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("B")) << EditorText();
}

TEST_F(PopupEndToEnd, HThenEnterPastesTheEntryInHalfWidth) {
    StartApp(HistoryOf({"ＡＢＣ１２３", "other"}));
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap('H'); // the panel is shown: off -> full width to half width
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("ABC123")) << EditorText();
}

TEST_F(PopupEndToEnd, F3ThenEnterPastesWrappedWithQuotationAndKinsoku) {
    bench::SetDword(kClipText, "ColumnWidth", 10);
    StartApp(HistoryOf({"あいうえおかきくけこ、さしす", "other"}));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    char caption[64] = "";
    GetWindowTextA(GetDlgItem(popup, kst::kToggleWrap), caption, sizeof caption);
    EXPECT_STREQ("改行整形[10文字](&R)", caption);
    Tap(VK_F3);
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText(">あいうえ\r\n>おかきく\r\n>けこ、さ\r\n>しす")) << EditorText();
}

TEST_F(PopupEndToEnd, ToggleStatesAreSavedAtCloseOnlyWithSave) {
    for (DWORD save : {1u, 0u}) {
        SCOPED_TRACE(save);
        bench::SetDword(kClipText, "bSAVE", save);
        bench::SetDword(kClipText, "bRETURNSET", 0);
        bench::DeleteValue(kClipText, "ShowDetail");
        bench::SetDword(kClipText, "toDBCS", 0);
        StartApp(HistoryOf({"a", "b"}));
        ASSERT_NE(nullptr, OpenWithCtrlV());
        Tap('R');       // wrap on
        Tap('H');       // width: on, backwards
        Tap('H');       // width: on, forwards
        Tap(VK_SPACE);  // fold
        Tap(VK_ESCAPE);
        ASSERT_TRUE(WaitForPopupGone());
        DWORD wrap = 9, width = 9, toFull = 9, detail = 9;
        EXPECT_TRUE(bench::GetDword(kClipText, "ShowDetail", detail));
        EXPECT_EQ(0u, detail) << "the fold is always written";
        bench::GetDword(kClipText, "bRETURNSET", wrap);
        bench::GetDword(kClipText, "bDBCS", width);
        bench::GetDword(kClipText, "toDBCS", toFull);
        EXPECT_EQ(save, wrap);
        EXPECT_EQ(save, toFull);
        if (save) {
            EXPECT_EQ(1u, width);
        }
        app_->Close();
        app_.reset();
    }
}

TEST_F(PopupEndToEnd, PasteDeleteRemovesTheEntryUnlessCtrlIsHeld) {
    bench::SetDword(kClipText, "bPASTEDELETE", 1);
    StartApp(HistoryOf({"first", "second", "third"}));
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("first"));
    bench::PumpFor(400);
    ClearEditor();
    ASSERT_NE(nullptr, OpenWithCtrlV());
    bench::SendKeys({{VK_CONTROL, false}, {VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForEditorText("second"));
    bench::PumpFor(300);
    bench::SendKeys({{VK_CONTROL, true}});
    bench::PumpFor(300);
    const auto records = SavedRecords();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("second", records[0].text);
    EXPECT_EQ(0, records[0].rank) << "kept, and the most recently pasted";
    EXPECT_EQ("third", records[1].text);
}

TEST_F(PopupEndToEnd, AClickOnARowPastesItAndTheScrollBarOnlyScrolls) {
    StartApp(HistoryOf({"r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8"}));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    HWND list = List(popup);
    RECT listRect;
    GetWindowRect(list, &listRect);
    // The scroll bar's down arrow, bottom right of the list.
    Click(POINT{listRect.right - 6, listRect.bottom - 6});
    // One row, or more when a busy machine held the arrow past its repeat delay.
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_GE(top, 1) << "scrolled";
    EXPECT_TRUE(IsWindowVisible(popup)) << "no paste";
    EXPECT_EQ(editorWindow_, GetForegroundWindow());
    Click(RowPoint(list, 1)); // the second visible row
    const std::string expected = "r" + std::to_string(top + 2);
    EXPECT_TRUE(WaitForEditorText(expected)) << EditorText();
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_EQ(editorWindow_, GetForegroundWindow()) << "the popup never took the activation";
}

TEST_F(PopupEndToEnd, TheCurrentClipboardRowPastesAPictureUnchanged) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp(HistoryOf({"a", "b"}));
    ASSERT_TRUE(SetClipboardPicture());
    ASSERT_TRUE(WaitForDisk({"a", "b", "[画像 8×8]"})); // a picture entry, and still the clipboard
    Ask(kEditorReset);
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(4, SendMessageA(List(popup), LB_GETCOUNT, 0, 0));
    EXPECT_EQ(255, SendMessageA(List(popup), LB_GETITEMDATA, 0, 0)) << "the current-clipboard row first";
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    bench::PumpFor(400);
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'V')) << "Ctrl+V typed into the editor";
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << "the picture is still on the clipboard";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "[画像 8×8]"}), SavedTexts());
}

TEST_F(PopupEndToEnd, APastedNumberIsBlueAndTheSelectedRowHasTheSelectionColour) {
    // Ranked first: pasted before. FIFO with move-back puts it last.
    StartApp(HistoryOf({"pasted", "fresh"}, {0, -1}));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    HWND list = List(popup);
    bench::PumpFor(300);
    ASSERT_EQ(0, SendMessageA(list, LB_GETITEMDATA, 1, 0)) << "the pasted entry is the second row";
    int blue = 0;
    for (int x = 2; x < 24; ++x)
        for (int y = 3; y < 17; ++y) {
            POINT at{x, 17 + y};
            ClientToScreen(list, &at);
            if (ScreenPixel(at) == RGB(0, 0, 255)) ++blue;
        }
    EXPECT_GT(blue, 3) << "the number of the pasted entry is blue";
    POINT band{250, 8}; // right part of row 0's selection band, beyond its text
    ClientToScreen(list, &band);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), ScreenPixel(band));
    Tap(VK_ESCAPE);
}

// The system's colours changed while the program runs (a dark theme, high
// contrast): the rows are drawn in the new colours of their kind.
// The test colours set inside the program's process for as long as it
// lives: the system keeps such a change for every program started later.
class TestColours {
  public:
    explicit TestColours(HWND mainWindow)
        : main_(mainWindow), done_(CreateEventA(nullptr, FALSE, FALSE, KSTTEST_COLOURS_DONE)),
          library_(LoadLibraryA((bench::ExeDirectory() + "testcolours.dll").c_str())) {
        const auto proc = library_ ? reinterpret_cast<HOOKPROC>(
                                         reinterpret_cast<void*>(GetProcAddress(library_, "KstTestColourHook")))
                                   : nullptr;
        if (proc) hook_ = SetWindowsHookExA(WH_GETMESSAGE, proc, library_, GetWindowThreadProcessId(main_, nullptr));
        on_ = hook_ && Post(kTestColoursOn);
    }
    ~TestColours() {
        if (on_) Post(kTestColoursOff);
        if (hook_) UnhookWindowsHookEx(hook_);
        if (library_) FreeLibrary(library_);
        if (done_) CloseHandle(done_);
    }
    bool On() const { return on_; }

  private:
    // Until the program's thread has taken the message and the hook says so.
    bool Post(WPARAM which) {
        PostMessageA(main_, RegisterWindowMessageA(KSTTEST_SET_COLOURS), which, 0);
        return bench::PumpUntil([&] { return WaitForSingleObject(done_, 0) == WAIT_OBJECT_0; }, 5000);
    }
    HWND main_;
    HANDLE done_;
    HMODULE library_;
    HHOOK hook_ = nullptr;
    bool on_ = false;
};

TEST_F(PopupEndToEnd, RowsFollowTheSystemColoursChangedWhileRunning) {
    StartApp(HistoryOf({"first", "second"}));
    const TestColours dark(app_->MainWindow());
    ASSERT_TRUE(dark.On()) << "the colours set inside the program";

    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    HWND list = List(popup);
    const COLORREF face = kTestColourValues[4], highlight = kTestColourValues[2];
    POINT selectedBand{250, 8}, plainRow{250, 17 + 8}; // beyond the rows' texts
    ClientToScreen(list, &selectedBand);
    ClientToScreen(list, &plainRow);
    EXPECT_TRUE(bench::PumpUntil([&] { return ScreenPixel(selectedBand) == highlight; }, 3000)) << "the selected row";
    EXPECT_EQ(face, ScreenPixel(plainRow)) << "a row not selected: the face colour";
    // Each row's text in its new text colour: readable on its background.
    const auto textPixels = [&](int row, COLORREF colour) {
        int count = 0;
        for (int x = 31; x < 120; ++x)
            for (int y = row * 17 + 3; y < row * 17 + 15; ++y) {
                POINT at{x, y};
                ClientToScreen(list, &at);
                count += ScreenPixel(at) == colour;
            }
        return count;
    };
    EXPECT_GT(textPixels(1, kTestColourValues[1]), 5) << "the row not selected: the new menu text colour";
    EXPECT_GT(textPixels(0, kTestColourValues[3]), 5) << "the selected row: the new highlight text colour";
    Tap(VK_ESCAPE);
}

TEST_F(PopupEndToEnd, LongListPagesByTen) {
    bench::SetDword(kMain, "LongList", 1);
    std::vector<std::string> texts;
    for (int k = 0; k < 25; ++k) texts.push_back("e" + std::to_string(k));
    bench::SetDword(kClipText, "BUFFERLIMIT", 30);
    StartApp(HistoryOf(texts));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    RECT r;
    GetWindowRect(List(popup), &r);
    EXPECT_EQ(170, r.bottom - r.top);
    Tap(VK_NEXT);
    EXPECT_EQ(10, Selected(popup));
    Tap(VK_ESCAPE);
}

TEST_F(PopupEndToEnd, NearTheBottomRightItOpensAboveAndFlushRight) {
    StartApp(HistoryOf({"a", "b"}));
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_TRUE(MoveEditor(work.right - 200, work.bottom - 120, 190, 110));
    SetEditorText("x");
    const POINT caret = editor_.CaretAt(1);
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(work.right, r.right) << "flush with the work area's right edge";
    EXPECT_EQ(caret.y - 187, r.top) << "above the caret";
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitForPopupGone());
    ASSERT_TRUE(MoveEditor(0, 100, 300, 200)); // the caret a few pixels from the left edge
    editor_.CaretAt(0);
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    GetWindowRect(popup, &r);
    EXPECT_EQ(0, r.left) << "clamped at x = 0";
    Tap(VK_ESCAPE);
}

TEST_F(PopupEndToEnd, NotepadGetsThePopupAndThePaste) {
    StartApp(HistoryOf({"メモ帳へ", "二つ目"}));
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    bench::PumpFor(300);
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    EXPECT_TRUE(notepad.WaitForText("二つ目")) << notepad.Text();
    EXPECT_EQ(notepad.Window(), GetForegroundWindow());
}

// The application's input method is switched off while the popup is open
// and on again when it closes, so that no key typed to the popup starts a
// composition there. (Wine's input method windows take the requests without
// acting on them, and always say they are on: what is checked is that the
// requests are made, in pairs, so that the input method is never left off.)
TEST_F(PopupEndToEnd, TheApplicationsInputMethodIsOffWhileThePopupIsOpen) {
    StartApp(HistoryOf({"a", "b"}));
    const auto requests = [&] {
        const LRESULT both = Ask(kEditorImeRequests);
        return std::make_pair(LOWORD(both), HIWORD(both)); // off, on
    };
    ASSERT_EQ(1, Ask(kEditorOpenIme, 1));
    const auto requestsBecome = [&](WORD off, WORD on) {
        return bench::PumpUntil([&] { return requests() == std::make_pair(off, on); }, 3000);
    };
    ASSERT_NE(nullptr, OpenWithCtrlV());
    EXPECT_TRUE(requestsBecome(1, 0)) << "off while open";
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(requestsBecome(1, 1)) << "on again after Esc";
    EXPECT_EQ(std::make_pair(WORD{1}, WORD{1}), requests()) << "and no more";

    // Closed by a paste: on again too.
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForEditorText("a"));
    EXPECT_TRUE(requestsBecome(2, 2)) << "on again after a paste";
}

// A digit pastes the entry whose number the list shows, as Enter on its row.
TEST_F(PopupEndToEnd, DigitsPasteTheEntryWithThatNumber) {
    StartApp(HistoryOf({"e1", "e2", "e3", "e4", "e5"}));
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap('7'); // five entries: no seventh
    EXPECT_NE(nullptr, Popup()) << "still open";
    EXPECT_EQ("", EditorText());
    Tap('3');
    EXPECT_TRUE(WaitForEditorText("e3")) << EditorText();
    EXPECT_TRUE(WaitForPopupGone());
}

TEST_F(PopupEndToEnd, ZeroPastesTheTenthEntry) {
    bench::SetDword(kMain, "LongList", 1);
    StartApp(HistoryOf({"e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8", "e9", "e10", "e11", "e12"}));
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap(VK_NUMPAD0);
    EXPECT_TRUE(WaitForEditorText("e10")) << EditorText();
}

} // namespace
