#include "shell/tray_icon.h"

#include <stdio.h>

#include "shell/app_shell.h"
#include "resources/resource_ids.h"
#include "store/settings_model.h"
#include "ui/shared_gdi.h"

namespace kst {
namespace {

constexpr UINT kTrayIconId = 1;
// The first version of the record, which every shell understands (88 bytes
// on 32-bit Windows; the same fields with 64-bit handles on 64-bit).
constexpr DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;
constexpr int kIconSize = 16;
constexpr char kResumeItemText[] = "Kestraneの動作再開(&R)";

HICON LoadSmallIcon(HINSTANCE instance, int id) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, kIconSize, kIconSize, 0));
}

// A one-pixel outline around the digits: four offset copies, then the digits.
void DrawOutlinedDigits(HDC dc, const char* digits, COLORREF outline, COLORREF fill) {
    const int length = static_cast<int>(strlen(digits));
    const POINT around[] = {{15, 7}, {17, 7}, {16, 6}, {16, 8}};
    SetTextColor(dc, outline);
    for (const POINT& at : around) TextOutA(dc, at.x, at.y, digits, length);
    SetTextColor(dc, fill);
    TextOutA(dc, 16, 7, digits, length);
}

void PrepareDigits(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    SelectObject(dc, g_gdi.smallFont);
}

// A 32-bit colour bitmap whose alpha we set ourselves: GDI text leaves alpha
// at zero, and a shell that copies the icon through 32-bit bitmaps would
// otherwise show the digits transparent or the background black.
HBITMAP CreateColorBitmap(HDC dc, DWORD** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kIconSize, -kIconSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

// Opaque where the mask is black; transparent pixels black, as icons want.
void ApplyMaskAsAlpha(HDC maskDC, DWORD* bits) {
    GdiFlush();
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            DWORD& pixel = bits[y * kIconSize + x];
            pixel = GetPixel(maskDC, x, y) == RGB(0, 0, 0) ? (pixel | 0xFF000000u) : 0;
        }
    }
}

} // namespace

// Null when the drawing surfaces cannot be had (the caller keeps the plain icon).
HICON RenderCountIcon(HDC windowDC, HICON base, int count) {
    DWORD* colorBits = nullptr;
    HBITMAP color = CreateColorBitmap(windowDC, &colorBits);
    if (!color || !colorBits) {
        if (color) DeleteObject(color);
        return nullptr;
    }
    HDC colorDC = CreateCompatibleDC(windowDC);
    HDC maskDC = CreateCompatibleDC(windowDC);
    HBITMAP mask = CreateCompatibleBitmap(maskDC, kIconSize, kIconSize); // monochrome
    HGDIOBJ oldColor = SelectObject(colorDC, color);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);

    const RECT all{0, 0, kIconSize, kIconSize};
    FillRect(colorDC, &all, g_gdi.faceBrush ? g_gdi.faceBrush : GetSysColorBrush(COLOR_BTNFACE));
    DrawIconEx(colorDC, 0, 0, base, kIconSize, kIconSize, 0, nullptr, DI_IMAGE);
    DrawIconEx(maskDC, 0, 0, base, kIconSize, kIconSize, 0, nullptr, DI_MASK);

    char digits[16];
    snprintf(digits, sizeof digits, "%d", count);
    PrepareDigits(colorDC);
    DrawOutlinedDigits(colorDC, digits, RGB(255, 255, 255), RGB(0, 0, 128));
    PrepareDigits(maskDC);
    DrawOutlinedDigits(maskDC, digits, RGB(0, 0, 0), RGB(0, 0, 0));
    ApplyMaskAsAlpha(maskDC, colorBits);

    SelectObject(colorDC, oldColor);
    SelectObject(maskDC, oldMask);
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    DeleteDC(colorDC);
    DeleteDC(maskDC);
    return icon;
}

void TrayIcon::Add(HWND mainWindow, HINSTANCE programInstance, UINT callbackMessage) {
    instance = programInstance;
    record = NOTIFYICONDATAA{};
    record.cbSize = kRecordSize;
    record.hWnd = mainWindow;
    record.uID = kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    HICON loaded = LoadSmallIcon(instance, IDI_TRAY_RUNNING);
    record.hIcon = loaded;
    snprintf(record.szTip, sizeof record.szTip, "%s", "Kestrane - loading...");
    Shell_NotifyIconA(NIM_ADD, &record);
    UpdateCount(0);
    if (loaded) DestroyIcon(loaded); // the shell keeps its own copy
}

void TrayIcon::UpdateCount(int count) {
    if (!record.hWnd) return;
    HICON base = LoadSmallIcon(instance, g_app.paused ? IDI_TRAY_PAUSED : IDI_TRAY_RUNNING);
    HDC windowDC = GetDC(record.hWnd);
    HICON icon = RenderCountIcon(windowDC, base, count);
    ReleaseDC(record.hWnd, windowDC);
    record.hIcon = icon ? icon : base;
    snprintf(record.szTip, sizeof record.szTip, "%s", FormatTrayTip(count, g_app.history.Limit(), g_app.paused).c_str());
    Shell_NotifyIconA(NIM_MODIFY, &record);
    // The shell keeps its own copy.
    if (icon) DestroyIcon(icon);
    if (base) DestroyIcon(base);
    record.hIcon = nullptr;
}

void TrayIcon::Remove() {
    if (!record.hWnd) return;
    Shell_NotifyIconA(NIM_DELETE, &record);
    record.hWnd = nullptr;
}

int ForceForeground(HWND previous, HWND window) {
    const DWORD previousThread = GetWindowThreadProcessId(previous, nullptr);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(thread, previousThread, TRUE);
    SetForegroundWindow(window);
    AttachThreadInput(thread, previousThread, FALSE);
    SetActiveWindow(window);
    BringWindowToTop(window);
    return 1;
}

void TrayIcon::OnTrayMouse(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        g_app.PostGeneralNotify(kCommandSettings);
        return;
    }
    if (mouseMessage != WM_RBUTTONDOWN) return;
    const HWND previous = GetForegroundWindow();
    POINT cursor{};
    GetCursorPos(&cursor);
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_TRAY));
    HMENU popup = GetSubMenu(menu, 0);
    ForceForeground(previous, record.hWnd);
    if (g_app.paused) ModifyMenuA(popup, IDM_TRAY_PAUSE, MF_BYCOMMAND | MF_STRING, IDM_TRAY_PAUSE, kResumeItemText);
    const UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD, cursor.x, cursor.y, 0, record.hWnd, nullptr);
    switch (chosen) {
    case IDM_TRAY_CLEAR:
        g_app.PostGeneralNotify(kCommandClear);
        break;
    case IDM_TRAY_PAUSE:
        g_app.TogglePause();
        break;
    case IDM_TRAY_SETTINGS:
        g_app.PostGeneralNotify(kCommandSettings);
        break;
    case IDM_TRAY_EXIT:
        DestroyWindow(record.hWnd);
        break;
    }
    DestroyMenu(menu);
    if (g_app.mainWindow) PostMessageA(g_app.mainWindow, WM_NULL, 0, 0);
}

} // namespace kst
