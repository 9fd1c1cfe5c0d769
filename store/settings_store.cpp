#include "store/settings_store.h"

#include <stdio.h>
#include <string.h>

#include "hook/hook_shared.h"
#include "store/settings_model.h"

namespace kst {
namespace {

HKEY g_root = nullptr;

// A subkey opened for one read or write, created when missing; null names
// the root itself.
class Subkey {
  public:
    explicit Subkey(const char* name) {
        if (!g_root) return;
        if (!name) {
            key_ = g_root;
            return;
        }
        if (RegCreateKeyExA(g_root, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
        owned_ = key_ != nullptr;
    }
    ~Subkey() {
        if (owned_) RegCloseKey(key_);
    }
    Subkey(const Subkey&) = delete;
    Subkey& operator=(const Subkey&) = delete;
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
    bool owned_ = false;
};

} // namespace

int SettingsStore::OpenVendorKey(const char* vendor) {
    if (g_root) {
        MessageBeep(0);
        return 0;
    }
    char path[260];
    snprintf(path, sizeof path, "Software\\%s", vendor);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &g_root, nullptr) != ERROR_SUCCESS)
        g_root = nullptr;
    return g_root ? 1 : 0;
}

void SettingsStore::CloseVendorKey() {
    if (g_root) RegCloseKey(g_root);
    g_root = nullptr;
}

// At most four bytes are read; a larger value is unreadable. A text is no
// number: reading its bytes as one would give nonsense, so it counts as
// unreadable too.
DWORD SettingsStore::ReadDword(const char* subkey, const char* name, DWORD fallback) {
    Subkey key(subkey);
    if (!key.Get()) return fallback;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return fallback;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) return fallback;
    return value;
}

int SettingsStore::WriteDword(const char* subkey, const char* name, DWORD value) {
    Subkey key(subkey);
    return key.Get() && RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                       sizeof value) == ERROR_SUCCESS;
}

// Anything but a string that fits with its terminating zero leaves the
// fallback in the buffer.
void SettingsStore::ReadString(const char* subkey, const char* name, const char* fallback, char* buffer,
                               DWORD size) {
    if (!buffer || size == 0) return;
    Subkey key(subkey);
    DWORD type = 0, stored = size;
    if (key.Get() &&
        RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &stored) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && memchr(buffer, 0, stored) != nullptr)
        return;
    snprintf(buffer, size, "%s", fallback ? fallback : "");
}

int SettingsStore::WriteString(const char* subkey, const char* name, const char* text) {
    Subkey key(subkey);
    return key.Get() && RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                       static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
}

DWORD ReadSettingOr(const Setting& s, DWORD ifMissing) {
    return HeldToRange(s, SettingsStore::ReadDword(s.subkey, s.name, ifMissing));
}

DWORD ReadSetting(const Setting& s) { return ReadSettingOr(s, s.ifMissing); }

int WriteSetting(const Setting& s, DWORD value) { return SettingsStore::WriteDword(s.subkey, s.name, value); }

// A 260-byte buffer: what the settings sheet stores fits.
std::string ReadText(const Setting& s) {
    char text[260];
    SettingsStore::ReadString(s.subkey, s.name, s.text, text, sizeof text);
    return text;
}

int WriteText(const Setting& s, const char* text) { return SettingsStore::WriteString(s.subkey, s.name, text); }

UINT ReadHotkey(const setting::Hotkey& hotkey) {
    const DWORD with = ReadSetting(hotkey.with);
    const DWORD key = ReadSetting(hotkey.key);
    return HotkeyFromStored(key, with, hotkey.with.ifMissing);
}

VendorKeyScope::VendorKeyScope() { SettingsStore::OpenVendorKey(kVendorName); }

} // namespace kst
