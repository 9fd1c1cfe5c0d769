// kstpost: drives a running Kestrane from scripts (screenshots, manual
// checks). "kstpost NAME WPARAM LPARAM" posts the registered message NAME to
// the main window; "kstpost --key K" presses and releases one key;
// "kstpost --picture" puts a picture on the clipboard (and stays four
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
        // A drawing of a house under a sky, as a paint program leaves it.
        HDC screen = GetDC(nullptr);
        HBITMAP picture = CreateCompatibleBitmap(screen, 640, 400);
        HDC dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, picture);
        for (int y = 0; y < 400; ++y) {
            HBRUSH band = CreateSolidBrush(y < 280 ? RGB(90 + y / 4, 150 + y / 4, 235) : RGB(70, 160 - (y - 280) / 3, 60));
            RECT line{0, y, 640, y + 1};
            FillRect(dc, &line, band);
            DeleteObject(band);
        }
        const struct {
            RECT r;
            COLORREF c;
        } parts[] = {{{220, 170, 420, 300}, RGB(240, 230, 210)}, {{295, 230, 345, 300}, RGB(120, 70, 40)},
                     {{240, 190, 280, 225}, RGB(120, 180, 230)}, {{360, 190, 400, 225}, RGB(120, 180, 230)}};
        for (const auto& part : parts) {
            HBRUSH brush = CreateSolidBrush(part.c);
            FillRect(dc, &part.r, brush);
            DeleteObject(brush);
        }
        HBRUSH roof = CreateSolidBrush(RGB(190, 60, 50)), sun = CreateSolidBrush(RGB(255, 200, 40));
        HGDIOBJ oldBrush = SelectObject(dc, roof);
        const POINT top[3] = {{200, 170}, {320, 90}, {440, 170}};
        Polygon(dc, top, 3);
        SelectObject(dc, sun);
        Ellipse(dc, 500, 40, 580, 120);
        SelectObject(dc, oldBrush);
        DeleteObject(roof);
        DeleteObject(sun);
        SelectObject(dc, old);
        DeleteDC(dc);
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
