#include "shell/foreground_app.h"

#include <oleacc.h>

#include "hook/ksthook.h"
#include "ui/dpi_win.h"

namespace kst {
namespace {

// The system caret of the thread: its rectangle in the caret window's
// client coordinates, mapped to the screen. known: the thread could be read.
bool SystemCaret(DWORD thread, GUITHREADINFO& info, POINT& at, bool& known) {
    info = GUITHREADINFO{};
    info.cbSize = sizeof info;
    known = thread && GetGUIThreadInfo(thread, &info);
    if (!known || !info.hwndCaret || !IsWindow(info.hwndCaret)) return false;
    at = ClientPointToScreen(info.hwndCaret, POINT{info.rcCaret.left, info.rcCaret.top});
    return true;
}

// Asked inside the application, so in its own (perhaps scaled) coordinates.
bool HookCaret(HWND foreground, POINT& at) {
    const uint32_t caret = GetForegroundProcessCaretPos();
    if (!caret) return false;
    at = LogicalScreenPointToPhysical(
        foreground, POINT{static_cast<short>(caret & 0xFFFF), static_cast<short>(caret >> 16)});
    return true;
}

// The caret an application that draws its own offers to accessibility
// tools. Asked only of a window that answers: the request is a sent message.
bool AccessibleCaret(HWND window, POINT& at) {
    if (!window || !IsAnswering(window, 200)) return false;
    IAccessible* caret = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CARET, IID_IAccessible, reinterpret_cast<void**>(&caret))) ||
        !caret)
        return false;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    long x = 0, y = 0, width = 0, height = 0;
    const bool located = SUCCEEDED(caret->accLocation(&x, &y, &width, &height, self)) && (width > 0 || height > 0);
    caret->Release();
    if (located) at = POINT{x, y};
    return located;
}

} // namespace

bool IsAnswering(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    // Not SMTO_BLOCK: what is sent to us meanwhile is handled while we wait.
    return window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, timeoutMs, &result);
}

bool SystemModulePath(HWND window, std::string& path) {
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || !processId) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    char name[MAX_PATH];
    DWORD length = sizeof name;
    const bool named = QueryFullProcessImageNameA(process, 0, name, &length) && length > 0;
    CloseHandle(process);
    if (named) path.assign(name, length);
    return named;
}

POINT ForegroundCaret() {
    const HWND foreground = GetForegroundWindow();
    const DWORD thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    GUITHREADINFO info;
    POINT at{0, 0};
    bool known = false;
    if (SystemCaret(thread, info, at, known)) return at;
    // The hook asks the same thread from inside: worth its wait only when
    // the system could not read the thread at all.
    if (!known && HookCaret(foreground, at)) return at;
    if (AccessibleCaret(info.hwndFocus ? info.hwndFocus : foreground, at)) return at;
    GetCursorPos(&at);
    return at;
}

} // namespace kst
