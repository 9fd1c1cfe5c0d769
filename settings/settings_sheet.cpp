#include "settings/settings_sheet.h"

#include <stdio.h>

#include <vector>

#include "settings/page_controls.h"
#include "settings/page_values.h"
#include "resources/resource_ids.h"

namespace kst {
namespace {

constexpr int kLastKeyId = IDS_KEY_NAME_BASE + 226;

// The page shows a missing stop key's modifiers as both, as the first start
// writes them.
struct KeyRow {
    int modifierList, keyList;
    const setting::Hotkey& hotkey;
    DWORD modifierShownIfMissing;
};
// The order in which the rows are stored.
const KeyRow kKeyRows[4] = {
    {IDC_KEYS_POPUP_MODIFIERS, IDC_KEYS_POPUP_KEY, setting::kPopupHotkey, setting::kPopupKeyWith.ifMissing},
    {IDC_KEYS_CLEAR_MODIFIERS, IDC_KEYS_CLEAR_KEY, setting::kClearHotkey, setting::kClearKeyWith.ifMissing},
    {IDC_KEYS_STOP_MODIFIERS, IDC_KEYS_STOP_KEY, setting::kStopHotkey, setting::kStopKeyWith.firstRun},
    {IDC_KEYS_SIMPLE_PASTE_MODIFIERS, IDC_KEYS_SIMPLE_PASTE_KEY, setting::kSimplePasteHotkey,
     setting::kSimplePasteKeyWith.ifMissing},
};

std::vector<KeyName> LoadKeyNames(HINSTANCE instance) {
    std::vector<KeyName> names;
    for (int id = IDS_KEY_NAME_BASE; id <= kLastKeyId; ++id) {
        char name[32];
        if (LoadStringA(instance, id, name, sizeof name) > 0) names.push_back({id - IDS_KEY_NAME_BASE, name});
    }
    return names;
}

void CentreOnScreen(HWND sheet) {
    RECT r;
    GetWindowRect(sheet, &r);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void FillKeysPage(HWND page) {
    CentreOnScreen(GetParent(page));
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
    const std::vector<KeyName> names = LoadKeyNames(instance);
    for (const KeyRow& row : kKeyRows) {
        for (const KeyName& k : names) SendDlgItemMessageA(page, row.keyList, CB_ADDSTRING, 0, (LPARAM)k.name.c_str());
        for (int m = 1; m <= 3; ++m) {
            char name[32] = "";
            LoadStringA(instance, IDS_MODIFIER_NAME_BASE + m, name, sizeof name);
            SendDlgItemMessageA(page, row.modifierList, CB_ADDSTRING, 0, (LPARAM)name);
        }
    }
    VendorKeyScope store;
    for (const KeyRow& row : kKeyRows) {
        // A value no item shows leaves the list without a selection.
        const DWORD modifier = ReadSettingOr(row.hotkey.with, row.modifierShownIfMissing);
        SendDlgItemMessageA(page, row.modifierList, CB_SETCURSEL, modifier >= 1 && modifier <= 3 ? modifier - 1 : -1, 0);
        const int key = static_cast<int>(ReadSetting(row.hotkey.key));
        SendDlgItemMessageA(page, row.keyList, CB_SETCURSEL, RowOfKeyCode(names, key), 0);
    }
    SetChecked(page, IDC_KEYS_AUTO_CAPTURE, ReadSwitch(setting::kAutoCapture));
}

std::string SelectedText(HWND page, int list) {
    const LRESULT row = SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0);
    char text[64] = "";
    if (row != CB_ERR && SendDlgItemMessageA(page, list, CB_GETLBTEXTLEN, row, 0) < (LRESULT)sizeof text)
        SendDlgItemMessageA(page, list, CB_GETLBTEXT, row, (LPARAM)text);
    return text;
}

// A list without a selection keeps its stored value.
void StoreKeysPage(HWND page) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
    const std::vector<KeyName> names = LoadKeyNames(instance);
    VendorKeyScope store;
    for (const KeyRow& row : kKeyRows) {
        const int code = KeyCodeOfName(names, SelectedText(page, row.keyList));
        if (code >= 0) WriteSetting(row.hotkey.key, static_cast<DWORD>(code));
    }
    for (const KeyRow& row : kKeyRows) {
        const LRESULT index = SendDlgItemMessageA(page, row.modifierList, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) WriteSetting(row.hotkey.with, static_cast<DWORD>(index + 1));
    }
    WriteChecked(page, setting::kAutoCapture, IDC_KEYS_AUTO_CAPTURE);
}

} // namespace

INT_PTR CALLBACK KeysPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillKeysPage(page);
    if (IsApply(message, lParam)) StoreKeysPage(page);
    return 0;
}

bool SettingsSheet::applied = false;
std::string SettingsSheet::programPath_;

// A sheet confirmed with OK, whatever the system's result says: a sheet
// whose pages never reported a change returns 0 on OK under Wine.
INT_PTR SettingsSheet::Display(HINSTANCE programInstance, HWND parentWindow, const std::string& programPath) {
    if (isOpen) return 0;
    programPath_ = programPath;
    instance = programInstance;
    parent = parentWindow;
    const struct {
        int templateId;
        const char* title;
        DLGPROC procedure;
    } pages[6] = {
        {IDD_PAGE_KEYS, "基本設定", KeysPageProc},       {IDD_PAGE_HISTORY, "履歴", HistoryPageProc},
        {IDD_PAGE_REFORM, "テキスト整形", ReformPageProc}, {IDD_PAGE_EXCLUSION, "除外", ExclusionPageProc},
        {IDD_PAGE_OTHER, "その他の設定", OtherPageProc},   {IDD_PAGE_VERSION, "バージョン情報", VersionPageProc},
    };
    PROPSHEETPAGEA sheetPages[6] = {};
    for (int k = 0; k < 6; ++k) {
        sheetPages[k].dwSize = sizeof sheetPages[k];
        sheetPages[k].dwFlags = PSP_USETITLE;
        sheetPages[k].hInstance = instance;
        sheetPages[k].pszTemplate = MAKEINTRESOURCEA(pages[k].templateId);
        sheetPages[k].pfnDlgProc = pages[k].procedure;
        sheetPages[k].pszTitle = pages[k].title;
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_PROPTITLE | PSH_NOAPPLYNOW;
    header.hwndParent = parent;
    header.hInstance = instance;
    header.pszCaption = "Kestrane";
    header.nPages = 6;
    header.nStartPage = 0;
    header.ppsp = sheetPages;
    isOpen = 1;
    applied = false;
    const INT_PTR result = PropertySheetA(&header);
    isOpen = 0;
    return result != 0 ? result : (applied ? 1 : 0);
}

} // namespace kst
