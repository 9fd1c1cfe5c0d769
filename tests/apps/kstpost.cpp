// kstpost: drives a running Kestrane from scripts (screenshots, manual
// checks). "kstpost NAME WPARAM LPARAM" posts the registered message NAME to
// the main window; "kstpost --key K" presses and releases one key;
// "kstpost --picture" puts a small picture on the clipboard (and stays four
// seconds, while the picture lasts); "kstpost --sheet-page N" shows page N
// (from 0) of the open settings sheet.
#include <windows.h>
#include <prsht.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--key") == 0) {
        INPUT keys[2] = {};
        for (INPUT& k : keys) {
            k.type = INPUT_KEYBOARD;
            k.ki.wVk = static_cast<WORD>(toupper(static_cast<unsigned char>(argv[2][0])));
        }
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        return SendInput(2, keys, sizeof(INPUT)) == 2 ? 0 : 1;
    }
    if (argc == 2 && strcmp(argv[1], "--picture") == 0) {
        HDC screen = GetDC(nullptr);
        HBITMAP picture = CreateCompatibleBitmap(screen, 32, 32);
        ReleaseDC(nullptr, screen);
        if (!picture || !OpenClipboard(nullptr)) return 1;
        EmptyClipboard();
        const bool set = SetClipboardData(CF_BITMAP, picture) != nullptr;
        CloseClipboard();
        // The picture is this process's own drawing object: stay a moment,
        // so that the clipboard still holds it when Kestrane looks.
        Sleep(4000);
        return set ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "--sheet-page") == 0) {
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
            if (!FindWindowExA(w, nullptr, "SysTabControl32", nullptr)) continue;
            SendMessageA(w, PSM_SETCURSEL, strtoul(argv[2], nullptr, 0), 0);
            return 0;
        }
        fputs("kstpost: no settings sheet is open\n", stderr);
        return 1;
    }
    if (argc != 4) {
        fputs("usage: kstpost NAME WPARAM LPARAM | kstpost --key K | kstpost --picture | kstpost --sheet-page N\n", stderr);
        return 2;
    }
    HWND main = FindWindowA("KestraneMain", nullptr);
    if (!main) {
        fputs("kstpost: Kestrane is not running\n", stderr);
        return 1;
    }
    const UINT message = RegisterWindowMessageA(argv[1]);
    return PostMessageA(main, message, strtoul(argv[2], nullptr, 0), strtol(argv[3], nullptr, 0)) ? 0 : 1;
}
