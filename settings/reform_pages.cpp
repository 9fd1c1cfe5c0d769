// The history page and the text reformatting page.
#include "settings/page_controls.h"
#include "settings/page_values.h"
#include "reform/conversion_captions.h"
#include "reform/reform_flags.h"
#include "settings/settings_sheet.h"
#include "ui/shared_gdi.h"

namespace kst {
namespace {

const int kOrderButtons[2] = {IDC_HISTORY_FIFO, IDC_HISTORY_FILO};
const int kCopyOrderButtons[3] = {IDC_HISTORY_PASTED_STAYS, IDC_HISTORY_PASTED_TO_BACK, IDC_HISTORY_PASTED_TO_TOP};
const int kTabButtons[3] = {IDC_REFORM_TAB_2, IDC_REFORM_TAB_4, IDC_REFORM_TAB_8};

// The direction toggles and the conversion boxes whose texts follow them.
const struct {
    int toggle, box;
    const char* direction;
    const char* onOff;
} kDirections[4] = {
    {IDC_REFORM_WIDTH_DIRECTION, IDC_REFORM_WIDTH, "toDBCS", "bDBCS"},
    {IDC_REFORM_CASE_DIRECTION, IDC_REFORM_CASE, "toUPPER", "bUPPER"},
    {IDC_REFORM_COMMA_DIRECTION, IDC_REFORM_COMMA, "toCANMA", "bCANMA"},
    {IDC_REFORM_PERIOD_DIRECTION, IDC_REFORM_PERIOD, "toPERIOD", "bPERIOD"},
};

void SelectOne(HWND page, const int* group, int count, int chosen) {
    for (int k = 0; k < count; ++k) SetChecked(page, group[k], group[k] == chosen);
}

void FillHistoryPage(HWND page) {
    VendorKeyScope store;
    const DWORD invert = ReadValue(kClipTextKey, "bINVERTORDER", 0);
    SetChecked(page, invert ? IDC_HISTORY_FILO : IDC_HISTORY_FIFO, true);
    const int copyOrder = CopyOrderButton(ReadValue(kClipTextKey, "bCOPYORDER", 0));
    if (copyOrder >= 0) SetChecked(page, kCopyOrderButtons[copyOrder], true);
    SetChecked(page, IDC_HISTORY_KEEP, ReadValue(kClipTextKey, "bSAVEBUFFER", 1) != 0);
    SetChecked(page, IDC_HISTORY_AUTO_DELETE, ReadValue(kClipTextKey, "bAUTODELETE", 1) != 0);
    SetChecked(page, IDC_HISTORY_PASTE_DELETE, ReadValue(kClipTextKey, "bPASTEDELETE", 1) != 0);
    SetNumber(page, IDC_HISTORY_LIMIT, ReadValue(kClipTextKey, "BUFFERLIMIT", 20));
    UDACCEL step{0, 10};
    SendDlgItemMessageA(page, IDC_HISTORY_LIMIT_ARROWS, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
    SendDlgItemMessageA(page, IDC_HISTORY_LIMIT_ARROWS, UDM_SETRANGE32, 20, 200);
}

void StoreHistoryPage(HWND page) {
    VendorKeyScope store;
    WriteChecked(page, kClipTextKey, "bINVERTORDER", IDC_HISTORY_FILO);
    SettingsStore::WriteDword(kClipTextKey, "bCOPYORDER", StoredCopyOrder(IsChecked(page, IDC_HISTORY_PASTED_TO_BACK), IsChecked(page, IDC_HISTORY_PASTED_TO_TOP)));
    WriteChecked(page, kClipTextKey, "bSAVEBUFFER", IDC_HISTORY_KEEP);
    WriteChecked(page, kClipTextKey, "bAUTODELETE", IDC_HISTORY_AUTO_DELETE);
    WriteChecked(page, kClipTextKey, "bPASTEDELETE", IDC_HISTORY_PASTE_DELETE);
    SettingsStore::WriteDword(kClipTextKey, "BUFFERLIMIT", StoredInRange(ItemText(page, IDC_HISTORY_LIMIT, 32).c_str(), 20, 200));
}

void ShowDirection(HWND page, int k) {
    SetDlgItemTextA(page, kDirections[k].box, TwoWayCaption(k, IsChecked(page, kDirections[k].toggle)));
}

void FillReformPage(HWND page) {
    VendorKeyScope store;
    for (int k = 0; k < 4; ++k) {
        SetChecked(page, kDirections[k].box, ReadValue(kClipTextKey, kDirections[k].onOff, 0) != 0);
        SetChecked(page, kDirections[k].toggle, ReadValue(kClipTextKey, kDirections[k].direction, 0) != 0);
        ShowDirection(page, k);
        HWND toggle = GetDlgItem(page, kDirections[k].toggle);
        SendMessageA(toggle, WM_SETFONT, reinterpret_cast<WPARAM>(g_gdi.symbolFont), TRUE);
        SetWindowTextA(toggle, "4"); // the right-pointing triangle of the symbol font
        SetWindowPos(toggle, nullptr, 0, 0, 16, 12, SWP_NOMOVE | SWP_NOZORDER);
    }
    SetChecked(page, IDC_REFORM_WRAP, ReadValue(kClipTextKey, "bRETURNSET", 0) != 0);
    SetChecked(page, IDC_REFORM_QUOTE, ReadValue(kClipTextKey, "bQUOTESET", 0) != 0);
    SetChecked(page, IDC_REFORM_KINSOKU, ReadValue(kClipTextKey, "bCORRECT", 0) != 0);
    SetChecked(page, IDC_REFORM_TAGS, ReadValue(kClipTextKey, "bTAGREMOVE", 0) != 0);
    SetNumber(page, IDC_REFORM_COLUMN, ReadValue(kClipTextKey, "ColumnWidth", 60));
    SetChecked(page, IDC_REFORM_SAVE_PANEL, ReadValue(kClipTextKey, "bSAVE", 0) != 0);
    char text[260];
    SettingsStore::ReadString(kClipTextKey, "CorrectFront", kDefaultCorrectFront, text, sizeof text);
    SetDlgItemTextA(page, IDC_REFORM_LINE_START, text);
    SettingsStore::ReadString(kClipTextKey, "CorrectEnd", kDefaultCorrectEnd, text, sizeof text);
    SetDlgItemTextA(page, IDC_REFORM_LINE_END, text);
    const int tab = TabButton(ReadValue(kClipTextKey, "nTab", 4));
    if (tab >= 0) SetChecked(page, kTabButtons[tab], true);
    SetChecked(page, IDC_REFORM_TAB_REPLACE, ReadValue(kClipTextKey, "bTABREPLACE", 0) != 0);
}

void StoreReformPage(HWND page) {
    VendorKeyScope store;
    for (const auto& d : kDirections) WriteChecked(page, kClipTextKey, d.onOff, d.box);
    for (const auto& d : kDirections) WriteChecked(page, kClipTextKey, d.direction, d.toggle);
    WriteChecked(page, kClipTextKey, "bRETURNSET", IDC_REFORM_WRAP);
    WriteChecked(page, kClipTextKey, "bQUOTESET", IDC_REFORM_QUOTE);
    WriteChecked(page, kClipTextKey, "bCORRECT", IDC_REFORM_KINSOKU);
    WriteChecked(page, kClipTextKey, "bTAGREMOVE", IDC_REFORM_TAGS);
    SettingsStore::WriteDword(kClipTextKey, "ColumnWidth", StoredInRange(ItemText(page, IDC_REFORM_COLUMN, 32).c_str(), 20, 256));
    WriteChecked(page, kClipTextKey, "bSAVE", IDC_REFORM_SAVE_PANEL);
    // 260-byte buffers: at most 259 bytes of each string are stored.
    SettingsStore::WriteString(kClipTextKey, "CorrectFront", ItemText(page, IDC_REFORM_LINE_START).c_str());
    SettingsStore::WriteString(kClipTextKey, "CorrectEnd", ItemText(page, IDC_REFORM_LINE_END).c_str());
    SettingsStore::WriteDword(kClipTextKey, "nTab",
                              StoredTab(IsChecked(page, IDC_REFORM_TAB_2), IsChecked(page, IDC_REFORM_TAB_4), IsChecked(page, IDC_REFORM_TAB_8)));
    WriteChecked(page, kClipTextKey, "bTABREPLACE", IDC_REFORM_TAB_REPLACE);
}

} // namespace

INT_PTR CALLBACK HistoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillHistoryPage(page);
    if (IsApply(message, lParam)) StoreHistoryPage(page);
    if (IsClick(message, wParam)) {
        const int id = LOWORD(wParam);
        for (int button : kOrderButtons)
            if (id == button) SelectOne(page, kOrderButtons, 2, id);
        for (int button : kCopyOrderButtons)
            if (id == button) SelectOne(page, kCopyOrderButtons, 3, id);
    }
    return 0;
}

INT_PTR CALLBACK ReformPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillReformPage(page);
    if (IsApply(message, lParam)) StoreReformPage(page);
    if (IsClick(message, wParam))
        for (int k = 0; k < 4; ++k)
            if (LOWORD(wParam) == kDirections[k].toggle) ShowDirection(page, k);
    return 0;
}

} // namespace kst
