// The exclusion page, the other-settings page and the version page.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>

#include "reform/cp932_path.h"
#include "settings/page_controls.h"
#include "settings/page_values.h"
#include "settings/settings_sheet.h"
#include "store/run_entry_win.h"
#include "store/stored_settings.h"

namespace kst {
namespace {

constexpr char kNotAProgramText[] = "パスが有効な実行ファイルではありません";
constexpr char kVersionLine[] = "2000 03/13 Ver1.06";
constexpr char kHelpFileName[] = "kestrane-help.html";
constexpr char kStartUpNotWrittenText[] = "Windows の起動時に起動する設定を変更できませんでした";

void FillExclusionPage(HWND page) {
    SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_SETHORIZONTALEXTENT, 600, 0);
    VendorKeyScope store;
    for (const std::string& path : ReadExclusions())
        SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

void StoreExclusionPage(HWND page) {
    const int count = static_cast<int>(SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_GETCOUNT, 0, 0));
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        char path[260] = "";
        if (SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_GETTEXTLEN, i, 0) < (LRESULT)sizeof path)
            SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(path));
        paths.emplace_back(path);
    }
    VendorKeyScope store;
    WriteExclusions(paths);
}

// The system's open-file dialog, starting in the folder of what is typed.
void BrowseForProgram(HWND page) {
    const std::string folder = ParentFolder(ItemText(page, IDC_EXCLUSION_PATH));
    char file[260] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = page;
    ofn.lpstrFilter = "実行ファイル (.exe)\0*.exe\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = "除外する実行ファイルの指定";
    ofn.lpstrDefExt = "exe";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(page, IDC_EXCLUSION_PATH, file);
}

void AddProgram(HWND page) {
    const std::string path = ItemText(page, IDC_EXCLUSION_PATH);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        MessageBoxA(page, kNotAProgramText, "kestrane", MB_ICONINFORMATION | MB_OK);
        return;
    }
    SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

void DeleteProgram(HWND page) {
    const int selected = static_cast<int>(SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_GETCOUNT, 0, 0));
    if (selected < 0) return;
    SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_DELETESTRING, selected, 0);
    SendDlgItemMessageA(page, IDC_EXCLUSION_LIST, LB_SETCURSEL, SelectionAfterDelete(count, selected), 0);
}

void EnableFileOptions(HWND page, bool enable) {
    EnableWindow(GetDlgItem(page, IDC_OTHER_PATHS_TO_CLIPBOARD), enable);
    EnableWindow(GetDlgItem(page, IDC_OTHER_FILE_NAMES_ONLY), enable);
}

void FillOtherPage(HWND page) {
    VendorKeyScope store;
    SetChecked(page, IDC_OTHER_PALETTE, ReadSwitchOr(setting::kUsePalette, 1));
    SetChecked(page, IDC_OTHER_NO_POPUP_FOR_ONE, ReadSwitch(setting::kNoPopupForOne));
    SetChecked(page, IDC_OTHER_COPY_KEYS_ONLY, ReadSwitch(setting::kCopyKeysOnly));
    SetChecked(page, IDC_OTHER_LONG_LIST, ReadSwitch(setting::kLongList));
    const FilePathBoxes boxes = FilePathShown(ReadSetting(setting::kFilePath));
    SetChecked(page, IDC_OTHER_FILE_PATHS, boxes.record);
    SetChecked(page, IDC_OTHER_PATHS_TO_CLIPBOARD, boxes.toClipboard);
    SetChecked(page, IDC_OTHER_FILE_NAMES_ONLY, boxes.nameOnly);
    EnableFileOptions(page, boxes.dependentsEnabled);
    SetChecked(page, IDC_OTHER_START_WITH_WINDOWS, RunEntryNames(SettingsSheet::ProgramPath()));
}

// The start-up entry changes only when the box does: an entry of another
// copy of the program stays unless this box is switched off.
void StoreStartUp(HWND page) {
    const bool wanted = IsChecked(page, IDC_OTHER_START_WITH_WINDOWS);
    const std::string& program = SettingsSheet::ProgramPath();
    if (wanted == RunEntryNames(program)) return;
    const int done = wanted ? WriteRunValue(program) : RemoveRunValue();
    if (!done) MessageBoxA(page, kStartUpNotWrittenText, "kestrane", MB_ICONWARNING | MB_OK);
}

void StoreOtherPage(HWND page) {
    VendorKeyScope store;
    WriteChecked(page, setting::kUsePalette, IDC_OTHER_PALETTE);
    WriteChecked(page, setting::kNoPopupForOne, IDC_OTHER_NO_POPUP_FOR_ONE);
    WriteChecked(page, setting::kCopyKeysOnly, IDC_OTHER_COPY_KEYS_ONLY);
    WriteChecked(page, setting::kLongList, IDC_OTHER_LONG_LIST);
    WriteSetting(setting::kFilePath,
                              StoredFilePath(IsChecked(page, IDC_OTHER_FILE_PATHS), IsChecked(page, IDC_OTHER_PATHS_TO_CLIPBOARD), IsChecked(page, IDC_OTHER_FILE_NAMES_ONLY)));
    StoreStartUp(page);
}

// The help document beside the program, opened as the shell opens it.
void OpenHelp() {
    const std::string path = ParentFolder(SettingsSheet::ProgramPath()) + kHelpFileName;
    ShellExecuteA(FindWindowA("Shell_TrayWnd", nullptr), nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace

INT_PTR CALLBACK ExclusionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillExclusionPage(page);
    if (IsApply(message, lParam)) StoreExclusionPage(page);
    if (IsClick(message, wParam)) {
        switch (LOWORD(wParam)) {
        case IDC_EXCLUSION_BROWSE:
            BrowseForProgram(page);
            break;
        case IDC_EXCLUSION_ADD:
            AddProgram(page);
            break;
        case IDC_EXCLUSION_DELETE:
            DeleteProgram(page);
            break;
        }
    }
    return 0;
}

INT_PTR CALLBACK OtherPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillOtherPage(page);
    if (IsApply(message, lParam)) StoreOtherPage(page);
    if (IsClick(message, wParam) && LOWORD(wParam) == IDC_OTHER_FILE_PATHS) EnableFileOptions(page, IsChecked(page, IDC_OTHER_FILE_PATHS));
    return 0;
}

INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) SetDlgItemTextA(page, IDC_VERSION_LINE, kVersionLine);
    if (IsClick(message, wParam) && LOWORD(wParam) == IDC_VERSION_HELP) OpenHelp();
    return 0;
}

} // namespace kst
