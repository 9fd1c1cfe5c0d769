#include "popup/target_ime.h"

#include <imm.h>

#include <cstring>

namespace kst {
namespace {

// WM_IME_CONTROL requests to an application's default input method window,
// which answer for its thread from any process.
constexpr WPARAM kGetOpenStatus = 0x0005, kSetOpenStatus = 0x0006;
// An application that does not answer at once is left as it is.
constexpr UINT kAnswerWithinMs = 200;

BOOL CALLBACK FindInputMethodWindow(HWND window, LPARAM found) {
    char name[8];
    if (GetClassNameA(window, name, sizeof name) && strcmp(name, "IME") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The input method window of the window's thread. Some systems answer
// only for windows of the caller's own process; the thread's windows
// still include it, under its class name.
HWND InputMethodWindowOf(HWND target) {
    if (HWND ime = ImmGetDefaultIMEWnd(target)) return ime;
    HWND found = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(target, nullptr), FindInputMethodWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool AskInputMethod(HWND imeWindow, WPARAM request, LPARAM value, DWORD_PTR& answer) {
    return SendMessageTimeoutA(imeWindow, WM_IME_CONTROL, request, value, SMTO_ABORTIFHUNG, kAnswerWithinMs,
                               &answer) != 0;
}

} // namespace

void TargetInputMethod::Suspend(HWND target) {
    Resume();
    imeWindow = target && IsWindow(target) ? InputMethodWindowOf(target) : nullptr;
    DWORD_PTR open = 0;
    if (!imeWindow || !AskInputMethod(imeWindow, kGetOpenStatus, 0, open) || !open) return;
    DWORD_PTR ignored = 0;
    switchedOff = AskInputMethod(imeWindow, kSetOpenStatus, FALSE, ignored);
}

void TargetInputMethod::Resume() {
    DWORD_PTR ignored = 0;
    if (switchedOff && IsWindow(imeWindow)) AskInputMethod(imeWindow, kSetOpenStatus, TRUE, ignored);
    switchedOff = false;
    imeWindow = nullptr;
}

} // namespace kst
