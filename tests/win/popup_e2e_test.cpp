// The paste popup with the real program: opened by the popup key in the
// test editor and in Wine's notepad, walked with keys and the mouse, and
// pasting into the application that keeps its focus all along.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "paste_popup.h"
#include "popup_model.h"

namespace {

using namespace fixture;

class PopupEndToEnd : public AppFixture {
  protected:
    HWND Popup() const { return bench::FindWindowOfProcess("Injected_KestranePaste", app_->Id()); }
    HWND WaitForPopup() { return bench::WaitForVisibleWindowOf("Injected_KestranePaste", app_->Id(), 5000); }
    bool WaitForPopupGone() {
        return bench::PumpUntil([&] { HWND p = Popup(); return !p || !IsWindowVisible(p); }, 5000);
    }
    bool WaitForText(const std::string& text, DWORD ms = 3000) {
        return bench::PumpUntil([&] { return EditorText() == text; }, ms);
    }
    void Tap(WORD vk) {
        bench::SendKeys({{vk, false}, {vk, true}});
        bench::PumpFor(150);
    }
    HWND OpenWithCtrlV() {
        bench::Chord({VK_CONTROL}, 'V');
        return WaitForPopup();
    }
    HWND List(HWND popup) const { return GetDlgItem(popup, kst::kHistoryList); }
};

TEST_F(PopupEndToEnd, CtrlVOpensThePopupAtTheCaretAndTheEditorKeepsItsFocus) {
    StartApp(HistoryOf({"A", "B", "C"}));
    SetEditorText("caret here");
    SendMessageA(edit_, EM_SETSEL, 10, 10);
    bench::PumpFor(200);
    const LRESULT caret = Ask(kEditorCaret);
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    RECT r;
    GetWindowRect(popup, &r);
    const int caretX = static_cast<short>(LOWORD(caret)), caretY = static_cast<short>(HIWORD(caret));
    EXPECT_EQ(caretX - 20 < 0 ? 0 : caretX - 20, r.left);
    EXPECT_EQ(caretY + 17, r.top) << "below the caret line";
    EXPECT_EQ(320, r.right - r.left);
    EXPECT_NE(0, GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(editorWindow_, GetForegroundWindow());
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(editorWindow_, nullptr), &info);
    EXPECT_EQ(edit_, info.hwndFocus);
    EXPECT_EQ(3, SendMessageA(List(popup), LB_GETCOUNT, 0, 0));
    Tap('X');
    Tap('Z');
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'X')) << "keys go to the popup, not the editor";
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitForPopupGone());
    bench::PumpFor(300);
    EXPECT_EQ("caret here", EditorText()) << "Esc pastes nothing";
}

TEST_F(PopupEndToEnd, DownDownEnterPastesTheThirdRow) {
    StartApp(HistoryOf({"A", "B", "C"}));
    ASSERT_NE(nullptr, OpenWithCtrlV());
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitForText("C")) << EditorText();
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
    EXPECT_TRUE(WaitForText("B")) << EditorText();
}

} // namespace
