// Helpers for end-to-end tests under Wine: processes, windows, real input.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace bench {

std::string ExeDirectory(); // with a trailing backslash

// A process we started; closed politely, then killed, when it goes.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Stop(); }
    // quiet: standard handles to NUL, so that a helper that outlives the
    // test holds no pipe of the test runner.
    bool Start(const std::string& commandLine, bool quiet = false);
    void Stop();
    DWORD Id() const { return info_.dwProcessId; }
    // Why the last Start failed: the system's error code.
    DWORD StartError() const { return startError_; }
    HANDLE Handle() const { return info_.hProcess; }
    DWORD WaitExitCode(DWORD timeoutMs);

  private:
    PROCESS_INFORMATION info_{};
    DWORD startError_ = 0;
};

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// A visible top-level window of the given class in the given process.
HWND WaitForWindow(const char* className, DWORD processId, DWORD timeoutMs);
bool BringToFront(HWND window);

// Pumps this thread's messages until the condition holds or time runs out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

struct Key {
    WORD vk;
    bool up;
};
void SendKeys(std::initializer_list<Key> keys);
// Presses the modifiers, taps the key, releases the modifiers.
void Chord(std::initializer_list<WORD> modifiers, WORD vk);

bool SetClipboardText(const char* text);
bool SetClipboardWideText(const std::u16string& text); // as a Unicode program copies
std::string WindowText(HWND window); // through WM_GETTEXT, across processes

} // namespace bench
