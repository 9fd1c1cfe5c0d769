// The registry layer: one program-wide open root under
// HKEY_CURRENT_USER\Software\<vendor>; each read or write opens (creating it
// when missing) and closes its own subkey.
#pragma once

#include <windows.h>

#include <string>

#include "store/setting_table.h"

namespace kst {

class SettingsStore {
  public:
    static int OpenVendorKey(const char* vendor);
    static void CloseVendorKey();
    static DWORD ReadDword(const char* subkey, const char* name, DWORD fallback);
    static int WriteDword(const char* subkey, const char* name, DWORD value);
    static void ReadString(const char* subkey, const char* name, const char* fallback, char* buffer,
                           DWORD size);
    static int WriteString(const char* subkey, const char* name, const char* text);
};

// The table's values as their readers take them; each needs the root open.
DWORD ReadSetting(const Setting& s);
// With the reader's own default where it is not the table's.
DWORD ReadSettingOr(const Setting& s, DWORD ifMissing);
inline bool ReadSwitch(const Setting& s) { return ReadSetting(s) != 0; }
inline bool ReadSwitchOr(const Setting& s, DWORD ifMissing) { return ReadSettingOr(s, ifMissing) != 0; }
int WriteSetting(const Setting& s, DWORD value);
std::string ReadText(const Setting& s);
int WriteText(const Setting& s, const char* text);

// A hotkey as stored as a HotkeyCode; modifiers no row allows take the
// table's default.
UINT ReadHotkey(const setting::Hotkey& hotkey);

// OpenVendorKey with the program's vendor for one scope.
class VendorKeyScope {
  public:
    VendorKeyScope();
    ~VendorKeyScope() { SettingsStore::CloseVendorKey(); }
    VendorKeyScope(const VendorKeyScope&) = delete;
    VendorKeyScope& operator=(const VendorKeyScope&) = delete;
};

} // namespace kst
