#include "store/run_entry_win.h"

#include <windows.h>

#include "store/run_entry.h"

namespace kst {
namespace {

// The key for one action, closed on leaving.
class RunKey {
  public:
    explicit RunKey(REGSAM access) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RunKey() {
        if (key_) RegCloseKey(key_);
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

} // namespace

bool ReadRunValue(std::string& value) {
    RunKey key(KEY_QUERY_VALUE);
    if (!key.Get()) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.Get(), kRunValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > 32 * 1024) return false;
    std::string read(size + 1, '\0');
    if (RegQueryValueExA(key.Get(), kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(&read[0]), &size) !=
        ERROR_SUCCESS)
        return false;
    read.resize(strnlen(read.c_str(), size));
    value = read;
    return true;
}

int WriteRunValue(const std::string& programPath) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return 0;
    const std::string value = RunValueFor(programPath);
    const LONG result = RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

int RemoveRunValue() {
    RunKey key(KEY_SET_VALUE);
    if (!key.Get()) return 1;
    const LONG result = RegDeleteValueA(key.Get(), kRunValueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? 1 : 0;
}

bool RunEntryNames(const std::string& programPath) {
    std::string value;
    return ReadRunValue(value) && RunValueNames(value, programPath);
}

void FollowProgramToItsPlace(const std::string& programPath) {
    std::string value;
    const bool present = ReadRunValue(value);
    if (RunValueNeedsUpdate(present, value, programPath)) WriteRunValue(programPath);
}

} // namespace kst
