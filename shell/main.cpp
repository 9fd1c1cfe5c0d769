// Program entry. For now: one instance, the hidden main window and the hooks.
// The settings, history, tray icon and hotkey actions plug in here later.
#include <windows.h>

#include "app_texts.h"
#include "ksthook.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool IsSecondInstance() {
    // Owned until the process ends; never released or closed.
    CreateMutexA(nullptr, TRUE, kst::kSingleInstanceMutex);
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

HWND CreateMainWindow(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kst::kMainWindowClass;
    if (!RegisterClassA(&wc)) return nullptr;
    return CreateWindowExA(WS_EX_TOOLWINDOW, kst::kMainWindowClass, kst::kProgramName, WS_DISABLED,
                           0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (IsSecondInstance()) {
        MessageBoxA(nullptr, kst::kAlreadyRunningText, kst::kProgramName, MB_ICONHAND);
        return 0;
    }
    const HWND main = CreateMainWindow(instance);
    if (!main) return 0;
    ShowWindow(main, SW_HIDE);
    InitDLLStatus(main);
    InstallHook();
    // NOT YET BUILT: the hotkey actions. Until they exist the hook takes no
    // keys, so that Ctrl+V and the other hotkeys keep working everywhere.
    SetAllKeyMessageSnatch(2);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnInstallHook();
    return 0;
}
