#include "notify/progress_window.h"

#include <commctrl.h>

#include "ui/dpi_win.h"
#include "ui/shared_gdi.h"
#include "ui/window_object.h"

namespace kst {
namespace {

bool g_classRegistered = false;

LRESULT CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const ProgressWindow* progress = BoundObject<ProgressWindow>(window, message, lParam, kProgressProperty);
    if (message == WM_MOUSEACTIVATE && progress) return MA_NOACTIVATE;
    return DefWindowProcA(window, message, wParam, lParam);
}

RECT StartWorkArea() {
    RECT w = g_gdi.workArea;
    if (IsRectEmpty(&w)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &w, 0);
    return w;
}

// Centred in the work area as it was when the program started.
POINT CentredIn(const RECT& w, int width, int height) {
    return POINT{w.left + (w.right - w.left - width) / 2, w.top + (w.bottom - w.top - height) / 2};
}

} // namespace

int ProgressWindow::Create(void* programInstance) {
    return CreateOwned(static_cast<HINSTANCE>(programInstance), GetForegroundWindow());
}

int ProgressWindow::CreateOwned(HINSTANCE programInstance, HWND ownerWindow) {
    instance = programInstance;
    owner = ownerWindow;
    if (!RegisterClassOnce(g_classRegistered, ProgramWindowClass(ProgressWindowProc, instance, kProgressClass))) return 0;
    const RECT work = StartWorkArea();
    const DpiScale px{DpiOfMonitorOfRect(work)};
    const POINT at = CentredIn(work, px(kProgressWidth), px(kProgressHeight));
    auto create = [&](HWND ownerWindow) {
        return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY, kProgressClass, "",
                               WS_POPUP | WS_DISABLED | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER, at.x, at.y,
                               px(kProgressWidth), px(kProgressHeight), ownerWindow, nullptr, instance, this);
    };
    window = create(owner);
    // An owner in another process may be refused; the bar still shows.
    if (!window && owner) window = create(nullptr);
    if (!window) return 0;
    progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, px(15), px(15), px(270), px(15), window,
                                  (HMENU)1, instance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return 1;
}

void ProgressWindow::Init() {
    if (progressBar) {
        SendMessageA(progressBar, PBM_SETPOS, 0, 0);
        SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    }
    step = 0;
}

void ProgressWindow::SetStep(int position) {
    if (progressBar) SendMessageA(progressBar, PBM_SETPOS, position, 0);
    step = position;
}

void ProgressWindow::Destroy() {
    if (!window) return;
    RemovePropA(window, kProgressProperty);
    DestroyWindow(window);
    window = nullptr;
    progressBar = nullptr;
}

} // namespace kst
