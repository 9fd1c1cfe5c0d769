// Running the real kestrane.exe for end-to-end tests: each run in a folder of
// its own (the history file lives beside the program), with the registry
// reached through the real API.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/bench.h"
#include "history/history_file.h"
#include "hook/hook_shared.h"

namespace bench {

// A copy of the program and its hook library in a fresh folder, its name
// beginning with the tag; the program under the given name.
class AppCopy {
  public:
    explicit AppCopy(const std::string& folderTag = "kst-app", const std::string& programName = "kestrane.exe");
    ~AppCopy();
    AppCopy(const AppCopy&) = delete;
    AppCopy& operator=(const AppCopy&) = delete;
    const std::string& Folder() const { return folder_; }
    const std::string& Program() const { return program_; }
    std::string HistoryFile() const { return folder_ + "clipbuf.dat"; }
    DWORD CopyError() const { return copyError_; } // the first file that could not be copied
    // The program without its dictionary folder, as when copied alone.
    void RemoveDictionary() const;
    static constexpr char kDictionaryFile[] = "dict\\migemo-dict";

  private:
    std::string folder_;
    std::string program_;
    DWORD copyError_ = 0;
};

// The program's own windows, by class.
constexpr char kPopupClass[] = "Injected_KestranePaste";
constexpr char kBalloonClass[] = "Injected_KestraneTooltip";
constexpr char kProgressClass[] = "Injected_KestraneProgress";

// One running kestrane.exe.
class App {
  public:
    explicit App(const AppCopy& copy) : copy_(copy) {}
    bool Start();
    // The hidden main window; null when it did not come.
    HWND WaitForMainWindow(DWORD timeoutMs = 15000);
    // Ends it the way the tray menu's exit does, and waits for the exit code.
    DWORD Close();
    // Ends it with no chance to clean up, as a crash or a power cut would.
    void Kill();
    DWORD WaitExit(DWORD timeoutMs = 15000) { return process_.WaitExitCode(timeoutMs); }
    DWORD Id() const { return process_.Id(); }
    HWND MainWindow() const { return main_; }
    // Why Start failed: the system's error, and whether the program file is there.
    std::string StartProblem() const;
    // One of its windows of the class, shown or not; null when there is none.
    HWND Find(const char* className) const;
    // One shown within the time; null when none came.
    HWND WaitForVisible(const char* className, DWORD timeoutMs) const;

  private:
    const AppCopy& copy_;
    ChildProcess process_;
    HWND main_ = nullptr;
};

// The program's own hook library, loaded here from the program's folder: its
// shared block is the one the hooks in every application read, so a test can
// see the key mode and put the block in states that are hard to reach by hand.
class ProgramHookBlock {
  public:
    ProgramHookBlock() = default;
    ~ProgramHookBlock();
    ProgramHookBlock(const ProgramHookBlock&) = delete;
    ProgramHookBlock& operator=(const ProgramHookBlock&) = delete;
    // The blocks of the copy's library once its control block names the
    // given main window; false until then.
    bool Open(const AppCopy& copy, HWND mainWindow);
    kst::HookControlBlock* Control() const { return control_; }
    kst::HookExchange* Exchange() const { return exchange_; }
    int KeyMode() const { return control_ ? control_->keyMode : -1; }
    // The control block's mapping, as the program made it.
    HANDLE Mapping() const { return mapping_; }

  private:
    void Release();
    HMODULE module_ = nullptr;
    HANDLE mapping_ = nullptr;
    kst::HookControlBlock* control_ = nullptr;
    kst::HookExchange* exchange_ = nullptr;
};

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// A message box of the given process, read and then answered with OK.
MessageBoxSeen TakeMessageBox(DWORD processId, DWORD timeoutMs);
// Whether one turns up within the time.
bool MessageBoxAppears(DWORD processId, DWORD timeoutMs);

HWND FindWindowOfProcess(const char* className, DWORD processId);
// A visible window of the class in the process, once it shows; null if not.
HWND WaitForVisibleWindowOf(const char* className, DWORD processId, DWORD timeoutMs);

// Registry helpers under HKEY_CURRENT_USER\Software\Orvandel.
void DeleteVendorKey();
void SetDword(const char* subkey, const char* name, DWORD value);
void SetRaw(const char* subkey, const char* name, DWORD type, const void* data, DWORD size);
bool GetDword(const char* subkey, const char* name, DWORD& value);
bool GetString(const char* subkey, const char* name, std::string& value);
bool ValueExists(const char* subkey, const char* name);
void DeleteValue(const char* subkey, const char* name);

// The display's DPI as the user sets it (the scaling of the desktop), for
// the programs started while it lives; put back as it was afterwards.
class DisplayDpi {
  public:
    explicit DisplayDpi(DWORD dpi);
    ~DisplayDpi();
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

  private:
    bool had_ = false;
    DWORD old_ = 0;
};

std::string ReadFileBytes(const std::string& path);
// A history file as it is on disk now; none for a missing file.
std::vector<kst::HistoryRecord> HistoryRecordsIn(const std::string& path);
std::vector<std::string> HistoryTextsIn(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

} // namespace bench
