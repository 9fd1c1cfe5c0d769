// Small helpers the page procedures share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/resource_ids.h"
#include "store/settings_model.h"
#include "settings/settings_sheet.h"
#include "store/settings_store.h"

namespace kst {

inline void SetChecked(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }
inline bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
inline void WriteChecked(HWND page, const Setting& setting, int id) { WriteSetting(setting, IsChecked(page, id) ? 1 : 0); }
inline bool IsApply(UINT message, LPARAM lParam) {
    const bool apply =
        message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY);
    if (apply) SettingsSheet::NoteApplied();
    return apply;
}
inline bool IsClick(UINT message, WPARAM wParam) { return message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED; }
inline std::string ItemText(HWND page, int id, int size = 260) {
    std::string text(static_cast<size_t>(size), '\0');
    const UINT length = GetDlgItemTextA(page, id, &text[0], size);
    text.resize(length);
    return text;
}
inline void SetNumber(HWND page, int id, DWORD value) { SetDlgItemInt(page, id, value, FALSE); }

} // namespace kst
