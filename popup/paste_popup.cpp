#include "popup/paste_popup.h"

#include <string>
#include <vector>

#include "history/clip_history.h"
#include "popup/popup_model.h"
#include "ui/dpi_win.h"
#include "ui/shared_gdi.h"
#include "ui/window_object.h"

namespace kst {
namespace {

// How often the popup looks whether its application is still in front.
constexpr UINT_PTR kWatchTimerId = 1;
constexpr UINT kWatchEveryMs = 100;

constexpr DWORD kToggleStyle = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX;
constexpr DWORD kGlyphStyle = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | BS_PUSHLIKE;


PopupRect ToPopupRect(const RECT& r) { return PopupRect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(handle, &info))
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back({ToPopupRect(info.rcMonitor), ToPopupRect(info.rcWork)});
    return TRUE;
}

// The work area of the monitor that holds the caret: on a second monitor
// the primary display's work area would put the popup on the wrong screen.
PopupRect WorkAreaOfCaret(PopupPoint caret) {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        return ToPopupRect(work);
    }
    return WorkAreaAt(caret, monitors.data(), static_cast<int>(monitors.size()));
}

// The one open popup, for the foreground event (which names no window of ours).
PastePopup* g_watchingPopup = nullptr;

void CALLBACK OnForegroundChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    if (g_watchingPopup) g_watchingPopup->WatchTarget();
}

} // namespace

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PastePopup* popup = BoundObject<PastePopup>(hwnd, message, lParam, kPopupProperty);
    if (!popup) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case kToggleClickedMessage:
        popup->OnToggle(reinterpret_cast<HWND>(lParam));
        return 0;
    case kSearchDoneMessage:
        popup->OnSearchDone();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        popup->PaintFrame(dc, ps.rcPaint);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        break;
    case WM_TIMER:
        if (wParam == kWatchTimerId) popup->WatchTarget();
        return 0;
    case WM_DESTROY: // destroyed from outside: let go of it as Close does
        if (popup->Window() == hwnd) popup->Close(true);
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DRAWITEM:
        if (wParam == kHistoryList) {
            popup->DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_MEASUREITEM:
        if (wParam == kHistoryList) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(popup->px(kRowHeight));
            return 1;
        }
        break;
    case WM_COMMAND:
        // By the notification only: NAList posts its own with control id 0.
        if (HIWORD(wParam) == LBN_SELCHANGE) popup->OnListSelectionChange();
        else if (HIWORD(wParam) == LBN_DBLCLK) popup->OnListClick();
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The position and size in base pixels, placed in the popup's.
HWND PastePopup::CreateControl(const char* className, int id, const char* caption, DWORD style, int x, int y,
                               int width, int height) {
    return CreateWindowExA(0, className, caption, style, px(x), px(y), px(width), px(height), window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void PastePopup::CreateControls(int columnWidth) {
    const int e = listExtra;
    list = CreateControl("NAList", kHistoryList, "",
                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL | LBS_NOTIFY |
                             LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL,
                         1, 1, 311, 85 + e);
    toggles[kToggleCopyOrder] =
        CreateControl("NAButton", kToggleCopyOrder, "コピー順固定(&C)", WS_CHILD | BS_AUTOCHECKBOX, 5, e + 91, 145, 15);
    foldButton = CreateControl("NAButton", kFoldButton, "u", kGlyphStyle, 294, e + 90, 18, 17);
    statusLine = CreateControl("STATIC", kStatusLine, "0/0()", WS_CHILD | WS_VISIBLE | SS_RIGHT, 120, e + 93, 170, 12);
    const std::string wrap = WrapCaption(columnWidth);
    const struct {
        int id;
        const char* caption;
        int x, y;
    } panel[8] = {
        {kToggleWidth, TwoWayCaption(0, true), 5, 112},    {kToggleCase, TwoWayCaption(1, true), 5, 130},
        {kToggleWrap, wrap.c_str(), 5, 146},               {kToggleQuote, "引用(&Q)", 5, 162},
        {kToggleComma, TwoWayCaption(2, true), 165, 112},  {kTogglePeriod, TwoWayCaption(3, true), 165, 130},
        {kToggleKinsoku, "禁則処理(&E)", 165, 146},        {kToggleTags, "タグ外し(&T)", 165, 162},
    };
    for (const auto& t : panel)
        toggles[t.id] = CreateControl("NAButton", t.id, t.caption, kToggleStyle, t.x, e + t.y, 130, 15);
    const POINT directionAt[4] = {{135, 113}, {135, 131}, {296, 113}, {296, 131}};
    for (int k = 0; k < 4; ++k)
        directions[k] = CreateControl("NAButton", kFirstDirection + k, "4", kGlyphStyle | BS_FLAT, directionAt[k].x,
                                      e + directionAt[k].y, 16, 12);
}

void PastePopup::ApplyInitialStates() {
    const UiFonts fonts = FontsForDpi(px.dpi);
    const auto text = reinterpret_cast<WPARAM>(fonts.ui), glyphs = reinterpret_cast<WPARAM>(fonts.symbol);
    SendMessageA(list, WM_SETFONT, text, FALSE);
    SendMessageA(statusLine, WM_SETFONT, text, FALSE);
    for (HWND toggle : toggles) SendMessageA(toggle, WM_SETFONT, text, FALSE);
    for (HWND glyph : directions) SendMessageA(glyph, WM_SETFONT, glyphs, FALSE);
    SendMessageA(foldButton, WM_SETFONT, glyphs, FALSE);
    ShowPanel(panel.shown ? kPanelFolded : kPanelUnchanged);
}

void PastePopup::Open(HINSTANCE programInstance, HWND ownerWindow, HWND mainWindow, ClipHistory* shown,
                      const PopupOptions& options, POINT caret) {
    instance = programInstance;
    owner = ownerWindow;
    ownerTop = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    closing = false;
    history = shown;
    // Held since before the popup: its press came before the keys did.
    ctrlHeld = GetAsyncKeyState(VK_CONTROL) < 0;
    shiftHeld = GetAsyncKeyState(VK_SHIFT) < 0;
    panel = PanelState{};
    panel.shown = options.showDetail;
    for (int k = 0; k < kTwoWayConversions; ++k) panel.forward[k] = options.forward[k];
    for (int k = 0; k < kPanelConversions; ++k) panel.on[k] = options.toggles[k];
    panel.copyOrder = options.copyOrder;
    saveToggles = options.saveToggles ? 1 : 0;
    listExtra = options.longList ? kLongListExtra : 0;
    invertOrder = options.invertOrder;
    if (!RegisterClassOnce(classRegistered, ProgramWindowClass(PopupProc, instance, kPopupClass))) return;

    // Drawn for the monitor it opens on; it never moves, so never changes DPI.
    px = DpiScale{DpiOfMonitorAt(caret)};
    const PopupPoint caretAt{caret.x, caret.y};
    const PopupPoint at = PlacePopup(caretAt, listExtra, WorkAreaOfCaret(caretAt), px.dpi);

    window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY, kPopupClass, "",
                             WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME, at.x, at.y, px(kPopupWidth),
                             px(kFoldedHeight + listExtra), owner, nullptr, instance, this);
    if (!window) return;
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontsForDpi(px.dpi).ui), FALSE);
    CreateControls(options.columnWidth);
    ApplyInitialStates();
    LoadFormatIcons();
    FillList(panel.copyOrder);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    selection = {0, 0};
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(window);
    balloon.Create(instance, window, mainWindow);
    ShowSelectionDetail();
    // Closed the moment another window comes to the front; the timer stays
    // for a target that goes away without a foreground change.
    g_watchingPopup = this;
    foregroundHook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForegroundChanged,
                                     0, 0, WINEVENT_OUTOFCONTEXT);
    SetTimer(window, kWatchTimerId, kWatchEveryMs, nullptr);
    // After it shows: two questions to the application, not worth the wait.
    targetIme.Suspend(owner);
}

// The popup belongs to the application it opened over: once the user has
// gone elsewhere (a click, a new window) or that window is gone, it closes
// without pasting. Keys typed elsewhere never reached it (the hook passes
// keys of other threads), so the toggles it saves are the user's own.
bool PastePopup::TargetStillInFront() const {
    if (!owner || !IsWindow(owner)) return false;
    const HWND front = GetForegroundWindow();
    // None in front happens for a moment while the activation changes.
    return !front || GetAncestor(front, GA_ROOT) == ownerTop;
}

void PastePopup::WatchTarget() {
    if (window && !closing && !TargetStillInFront()) Close();
}

PopupPanelState PastePopup::PanelToKeep() const {
    PopupPanelState kept;
    kept.showDetail = panel.shown;
    kept.keepToggles = saveToggles && window;
    for (int k = 0; k < kTwoWayConversions; ++k) kept.forward[k] = panel.forward[k];
    for (int k = 0; k < kPanelConversions; ++k) kept.toggles[k] = panel.on[k];
    return kept;
}

void PastePopup::Close(bool destroying) {
    // The keys are the applications' again before the window goes: a key
    // typed the moment it disappears must not still come to us.
    closing = true;
    targetIme.Resume();
    if (history) history->ForgetDeleted(); // put back only while the popup is open
    search.End();
    searching = false;
    query.clear();
    foundCurrent = false;
    found = SearchOutcome{};
    preview.reset();
    previewOf.reset();
    if (host) host->PopupClosed(PanelToKeep());
    if (foregroundHook) UnhookWinEvent(foregroundHook);
    foregroundHook = nullptr;
    if (g_watchingPopup == this) g_watchingPopup = nullptr;
    if (window) {
        KillTimer(window, kWatchTimerId);
        RemovePropA(window, kPopupProperty);
    }
    if (window && !destroying) DestroyWindow(window);
    window = nullptr;
    list = foldButton = statusLine = nullptr;
    for (HWND& h : toggles) h = nullptr;
    for (HWND& h : directions) h = nullptr;
    DestroyFormatIcons();
    listBackgroundDrawn = false;
    balloon.Destroy();
    closing = false;
    owner = ownerTop = nullptr;
}

void PastePopup::Resize() {
    const int height = px((panel.shown ? kExpandedHeight : kFoldedHeight) + listExtra);
    SetWindowPos(window, nullptr, 0, 0, px(kPopupWidth), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PastePopup::PaintFrame(HDC dc, const RECT& paint) const {
    const int right = paint.right - 2, e = listExtra;
    // A groove: the shadow line and the light one right under it.
    auto groove = [&](int y) {
        DrawLine(dc, g_gdi.shadowPen, 1, px(y), right, px(y));
        DrawLine(dc, g_gdi.highlightPen, 1, px(y) + 1, right, px(y) + 1);
    };
    groove(e + 87);
    if (panel.shown) groove(e + 108);
}

void PastePopup::SetPressed(HWND button, bool pressed) const {
    SendMessageA(button, BM_SETCHECK, pressed ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool PastePopup::IsPressed(HWND button) const { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

int PastePopup::SelectedRow() const { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

void PastePopup::Redraw() const {
    if (window) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The row that shows the entry (its item data); -1 when none does.
int PastePopup::RowOfEntry(int index) const {
    const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row)
        if (SendMessageA(list, LB_GETITEMDATA, row, 0) == index) return row;
    return -1;
}

void PastePopup::SetList(int top, int selection) const {
    if (top >= 0) SendMessageA(list, LB_SETTOPINDEX, top, 0);
    if (selection >= 0) SendMessageA(list, LB_SETCURSEL, selection, 0);
}

} // namespace kst
