// Applications the hook library cannot enter, and applications without a
// system caret. The stand-in for a process of the other bitness: the
// library is renamed once the program runs, so that an editor started
// afterwards cannot load it (the system then skips the hooks there).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <oleacc.h>

#include "tests/win/app_fixture.h"
#include "popup/paste_popup.h"

namespace {

using namespace fixture;


class ReachEndToEnd : public AppFixture {
  protected:
    void TearDown() override {
        other_.Stop();
        if (renamed_) MoveFileA(HookPath(".off").c_str(), HookPath().c_str());
        DeleteFileA(OtherEditorPath().c_str());
        AppFixture::TearDown();
    }

    std::string HookPath(const char* suffix = "") const { return copy_.Folder() + "ksthook.dll" + suffix; }
    std::string OtherEditorPath() const { return copy_.Folder() + "othereditor.exe"; }

    void ExcludeOnly(std::string path) {
        for (char& c : path)
            if (c >= 'a' && c <= 'z') c -= 0x20; // another case than the system gives
        bench::SetDword(kst::kExceptKey, "count", 1);
        bench::SetRaw(kst::kExceptKey, "ModuleFileName0", REG_SZ, path.c_str(), (DWORD)path.size() + 1);
    }

    // The program with the library in the first editor, then the library
    // renamed and a second editor (another executable) started.
    void StartWithOtherEditor() {
        bench::SetDword(kMain, "CtrlCOnly", 0);
        StartApp(HistoryOf({"a", "b"}));
        bench::SendKeys({{VK_SHIFT, false}, {VK_SHIFT, true}}); // the first editor takes the library now
        bench::PumpFor(300);
        ASSERT_TRUE(CopyFileA((bench::ExeDirectory() + "testeditor.exe").c_str(), OtherEditorPath().c_str(), FALSE));
        ASSERT_TRUE(MoveFileA(HookPath().c_str(), HookPath(".off").c_str()));
        renamed_ = true;
        ASSERT_TRUE(other_.Start("", OtherEditorPath()));
        ASSERT_TRUE(other_.BringToFront());
        bench::PumpFor(300);
    }

    // Keys typed where the library is missing never reach the program: the
    // test hands the popup its Esc the way the hook would.
    void ClosePopupWithEsc() {
        PostMessageA(app_->MainWindow(), RegisterWindowMessageA("KESTRANE_KEYBOARD_FORWARD"), VK_ESCAPE, 0x00010001);
        WaitForPopupGone();
    }
    // The popup's corner for a caret, as the placement puts it mid-screen.
    static POINT BelowCaret(POINT caret) { return POINT{caret.x - 20 < 0 ? 0 : caret.x - 20, caret.y + 17}; }
    static POINT Corner(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return POINT{r.left, r.top};
    }
    void CopyAndExpectBalloon(const char* text, const std::string& title) {
        WaitForBalloonGone();
        ASSERT_TRUE(bench::SetClipboardText(text));
        EXPECT_EQ(title, BalloonTitle(title.empty() ? 1500 : 5000)) << text;
    }

    bench::Editor other_;
    bool renamed_ = false;
};

TEST_F(ReachEndToEnd, WhereTheLibraryCannotEnterAnExcludedEditorIsLeftAlone) {
    ExcludeOnly(OtherEditorPath());
    ASSERT_NO_FATAL_FAILURE(StartWithOtherEditor());
    CopyAndExpectBalloon("in the excluded editor", "");

    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    bench::PumpFor(300);
    CopyAndExpectBalloon("in the first editor", "Kestrane 3/20件 [追加]");
    const POINT caret = editor_.CaretAt(0);
    PostGeneral(app_->MainWindow(), 3); // the popup, as the tray would ask for it
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(BelowCaret(caret).x, Corner(popup).x);
    EXPECT_EQ(BelowCaret(caret).y, Corner(popup).y);
    ClosePopupWithEsc();
    EXPECT_EQ((std::vector<std::string>{"a", "b", "in the first editor"}), SavedTexts());
}

TEST_F(ReachEndToEnd, WhereTheLibraryCannotEnterCopiesCountAndThePopupFindsTheCaret) {
    ExcludeOnly(bench::ExeDirectory() + "testeditor.exe");
    ASSERT_NO_FATAL_FAILURE(StartWithOtherEditor());
    ASSERT_TRUE(bench::SetClipboardText("clip"));
    bench::PumpFor(700);
    other_.Clear();
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpFor(600);
    ASSERT_EQ("clip", other_.Text()) << "no hook there: Ctrl+V is the editor's own";
    ASSERT_EQ(nullptr, WaitForPopup() ? Popup() : nullptr);

    CopyAndExpectBalloon("in the second editor", "Kestrane 4/20件 [追加]");
    other_.SetText("caret");
    const POINT caret = other_.CaretAt(5);
    PostGeneral(app_->MainWindow(), 3);
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(BelowCaret(caret).x, Corner(popup).x) << "at the caret the system reports";
    EXPECT_EQ(BelowCaret(caret).y, Corner(popup).y);
    ClosePopupWithEsc();

    // A responsive editor got no error; one that stops pumping does.
    ASSERT_TRUE(other_.Freeze(4000));
    ASSERT_TRUE(bench::SetClipboardText("while frozen"));
    EXPECT_TRUE(bench::PumpUntil([&] { return BalloonTitle(0) == kErrorTitle; }, 4000));
    EXPECT_TRUE(other_.WaitUntilAnswering(6000));

    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    bench::PumpFor(300);
    CopyAndExpectBalloon("in the excluded first editor", "");
    EXPECT_EQ((std::vector<std::string>{"a", "b", "clip", "in the second editor"}), SavedTexts());
}

// A paste typed where the library is missing never reports back: the
// once-through mark it leaves holds for that application's thread alone, or
// the user's next Ctrl+V in any application would pass the popup by.
TEST_F(ReachEndToEnd, APasteWhereTheLibraryCannotEnterLeavesNoMarkForOtherApplications) {
    ASSERT_NO_FATAL_FAILURE(StartWithOtherEditor());
    other_.Clear();
    PostGeneral(app_->MainWindow(), 3);
    ASSERT_NE(nullptr, WaitForPopup());
    PostMessageA(app_->MainWindow(), RegisterWindowMessageA("KESTRANE_KEYBOARD_FORWARD"), VK_RETURN, 0x001C0001);
    ASSERT_TRUE(bench::PumpUntil([&] { return !other_.Text().empty(); }, 5000)) << "the first row pasted";
    EXPECT_TRUE(WaitForKeyMode(0));
    const kst::HookExchange& exchange = *block_.Exchange();
    EXPECT_TRUE(exchange.onceThrough == 0 || exchange.onceThroughThread == GetWindowThreadProcessId(other_.Window(), nullptr))
        << "a mark, if any, is the other editor's";

    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    bench::PumpFor(300); // as StartWithOtherEditor: the activation settles before keys
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_NE(nullptr, WaitForPopup()) << "the next Ctrl+V opens the popup";
}

// An editor that draws its own cursor has no system caret: the popup opens
// at the mouse pointer, never in the screen's corner.
TEST_F(ReachEndToEnd, WithoutASystemCaretThePopupOpensAtTheMousePointer) {
    ASSERT_NO_FATAL_FAILURE(StartEditor("--no-caret"));
    StartApp(HistoryOf({"a", "b"}));
    ASSERT_FALSE(editor_.HasSystemCaret()) << "the editor has no system caret";
    SetCursorPos(333, 222);
    bench::PumpFor(200);
    bench::Chord({VK_CONTROL}, 'V');
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(BelowCaret(POINT{333, 222}).x, Corner(popup).x);
    EXPECT_EQ(BelowCaret(POINT{333, 222}).y, Corner(popup).y);
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    WaitForPopupGone();
}

// An editor without a system caret that offers one to accessibility tools
// gets the popup at that caret, where the system passes such requests
// between processes.
TEST_F(ReachEndToEnd, AnAccessibilityCaretPlacesThePopup) {
    ASSERT_NO_FATAL_FAILURE(StartEditor("--accessible-caret"));
    ASSERT_TRUE(editor_.BringToFront());
    bench::PumpFor(300);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* caret = nullptr;
    long x = 0, y = 0, width = 0, height = 0;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const HRESULT probe = AccessibleObjectFromWindow(edit_, OBJID_CARET, IID_IAccessible, reinterpret_cast<void**>(&caret));
    const bool answered = SUCCEEDED(probe) && caret && SUCCEEDED(caret->accLocation(&x, &y, &width, &height, self));
    if (caret) caret->Release();
    CoUninitialize();
    if (!answered) GTEST_SKIP() << "accessibility caret requests get no answer across processes here (" << std::hex << probe << ")";

    StartApp(HistoryOf({"a", "b"}));
    SetCursorPos(700, 600); // far from the caret
    bench::PumpFor(200);
    bench::Chord({VK_CONTROL}, 'V');
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(BelowCaret(POINT{x, y}).x, Corner(popup).x);
    EXPECT_EQ(BelowCaret(POINT{x, y}).y, Corner(popup).y);
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    WaitForPopupGone();
}

} // namespace
