// kstclose: asks a running Kestrane to end, as its menu's exit does, and
// waits until it has (it saves the history on the way). Exit status 0 when
// it ended or was not running, 1 when it is still there after ten seconds.
#include <windows.h>

int main() {
    HWND main = FindWindowA("KestraneMain", nullptr);
    if (!main) return 0;
    PostMessageA(main, WM_CLOSE, 0, 0);
    for (int k = 0; k < 100 && IsWindow(main); ++k) Sleep(100);
    return IsWindow(main) ? 1 : 0;
}
