// The popup's keys (forwarded by the hook library), its toggles, the paste
// of the chosen row, and the two controls that act on the mouse press.
#include "history/clip_history.h"
#include "hook/key_decision.h"
#include "popup/paste_popup.h"
#include "popup/popup_model.h"

namespace kst {
namespace {

WNDPROC g_buttonBase = nullptr;
WNDPROC g_listBase = nullptr;

LRESULT CallBase(WNDPROC base, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return base ? CallWindowProcA(base, window, message, wParam, lParam) : 0;
}

// Switches on the press itself; the press is eaten so nothing is activated.
LRESULT CALLBACK NAButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_MOUSEACTIVATE) return CallBase(g_buttonBase, button, message, wParam, lParam);
    if (GetWindowLongA(button, GWL_STYLE) & 0x3) {
        const LRESULT state = SendMessageA(button, BM_GETCHECK, 0, 0);
        SendMessageA(button, BM_SETCHECK, state == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageA(GetParent(button), WM_NULL, 0, reinterpret_cast<LPARAM>(button));
    }
    return MA_NOACTIVATEANDEAT;
}

void PostListNotice(HWND list, WORD code) {
    PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(0, code), reinterpret_cast<LPARAM>(list));
}

// Presses on rows are handled here as the cursor is set and then eaten;
// presses on the scroll bar go through and scroll without activation.
LRESULT CALLBACK NAListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) return LOWORD(lParam) == HTCLIENT ? MA_NOACTIVATEANDEAT : MA_NOACTIVATE;
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(list, &at);
        const int rows = static_cast<int>(CallBase(g_listBase, list, LB_GETCOUNT, 0, 0));
        const int top = static_cast<int>(CallBase(g_listBase, list, LB_GETTOPINDEX, 0, 0));
        const int row = at.y >= 0 ? top + at.y / kRowHeight : -1;
        if (row >= 0 && row < rows) {
            const int selected = static_cast<int>(CallBase(g_listBase, list, LB_GETCURSEL, 0, 0));
            const UINT mouse = HIWORD(lParam);
            if ((row != selected && GetKeyState(VK_LBUTTON) < 0) || mouse == WM_LBUTTONDOWN) {
                CallBase(g_listBase, list, LB_SETCURSEL, row, 0);
                PostListNotice(list, LBN_SELCHANGE);
            }
            if (mouse == WM_LBUTTONUP) PostListNotice(list, LBN_DBLCLK);
        }
    }
    return CallBase(g_listBase, list, message, wParam, lParam);
}

bool Superclass(HINSTANCE instance, const char* system, const char* name, WNDPROC procedure, WNDPROC& base,
                HBRUSH background) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, system, &wc)) return false;
    base = wc.lpfnWndProc;
    wc.lpfnWndProc = procedure;
    wc.lpszClassName = name;
    wc.hInstance = instance;
    if (background) wc.hbrBackground = background;
    return RegisterClassA(&wc) != 0;
}

} // namespace

int RegisterPopupClasses(HINSTANCE instance) {
    const bool button = Superclass(instance, "BUTTON", "NAButton", NAButtonProc, g_buttonBase, nullptr);
    const bool list = Superclass(instance, "LISTBOX", "NAList", NAListProc, g_listBase, (HBRUSH)(COLOR_MENU + 1));
    return button && list ? 1 : 0;
}

void UnregisterPopupClasses(HINSTANCE instance) {
    UnregisterClassA("NAButton", instance);
    UnregisterClassA("NAList", instance);
}

void PastePopup::OnKey(UINT vk, LPARAM keyData) {
    if (!window) return;
    // Ctrl as the keys themselves say: under Wine the asynchronous state can
    // still report a Ctrl just pressed as up (a recent "up" is kept a while).
    if (ModifierBitOfKey(vk) == kHotkeyCtrl) {
        ctrlHeld = (keyData & 0x80000000) == 0;
        return;
    }
    if (keyData & 0x80000000) return; // releases do nothing
    const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    const int selected = SelectedRow();
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    const int page = listExtra ? 10 : 5;
    auto move = [&](ListKey key) {
        const ListMove m = MoveInList(key, rows, selected, top, page);
        SetList(m.top, m.selection);
    };
    switch (vk) {
    case VK_RETURN:
        closing = true; // our own keystrokes follow: none of them is for us
        PasteSelection();
        Close();
        return;
    case VK_ESCAPE:
        Close();
        return;
    case VK_SPACE:
        SetPressed(foldButton, !IsPressed(foldButton));
        OnToggle(foldButton);
        break;
    case VK_PRIOR:
    case VK_LEFT:
        move(ListKey::PageUp);
        break;
    case VK_NEXT:
    case VK_RIGHT:
        move(ListKey::PageDown);
        break;
    case VK_END:
        move(ListKey::End);
        break;
    case VK_HOME:
        move(ListKey::Home);
        break;
    case VK_UP:
        move(ListKey::Up);
        break;
    case VK_DOWN:
    case 'V':
        move(ListKey::Down);
        break;
    case 'C':
        SetPressed(toggles[kToggleCopyOrder], !IsPressed(toggles[kToggleCopyOrder]));
        AfterCopyOrderChange();
        return;
    case 'H':
    case 'L':
    case 'K':
    case 'P':
        if (showDetail) StepTwoWay(vk == 'H' ? 0 : vk == 'L' ? 1 : vk == 'K' ? 2 : 3);
        break;
    case 'R':
    case 'Q':
    case 'E':
    case 'T': {
        const int k = vk == 'R' ? kToggleWrap : vk == 'Q' ? kToggleQuote : vk == 'E' ? kToggleKinsoku : kToggleTags;
        if (showDetail) SetPressed(toggles[k], !IsPressed(toggles[k]));
        break;
    }
    case VK_F2:
    case VK_F3:
    case VK_F4:
    case VK_F5:
        Preset(vk);
        break;
    default:
        break;
    }
    if (window && SelectedRow() != selected) ShowSelectionDetail();
}

void PastePopup::StepTwoWay(int k) {
    const TwoWay next = kst::StepTwoWay(TwoWay{IsPressed(toggles[k]), IsPressed(directions[k])});
    SetPressed(toggles[k], next.on);
    SetPressed(directions[k], next.forward);
    OnToggle(directions[k]);
}

// F2 resets the panel (unfolded, every conversion off); F3 adds wrapping with
// quotation and line-breaking rules; F4 and F5 the Western or Japanese comma
// and full stop.
void PastePopup::Preset(int key) {
    if (!IsPressed(foldButton)) {
        SetPressed(foldButton, true);
        OnToggle(foldButton);
    }
    for (int k = 0; k < 8; ++k) SetPressed(toggles[k], false);
    if (key == VK_F3) {
        for (int k : {kToggleWrap, kToggleQuote, kToggleKinsoku}) SetPressed(toggles[k], true);
    } else if (key == VK_F4 || key == VK_F5) {
        for (int k : {kToggleComma, kTogglePeriod}) {
            SetPressed(directions[k], key == VK_F4);
            OnToggle(directions[k]);
            SetPressed(toggles[k], true);
        }
    }
}

void PastePopup::OnToggle(HWND button) {
    if (!button || !window) return;
    if (button == foldButton) {
        showDetail = IsPressed(foldButton) ? 1 : 0;
        Resize();
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        return;
    }
    for (int k = 0; k < 4; ++k) {
        if (button != directions[k]) continue;
        forward[k] = IsPressed(button) ? 1 : 0;
        SetWindowTextA(toggles[k], TwoWayCaption(k, forward[k] != 0));
        return;
    }
    if (button == toggles[kToggleCopyOrder]) AfterCopyOrderChange();
}

void PastePopup::AfterCopyOrderChange() {
    balloon.Init();
    FillList(IsPressed(toggles[kToggleCopyOrder]));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    ShowSelectionDetail();
}

void PastePopup::PasteSelection() {
    const int row = SelectedRow();
    bool pressed[8], forwardNow[4];
    for (int k = 0; k < 8; ++k) pressed[k] = IsPressed(toggles[k]);
    for (int k = 0; k < 4; ++k) forwardNow[k] = forward[k] != 0;
    history->SetFlags(0xFFF, FlagsFromToggles(pressed, forwardNow));
    const bool clipboardRow = history->otherFormats == 1 && row == 0;
    if (row >= 0 && !clipboardRow) {
        const int steps = history->otherFormats == 1 ? row - 1 : row;
        int index = history->GetOrderedIndex(ORDER_FIRST, -1);
        for (int k = 0; k < steps; ++k) index = history->GetOrderedIndex(ORDER_NEXT, index);
        const int keep = ctrlHeld ? 1 : 0;
        // The row is no longer in the history (it changed under the popup):
        // nothing to paste and nothing to report.
        if (index < 0 || index >= history->Count()) return;
        // Nothing on the clipboard: typing Ctrl+V would paste something else.
        if (!history->PasteToClipboard(index, keep, host ? host->PasteParametersNow() : PasteParameters{})) {
            if (host) host->ReportClipboardBusy();
            return;
        }
    }
    // The popup goes away only after the paste has been typed (its caller
    // closes it): hidden while our keys were on their way, on a busy machine
    // under Wine the application lost our Ctrl and typed "v" instead.
    if (host) host->TypePopupPaste();
}

} // namespace kst
