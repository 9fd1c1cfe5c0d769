// The registry layer: one program-wide open root under
// HKEY_CURRENT_USER\Software\<vendor>; each read or write opens (creating it
// when missing) and closes its own subkey.
#pragma once

#include <windows.h>

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

// A hotkey as stored (key and modifiers under "kestrane") as a HotkeyCode;
// needs the root open.
UINT ReadHotkey(const char* keyName, DWORD defaultKey, const char* withName, DWORD defaultWith);

// OpenVendorKey with the program's vendor for one scope.
class VendorKeyScope {
  public:
    VendorKeyScope();
    ~VendorKeyScope() { SettingsStore::CloseVendorKey(); }
    VendorKeyScope(const VendorKeyScope&) = delete;
    VendorKeyScope& operator=(const VendorKeyScope&) = delete;
};

} // namespace kst
