// Whether a paste, clear or capture may go to the application in front: not
// to our own windows, not to an excluded executable, not to one that does
// not answer.
#include <string.h>

#include "app_shell.h"
#include "app_texts.h"
#include "ksthook.h"

namespace kst {
namespace {

constexpr DWORD kNameMapSize = 512;
constexpr char kNotAnsweringText[] = "プロセスが応答しないため、バッファ操作を完了できません。";

HWND TopWindow(HWND window) {
    for (HWND parent; (parent = GetParent(window)) != nullptr;) window = parent;
    return window;
}

// Equal but for the case of the ASCII letters.
bool SameFileName(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'a' && x <= 'z') x -= 0x20;
        if (y >= 'a' && y <= 'z') y -= 0x20;
        if (x != y) return false;
        if (!x) return true;
    }
}

// The shared memory the hooked process writes its module name into.
class NameMap {
  public:
    NameMap() {
        map_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kNameMapSize,
                                  KST_MAP_MODULE_FILE_NAME);
        view_ = map_ ? static_cast<char*>(MapViewOfFile(map_, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
        if (view_) view_[0] = '\0';
    }
    ~NameMap() {
        if (view_) UnmapViewOfFile(view_);
        if (map_) CloseHandle(map_);
    }
    NameMap(const NameMap&) = delete;
    NameMap& operator=(const NameMap&) = delete;
    const char* Name() const { return view_; }

  private:
    HANDLE map_ = nullptr;
    char* view_ = nullptr;
};

} // namespace

int AppShell::CheckForegroundTarget(HWND window) {
    if (!window) window = GetForegroundWindow();
    if (TopWindow(window) == mainWindow) return 0;
    if (exclusionList.empty()) return 1;
    NameMap map;
    // Without the shared memory the application cannot be told apart from an
    // excluded one: the operation is refused, as for one that does not answer.
    if (!map.Name()) {
        balloon.Information(kErrorTitle, kNotAnsweringText);
        return 0;
    }
    PostMessageA(window, WM_NULL, 0, 0);
    if (!GetForegroundProcessModuleFileName(window)) {
        balloon.Information(kErrorTitle, kNotAnsweringText);
        return 0;
    }
    char name[kNameMapSize];
    memcpy(name, map.Name(), sizeof name);
    name[sizeof name - 1] = '\0';
    for (const std::string& excluded : exclusionList)
        if (SameFileName(excluded.c_str(), name)) return 0;
    return 1;
}

int ProgramDirectory(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    buffer[length < static_cast<DWORD>(size) ? length : size - 1] = '\0';
    if (char* slash = strrchr(buffer, '\\')) slash[1] = '\0';
    return 1;
}

} // namespace kst
