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
        SendMessageA(GetParent(button), kToggleClickedMessage, 0, reinterpret_cast<LPARAM>(button));
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
        const int rowHeight = static_cast<int>(CallBase(g_listBase, list, LB_GETITEMHEIGHT, 0, 0));
        const int row = at.y >= 0 && rowHeight > 0 ? top + at.y / rowHeight : -1;
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

void PastePopup::OnKey(UINT key, LPARAM keyData) {
    if (!window) return;
    // With the input method on in the application, it may have taken the key.
    UINT vk = KeyBehindInputMethod(key, static_cast<UINT>((keyData >> 16) & 0xFF));
    // Ctrl as the keys themselves say: under Wine the asynchronous state can
    // still report a Ctrl just pressed as up (a recent "up" is kept a while).
    if (ModifierBitOfKey(vk) == kHotkeyCtrl) {
        ctrlHeld = (keyData & 0x80000000) == 0;
        return;
    }
    if (vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT) {
        shiftHeld = (keyData & 0x80000000) == 0;
        return;
    }
    if (ModifierBitOfKey(vk) == kHotkeyAlt) {
        altHeld = (keyData & 0x80000000) == 0;
        return;
    }
    if (keyData & 0x80000000) return; // releases do nothing
    // Alt as its own key told us, or as the key's context bit says.
    const bool alt = altHeld || (keyData & 0x20000000) != 0;
    if (OnSearchKey(vk, static_cast<UINT>((keyData >> 16) & 0xFF), alt)) return;
    const int rowCount = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    const int selected = SelectedRow();
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    const int page = listExtra ? 10 : 5;
    auto move = [&](ListKey key) {
        const ListMove m = MoveInList(key, rowCount, selected, top, page);
        SetList(m.top, m.selection);
        FollowSelection(shiftHeld);
    };
    // While searching a digit is typed; only with Alt does it pick an entry.
    const bool digitPicks = !searching || alt;
    const int numbered = digitPicks ? EntryOfDigitKey(vk, history ? history->Count() : 0) : -1;
    if (numbered >= 0) {
        // As Enter on the entry's row; an entry the list does not show (it
        // changed under the popup) does nothing.
        const int row = RowOfEntry(numbered);
        if (row < 0) return;
        SetList(-1, row);
        FollowSelection(false);
        vk = VK_RETURN;
    }
    if (ctrlHeld && vk == 'Z') {
        UndoDelete();
        return;
    }
    switch (vk) {
    case VK_RETURN:
        // Another window in front that the watch has not seen yet: the paste
        // would go there.
        if (!TargetStillInFront()) {
            Close();
            return;
        }
        closing = true; // our own keystrokes follow: none of them is for us
        PasteSelection(shiftHeld);
        Close();
        return;
    case VK_ESCAPE:
        Close();
        return;
    case VK_INSERT:
        TogglePinOfSelection();
        return;
    case VK_DELETE:
        DeleteSelectedEntry();
        return;
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
    default: {
        const int changed = ApplyPanelKey(panel, vk);
        if (changed) ShowPanel(changed);
        if (changed & kPanelCopyOrder) return; // the list was filled anew
        break;
    }
    }
    if (window && SelectedRow() != selected) ShowSelectionDetail();
}

// The buttons show the panel; what changed besides them follows.
void PastePopup::ShowPanel(int changed) {
    for (int k = 0; k < kPanelConversions; ++k) SetPressed(toggles[k], panel.on[k]);
    for (int k = 0; k < kTwoWayConversions; ++k) {
        SetPressed(directions[k], panel.forward[k]);
        SetWindowTextA(toggles[k], TwoWayCaption(k, panel.forward[k]));
    }
    SetPressed(foldButton, panel.shown);
    SetPressed(toggles[kToggleCopyOrder], panel.copyOrder);
    if (changed & kPanelFolded) {
        Resize();
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    if (changed & kPanelCopyOrder) AfterCopyOrderChange();
}

// A button switched by the mouse: the panel takes its new state.
void PastePopup::OnToggle(HWND button) {
    if (!button || !window) return;
    const bool pressed = IsPressed(button);
    int changed = kPanelUnchanged;
    if (button == foldButton) {
        panel.shown = pressed;
        changed = kPanelFolded;
    } else if (button == toggles[kToggleCopyOrder]) {
        panel.copyOrder = pressed;
        changed = kPanelCopyOrder;
    }
    for (int k = 0; k < kTwoWayConversions; ++k)
        if (button == directions[k]) {
            panel.forward[k] = pressed;
            changed = kPanelConverts;
        }
    for (int k = 0; k < kPanelConversions; ++k)
        if (button == toggles[k]) {
            panel.on[k] = pressed;
            changed = kPanelConverts;
        }
    if (changed) ShowPanel(changed);
}

void PastePopup::AfterCopyOrderChange() {
    balloon.Init();
    FillList(panel.copyOrder);
    ShowEntryAt(0);
}

void PastePopup::PasteSelection(bool asCopied) {
    const int row = SelectedRow();
    history->SetFlags(0xFFF, FlagsOfPanel(panel));
    const std::vector<int> entries = EntriesOfSelection(rows, selection);
    if (entries.size() > 1) {
        PasteSeveral(entries, asCopied);
        return;
    }
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    if (rows[row] != kCurrentClipboardRow) {
        const int index = static_cast<int>(rows[row]);
        const int keep = ctrlHeld ? 1 : 0;
        // The row is no longer in the history (it changed under the popup):
        // nothing to paste and nothing to report.
        if (index < 0 || index >= history->Count()) return;
        // Nothing on the clipboard: typing Ctrl+V would paste something else.
        if (!history->PasteToClipboard(index, keep, host ? host->PasteParametersNow() : PasteParameters{}, asCopied)) {
            if (host && !history->PasteLackedMemory()) host->ReportClipboardBusy();
            return;
        }
    }
    // The popup goes away only after the paste has been typed (its caller
    // closes it): hidden while our keys were on their way, on a busy machine
    // under Wine the application lost our Ctrl and typed "v" instead.
    if (host) host->TypePopupPaste();
}

// Several entries as one text, in one paste.
void PastePopup::PasteSeveral(const std::vector<int>& entries, bool asCopied) {
    const int keep = ctrlHeld ? 1 : 0;
    if (!history->PasteManyToClipboard(entries, keep, host ? host->PasteParametersNow() : PasteParameters{},
                                       asCopied)) {
        if (host && !history->PasteLackedMemory()) host->ReportClipboardBusy();
        return;
    }
    if (host) host->TypePopupPaste();
}

int PastePopup::FirstEntryRow() const { return !rows.empty() && rows[0] == kCurrentClipboardRow ? 1 : 0; }

// The list's own selection is the active row; the anchor stays with Shift.
// The current-clipboard row never joins several.
void PastePopup::FollowSelection(bool extend) {
    const RowSelection before = selection;
    selection = MoveSelection(selection, SelectedRow(), extend, FirstEntryRow());
    if (selection.active != SelectedRow()) SetList(-1, selection.active);
    const bool several = before.anchor != before.active || selection.anchor != selection.active;
    if (several) InvalidateRect(list, nullptr, FALSE);
}

void PastePopup::OnListSelectionChange() {
    FollowSelection(shiftHeld);
    ShowSelectionDetail();
}

void PastePopup::OnListClick() {
    if (!shiftHeld) OnKey(VK_RETURN, 0);
}

// The storage index of the active row's entry; -1 for the clipboard row.
int PastePopup::SelectedEntry() const {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row] == kCurrentClipboardRow) return -1;
    return static_cast<int>(rows[row]);
}

void PastePopup::TogglePinOfSelection() {
    if (history->TogglePin(SelectedEntry()) < 0) return;
    InvalidateRect(list, nullptr, FALSE);
    ShowSelectionDetail();
}

void PastePopup::DeleteSelectedEntry() {
    const int row = SelectedRow();
    const int entry = SelectedEntry();
    if (history->DeleteEntry(entry) != ClipHistory::DeleteResult::kDeleted) return;
    found.entries = EntriesAfterRemoval(found.entries, entry);
    AfterEntriesChanged(row, -1);
}

void PastePopup::UndoDelete() {
    const int index = history->UndoDelete();
    if (index < 0) return;
    found.entries = EntriesAfterReturn(found.entries, index);
    AfterEntriesChanged(-1, index);
}

// The list filled anew after the entries changed; a search looks again
// over the texts as they are now.
void PastePopup::AfterEntriesChanged(int row, int entry) {
    FillList(panel.copyOrder);
    if (Filtering()) SubmitQuery();
    ShowEntryAt(entry >= 0 ? RowOfEntry(entry) : row);
}

// The list filled anew: one row selected (the nearest there is).
void PastePopup::ShowEntryAt(int row) {
    const int count = static_cast<int>(rows.size());
    if (row >= count) row = count - 1;
    SendMessageA(list, LB_SETCURSEL, row, 0);
    selection = {row, row};
    InvalidateRect(list, nullptr, TRUE);
    ShowSelectionDetail();
}

} // namespace kst
