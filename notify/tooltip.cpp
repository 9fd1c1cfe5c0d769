#include "notify/tooltip.h"

#include <string.h>

#include "notify/balloon_layout.h"
#include "ui/dpi_win.h"
#include "ui/layered.h"
#include "ui/shared_gdi.h"
#include "ui/window_object.h"

namespace kst {
namespace {

bool g_classRegistered = false;
constexpr int kFadeSteps = 9;
constexpr DWORD kFadePauseMs = 20;
constexpr int kTitleBand = 15;

LRESULT CALLBACK TooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Tooltip* tip = BoundObject<Tooltip>(window, message, lParam, kTooltipProperty);
    if (!tip) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        tip->Paint(window);
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_TIMER:
        KillTimer(window, wParam);
        tip->Show(wParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

char* CopyText(const char* text) {
    const size_t n = strlen(text ? text : "") + 1;
    char* copy = new char[n];
    memcpy(copy, text ? text : "", n);
    return copy;
}

void FreeText(char*& text) {
    delete[] text;
    text = nullptr;
}

} // namespace

Tooltip::~Tooltip() {
    alive = 0;
    FreeText(title);
    FreeText(content);
}

int Tooltip::Create(HINSTANCE programInstance, HWND anchorWindow, HWND owner) {
    instance = programInstance;
    anchor = anchorWindow;
    if (!RegisterClassOnce(g_classRegistered, ProgramWindowClass(TooltipProc, instance, kTooltipClass))) return 0;
    DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY;
    if (g_layered.present) exStyle |= WS_EX_LAYERED;
    window = CreateWindowExA(exStyle, kTooltipClass, "", WS_POPUP | WS_DISABLED | WS_CLIPSIBLINGS |
                             WS_CLIPCHILDREN | WS_BORDER, 0, 0, 10, 10, owner, nullptr, instance, this);
    if (!window) return 0;
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTooltipTextId)), instance, nullptr);
    ShowWindow(window, SW_HIDE);
    return 1;
}

void Tooltip::Destroy() {
    if (!window) return;
    RemovePropA(window, kTooltipProperty);
    DestroyWindow(window);
    window = nullptr;
}

int Tooltip::Init() {
    wasVisible = 0;
    if (window && IsWindowVisible(window)) {
        ShowWindow(window, SW_HIDE);
        wasVisible = 1;
    }
    if (window) {
        KillTimer(window, kShowTimer);
        KillTimer(window, kHideTimer);
    }
    FreeText(title);
    FreeText(content);
    contentStandIns.clear();
    picture.reset();
    placement = x = y = width = height = 0;
    px = DpiScale{DpiOfMonitorOfRect(AnchorRect())};
    return wasVisible;
}

// The text as one line, control characters included.
int Tooltip::MeasureLine(const char* text, const StandIns* standIns) const {
    HDC dc = GetDC(window);
    HGDIOBJ oldFont = SelectObject(dc, FontsForDpi(px.dpi).ui);
    const int width = MeasureTextLine(dc, text, standIns);
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
    return width;
}

void Tooltip::SetTitleText(const char* text) {
    FreeText(title);
    title = CopyText(text);
    if (!window) return;
    // The window's own text says what the balloon is about, for tools that
    // read windows rather than pixels.
    SetWindowTextA(window, title);
    width = GrowBalloonWidth(width, MeasureLine(title), px);
    height = px(kBalloonTitleHeight);
}

void Tooltip::SetContentText(const char* text, const StandIns* standIns) {
    FreeText(content);
    content = CopyText(text);
    contentStandIns = standIns ? *standIns : StandIns();
    if (!window) return;
    SetDlgItemTextA(window, kTooltipTextId, content ? content : "");
    width = GrowBalloonWidth(width, MeasureLine(content, &contentStandIns), px);
    HDC dc = GetDC(window);
    HGDIOBJ oldFont = SelectObject(dc, FontsForDpi(px.dpi).ui);
    height += MeasureWrappedText(dc, px, content, width, &contentStandIns) + px(8);
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}

void Tooltip::SetPicture(std::shared_ptr<const Image> shown) {
    picture = std::move(shown);
    if (!picture || !window) return;
    const int wanted = static_cast<int>(picture->width) + px(8);
    if (wanted > width) width = wanted;
    height += static_cast<int>(picture->height) + px(8);
}

void Tooltip::SetDisplayTime(UINT delay, UINT duration) {
    if (window) SetTimer(window, kShowTimer, delay + 10, nullptr);
    displayTime = duration ? duration : 4000;
}

// Without a window (before it is created, or after) a notification has
// nowhere to go and is dropped.
void Tooltip::Information(const char* titleText, const char* contentText, const StandIns* standIns) {
    if (!window) return;
    Init();
    SetTitleText(titleText);
    SetContentText(contentText, standIns);
    placement = kAbove;
    SetDisplayTime(1, 4000);
}

// No anchor (no notification area found): the corner of the work area
// where the notification area usually is.
RECT Tooltip::AnchorRect() const {
    RECT r{};
    if (anchor && GetWindowRect(anchor, &r)) return r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return RECT{r.right, r.bottom, r.right, r.bottom};
}

void Tooltip::SetAlpha(BYTE alpha) const {
    if (g_layered.setAttributes) g_layered.setAttributes(window, 0, alpha, LWA_ALPHA);
}

void Tooltip::FadeIn() {
    SetAlpha(0);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    for (int k = 1; k <= kFadeSteps; ++k) {
        SetAlpha(static_cast<BYTE>(k * 2550 / 100));
        Sleep(kFadePauseMs);
    }
    SetAlpha(255);
}

void Tooltip::FadeOut() {
    for (int k = kFadeSteps; k >= 1; --k) {
        SetAlpha(static_cast<BYTE>(k * 2550 / 100));
        Sleep(kFadePauseMs);
    }
    SetAlpha(0);
}

int Tooltip::Show(UINT_PTR kind) {
    if (!window) return 0;
    if (kind == kShowTimer) {
        const RECT r = AnchorRect();
        const RECT w = WorkAreaOfMonitorOf(r);
        const BalloonSpot spot = PlaceBalloon(placement, ScreenRect{r.left, r.top, r.right, r.bottom},
                                              ScreenRect{w.left, w.top, w.right, w.bottom}, width, height, px);
        x = spot.x;
        y = spot.y;
        height = spot.height;
        SetTimer(window, kHideTimer, displayTime, nullptr);
        SetWindowPos(window, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
        if (g_layered.present && !wasVisible) {
            FadeIn();
        } else {
            ShowWindow(window, SW_SHOWNOACTIVATE);
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
        }
        wasVisible = 0;
        return 1;
    }
    if (kind == kHideTimer) {
        if (g_layered.present && !wasVisible) FadeOut();
        ShowWindow(window, SW_HIDE);
        return 1;
    }
    return 0;
}

void Tooltip::Paint(HWND target) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(target, &ps);
    RECT p = ps.rcPaint;
    HBRUSH back = CreateSolidBrush(CurrentOwnColours().balloonBack);
    FillRect(dc, &p, back);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, FontsForDpi(px.dpi).ui);
    if (title) {
        const RECT band{p.left, p.top, p.right, p.top + px(kTitleBand)};
        DrawWrappedText(dc, px, title, &band, 1, 0);
        p.top += px(kTitleBand);
    }
    if (picture) {
        DrawImage(dc, *picture, p.left + px(4), p.top + px(4), CurrentOwnColours().balloonBack);
        p.top += static_cast<int>(picture->height) + px(8);
    }
    if (content) DrawWrappedText(dc, px, content, &p, 0, 1, &contentStandIns);
    DeleteObject(back);
    EndPaint(target, &ps);
}

} // namespace kst
