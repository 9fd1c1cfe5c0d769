#include "tests/win/app_bench.h"

#include <stdio.h>

namespace bench {

namespace {
constexpr char kVendorPath[] = "Software\\Orvandel";

std::string KeyPath(const char* subkey) { return subkey ? std::string(kVendorPath) + "\\" + subkey : kVendorPath; }

bool CopyBeside(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }
} // namespace

AppCopy::AppCopy(const std::string& folderTag, const std::string& programName) : program_(programName) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    char name[64];
    snprintf(name, sizeof name, "-%lu-%d\\", GetCurrentProcessId(), ++serial);
    folder_ = std::string(temp) + folderTag + name;
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const auto& file : {std::make_pair(std::string("kestrane.exe"), program_),
                             std::make_pair(std::string("ksthook.dll"), std::string("ksthook.dll")),
                             std::make_pair(std::string("kestrane-help.html"), std::string("kestrane-help.html"))})
        if (!CopyBeside(ExeDirectory() + file.first, folder_ + file.second) && !copyError_) copyError_ = GetLastError();
    // Search's dictionary, in its folder as the zips have it.
    CreateDirectoryA((folder_ + "dict").c_str(), nullptr);
    if (!CopyBeside(ExeDirectory() + kDictionaryFile, folder_ + kDictionaryFile) && !copyError_) copyError_ = GetLastError();
}

void AppCopy::RemoveDictionary() const {
    DeleteFileA((folder_ + kDictionaryFile).c_str());
    RemoveDirectoryA((folder_ + "dict").c_str());
}

AppCopy::~AppCopy() {
    for (const std::string& file : {program_, std::string("ksthook.dll"), std::string("kestrane-help.html"),
                                     std::string("clipbuf.dat"), std::string("clipbuf.dat.tmp"),
                                     std::string("clipbuf.dat.utf16"), std::string("clipbuf.dat.utf16.tmp"),
                                     std::string("clipbuf.dat.locked"), std::string("clipbuf.dat.utf16.locked")})
        DeleteFileA((folder_ + file).c_str());
    RemoveDictionary();
    RemoveDirectoryA(folder_.c_str());
}

bool App::Start() { return process_.Start("\"" + copy_.Folder() + copy_.Program() + "\""); }

std::string App::StartProblem() const {
    const std::string program = copy_.Folder() + copy_.Program();
    return "error " + std::to_string(process_.StartError()) + " starting " + program +
           (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES ? " (no such file)" : "") +
           (copy_.CopyError() ? ", error " + std::to_string(copy_.CopyError()) + " copying it" : "");
}

HWND FindWindowOfProcess(const char* className, DWORD processId) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (owner == processId) return found;
    }
    return nullptr;
}

HWND WaitForVisibleWindowOf(const char* className, DWORD processId, DWORD timeoutMs) {
    HWND window = nullptr;
    PumpUntil([&] {
        window = FindWindowOfProcess(className, processId);
        return window && IsWindowVisible(window);
    }, timeoutMs);
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND App::WaitForMainWindow(DWORD timeoutMs) {
    PumpUntil([&] { return (main_ = FindWindowOfProcess("KestraneMain", Id())) != nullptr; }, timeoutMs);
    return main_;
}

HWND App::Find(const char* className) const { return FindWindowOfProcess(className, Id()); }

HWND App::WaitForVisible(const char* className, DWORD timeoutMs) const {
    return WaitForVisibleWindowOf(className, Id(), timeoutMs);
}

DWORD App::Close() {
    if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    return WaitExit();
}

void App::Kill() {
    TerminateProcess(process_.Handle(), 9);
    WaitForSingleObject(process_.Handle(), 10000);
}

ProgramHookBlock::~ProgramHookBlock() { Release(); }

void ProgramHookBlock::Release() {
    if (control_) UnmapViewOfFile(control_);
    if (mapping_) CloseHandle(mapping_);
    if (module_) FreeLibrary(module_);
    control_ = nullptr;
    exchange_ = nullptr;
    mapping_ = nullptr;
    module_ = nullptr;
}

// The exchange block is the library's shared section; the control block is
// the mapping named after the library's path, as the loader spells it.
bool ProgramHookBlock::Open(const AppCopy& copy, HWND mainWindow) {
    Release();
    const std::string path = copy.Folder() + "ksthook.dll";
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module_) return false;
    auto* base = reinterpret_cast<BYTE*>(module_);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD k = 0; k < nt->FileHeader.NumberOfSections; ++k, ++section)
        if (memcmp(section->Name, ".shared", 7) == 0 && section->Misc.VirtualSize >= sizeof(kst::HookExchange))
            exchange_ = reinterpret_cast<kst::HookExchange*>(base + section->VirtualAddress);
    wchar_t loaded[MAX_PATH] = L"";
    GetModuleFileNameW(module_, loaded, MAX_PATH);
    char name[kst::kControlNameSize];
    kst::ControlMappingName(reinterpret_cast<const char16_t*>(loaded), name);
    mapping_ = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE | READ_CONTROL, FALSE, name);
    if (mapping_) control_ = static_cast<kst::HookControlBlock*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0));
    const bool found = exchange_ && control_ &&
                       control_->mainWindow == static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(mainWindow));
    if (!found) Release();
    return found;
}

static std::string TextOf(HWND window) { return WindowText(window); }

MessageBoxSeen TakeMessageBox(DWORD processId, DWORD timeoutMs) {
    MessageBoxSeen seen;
    PumpUntil([&] { return (seen.window = FindWindowOfProcess("#32770", processId)) != nullptr; }, timeoutMs);
    if (!seen.window) return seen;
    PumpFor(200); // let it finish laying itself out
    seen.caption = TextOf(seen.window);
    seen.text = TextOf(GetDlgItem(seen.window, 0xFFFF));
    PostMessageA(seen.window, WM_COMMAND, IDOK, 0);
    PumpUntil([&] { return !IsWindow(seen.window); }, 5000);
    return seen;
}

bool MessageBoxAppears(DWORD processId, DWORD timeoutMs) {
    return PumpUntil([&] { return FindWindowOfProcess("#32770", processId) != nullptr; }, timeoutMs);
}

void DeleteVendorKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kVendorPath); }

void SetRaw(const char* subkey, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetDword(const char* subkey, const char* name, DWORD value) { SetRaw(subkey, name, REG_DWORD, &value, 4); }

static bool Query(const char* subkey, const char* name, DWORD& type, std::vector<BYTE>& data) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool ok = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    data.resize(size);
    ok = ok && RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool GetDword(const char* subkey, const char* name, DWORD& value) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!Query(subkey, name, type, data) || type != REG_DWORD || data.size() != 4) return false;
    memcpy(&value, data.data(), 4);
    return true;
}

bool GetString(const char* subkey, const char* name, std::string& value) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!Query(subkey, name, type, data) || type != REG_SZ) return false;
    value.assign(data.begin(), data.end());
    while (!value.empty() && value.back() == '\0') value.pop_back();
    return true;
}

bool ValueExists(const char* subkey, const char* name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    return Query(subkey, name, type, data);
}

void DeleteValue(const char* subkey, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

namespace {
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";
} // namespace

DisplayDpi::DisplayDpi(DWORD dpi) {
    DWORD size = sizeof old_;
    had_ = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
           ERROR_SUCCESS;
    RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof dpi);
}

DisplayDpi::~DisplayDpi() {
    if (had_)
        RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &old_, sizeof old_);
    else
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
}

std::vector<kst::HistoryRecord> HistoryRecordsIn(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    return kst::DecodeHistoryFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::vector<std::string> HistoryTextsIn(const std::string& path) {
    std::vector<std::string> texts;
    for (const auto& r : HistoryRecordsIn(path)) texts.push_back(r.text);
    return texts;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

} // namespace bench
