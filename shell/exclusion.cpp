// Whether a paste, clear or capture may go to the application in front: not
// to our own windows, not to an excluded executable, not to one that does
// not answer.
#include <string.h>

#include "shell/app_shell.h"
#include "shell/app_texts.h"
#include "reform/char_convert.h"
#include "reform/cp932_path.h"
#include "shell/foreground_app.h"
#include "hook/ksthook.h"

namespace kst {
namespace {

constexpr DWORD kNameMapSize = 512;
constexpr char kNotAnsweringText[] = "プロセスが応答しないため、バッファ操作を完了できません。";

HWND TopWindow(HWND window) {
    for (HWND parent; (parent = GetParent(window)) != nullptr;) window = parent;
    return window;
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

// The hook's answer, for a process the system would not name: the name is
// written from inside the process into shared memory. False when it did not
// come (the library cannot enter, or the application does not answer).
bool HookModulePath(HWND window, std::string& path) {
    NameMap map;
    if (!map.Name()) return false;
    PostMessageA(window, WM_NULL, 0, 0);
    if (!GetForegroundProcessModuleFileName(window)) return false;
    char name[kNameMapSize];
    memcpy(name, map.Name(), sizeof name);
    name[sizeof name - 1] = '\0';
    path = name;
    return true;
}

} // namespace

// The system names the executable of every process, whether the hook library
// could enter it or not, and without a wait; the hook is asked only when the
// system cannot say. An application counts as not answering only when its
// thread really retrieves no messages.
int AppShell::CheckForegroundTarget(HWND window) {
    if (!window) window = GetForegroundWindow();
    if (TopWindow(window) == mainWindow) return 0;
    if (exclusionList.empty()) return 1;
    std::string name;
    if (!IsAnswering(window) || (!SystemModulePath(window, name) && !HookModulePath(window, name))) {
        balloon.Information(kErrorTitle, kNotAnsweringText);
        return 0;
    }
    for (const std::string& excluded : exclusionList)
        if (SamePath(excluded.c_str(), name.c_str())) return 0;
    return 1;
}

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    // A path that fills the buffer was cut: try again with room to spare.
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return "";
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolder() { return ParentFolder(ProgramPath()); }

int ProgramDirectory(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const std::string folder = ProgramFolder();
    const size_t fits = CharBoundaryPrefix(folder.data(), folder.size(), static_cast<size_t>(size) - 1);
    memcpy(buffer, folder.data(), fits);
    buffer[fits] = '\0';
    return 1;
}

} // namespace kst
