// kstpost: drives a running Kestrane from scripts (screenshots, manual
// checks). "kstpost NAME WPARAM LPARAM" posts the registered message NAME to
// the main window; "kstpost --key K" presses and releases one key.
#include <windows.h>

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
    if (argc != 4) {
        fputs("usage: kstpost NAME WPARAM LPARAM | kstpost --key K\n", stderr);
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
