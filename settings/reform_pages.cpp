// The history page and the text reformatting page.
#include "settings/page_controls.h"
#include "settings/page_values.h"
#include "reform/conversion_captions.h"
#include "reform/reform_flags.h"
#include "settings/settings_sheet.h"
#include "ui/shared_gdi.h"

namespace kst {
namespace {

const int kOrderButtons[2] = {1040, 1028};
const int kCopyOrderButtons[3] = {1065, 1041, 1067};
const int kTabButtons[3] = {1027, 1029, 1034};

// The direction toggles and the conversion boxes whose texts follow them.
const struct {
    int toggle, box;
    const char* direction;
    const char* onOff;
} kDirections[4] = {
    {1049, 1053, "toDBCS", "bDBCS"},
    {1050, 1002, "toUPPER", "bUPPER"},
    {1051, 1006, "toCANMA", "bCANMA"},
    {1052, 1009, "toPERIOD", "bPERIOD"},
};

void SelectOne(HWND page, const int* group, int count, int chosen) {
    for (int k = 0; k < count; ++k) SetChecked(page, group[k], group[k] == chosen);
}

void FillHistoryPage(HWND page) {
    VendorKeyScope store;
    const DWORD invert = ReadValue(kClipTextKey, "bINVERTORDER", 0);
    SetChecked(page, invert ? 1028 : 1040, true);
    const int copyOrder = CopyOrderButton(ReadValue(kClipTextKey, "bCOPYORDER", 0));
    if (copyOrder >= 0) SetChecked(page, kCopyOrderButtons[copyOrder], true);
    SetChecked(page, 1043, ReadValue(kClipTextKey, "bSAVEBUFFER", 1) != 0);
    SetChecked(page, 1044, ReadValue(kClipTextKey, "bAUTODELETE", 1) != 0);
    SetChecked(page, 1001, ReadValue(kClipTextKey, "bPASTEDELETE", 1) != 0);
    SetNumber(page, 1042, ReadValue(kClipTextKey, "BUFFERLIMIT", 20));
    UDACCEL step{0, 10};
    SendDlgItemMessageA(page, 1029, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
    SendDlgItemMessageA(page, 1029, UDM_SETRANGE32, 20, 200);
}

void StoreHistoryPage(HWND page) {
    VendorKeyScope store;
    WriteChecked(page, kClipTextKey, "bINVERTORDER", 1028);
    SettingsStore::WriteDword(kClipTextKey, "bCOPYORDER", StoredCopyOrder(IsChecked(page, 1041), IsChecked(page, 1067)));
    WriteChecked(page, kClipTextKey, "bSAVEBUFFER", 1043);
    WriteChecked(page, kClipTextKey, "bAUTODELETE", 1044);
    WriteChecked(page, kClipTextKey, "bPASTEDELETE", 1001);
    SettingsStore::WriteDword(kClipTextKey, "BUFFERLIMIT", StoredInRange(ItemText(page, 1042, 32).c_str(), 20, 200));
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
    SetChecked(page, 1003, ReadValue(kClipTextKey, "bRETURNSET", 0) != 0);
    SetChecked(page, 1004, ReadValue(kClipTextKey, "bQUOTESET", 0) != 0);
    SetChecked(page, 1007, ReadValue(kClipTextKey, "bCORRECT", 0) != 0);
    SetChecked(page, 1008, ReadValue(kClipTextKey, "bTAGREMOVE", 0) != 0);
    SetNumber(page, 1054, ReadValue(kClipTextKey, "ColumnWidth", 60));
    SetChecked(page, 1055, ReadValue(kClipTextKey, "bSAVE", 0) != 0);
    char text[260];
    SettingsStore::ReadString(kClipTextKey, "CorrectFront", kDefaultCorrectFront, text, sizeof text);
    SetDlgItemTextA(page, 1032, text);
    SettingsStore::ReadString(kClipTextKey, "CorrectEnd", kDefaultCorrectEnd, text, sizeof text);
    SetDlgItemTextA(page, 1033, text);
    const int tab = TabButton(ReadValue(kClipTextKey, "nTab", 4));
    if (tab >= 0) SetChecked(page, kTabButtons[tab], true);
    SetChecked(page, 1013, ReadValue(kClipTextKey, "bTABREPLACE", 0) != 0);
}

void StoreReformPage(HWND page) {
    VendorKeyScope store;
    for (const auto& d : kDirections) WriteChecked(page, kClipTextKey, d.onOff, d.box);
    for (const auto& d : kDirections) WriteChecked(page, kClipTextKey, d.direction, d.toggle);
    WriteChecked(page, kClipTextKey, "bRETURNSET", 1003);
    WriteChecked(page, kClipTextKey, "bQUOTESET", 1004);
    WriteChecked(page, kClipTextKey, "bCORRECT", 1007);
    WriteChecked(page, kClipTextKey, "bTAGREMOVE", 1008);
    SettingsStore::WriteDword(kClipTextKey, "ColumnWidth", StoredInRange(ItemText(page, 1054, 32).c_str(), 20, 256));
    WriteChecked(page, kClipTextKey, "bSAVE", 1055);
    // 260-byte buffers: at most 259 bytes of each string are stored.
    SettingsStore::WriteString(kClipTextKey, "CorrectFront", ItemText(page, 1032).c_str());
    SettingsStore::WriteString(kClipTextKey, "CorrectEnd", ItemText(page, 1033).c_str());
    SettingsStore::WriteDword(kClipTextKey, "nTab",
                              StoredTab(IsChecked(page, 1027), IsChecked(page, 1029), IsChecked(page, 1034)));
    WriteChecked(page, kClipTextKey, "bTABREPLACE", 1013);
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
