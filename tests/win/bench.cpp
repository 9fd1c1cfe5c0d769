#include "tests/win/bench.h"

#include <string.h>

#include <vector>

#include "reform/cp932_path.h"

namespace bench {

std::string ExeDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return kst::ParentFolder(std::string(path, n));
}

bool ChildProcess::Start(const std::string& commandLine, bool quiet) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (quiet) {
        nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, quiet, 0, nullptr, nullptr,
                                        &startup, &info_) != 0;
    startError_ = started ? 0 : GetLastError();
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    return started;
}

static BOOL CALLBACK CloseWindowOfProcess(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == (DWORD)processId) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void ChildProcess::Stop() {
    if (!info_.hProcess) return;
    EnumWindows(CloseWindowOfProcess, info_.dwProcessId);
    if (WaitForSingleObject(info_.hProcess, 3000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 3000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = PROCESS_INFORMATION{};
}

DWORD ChildProcess::WaitExitCode(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

namespace {
struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

struct WindowSearch {
    const char* className;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[128];
    if (owner == search->processId && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) &&
        lstrcmpiA(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    ProcessWindows search{processId, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const char* className, DWORD processId, DWORD timeoutMs) {
    WindowSearch search{className, processId, nullptr};
    PumpUntil(
        [&] {
            EnumWindows(MatchWindow, (LPARAM)&search);
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool BringToFront(HWND window) {
    // Activation is asynchronous under Wine: ask, then watch for it.
    return PumpUntil(
        [&] {
            if (GetForegroundWindow() == window) return true;
            SetForegroundWindow(window);
            return false;
        },
        5000);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

void SendKeys(std::initializer_list<Key> keys) {
    std::vector<INPUT> inputs;
    for (const Key& key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.vk;
        input.ki.wScan = (WORD)MapVirtualKeyA(key.vk, MAPVK_VK_TO_VSC);
        input.ki.dwFlags = key.up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

void Chord(std::initializer_list<WORD> modifiers, WORD vk) {
    for (WORD m : modifiers) SendKeys({{m, false}});
    SendKeys({{vk, false}, {vk, true}});
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) SendKeys({{*it, true}});
}

namespace {

// The bytes as the clipboard's only content in the format, retrying while
// another program holds the clipboard.
bool SetClipboardBytes(UINT format, const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            const bool set = SetClipboardData(format, memory) != nullptr;
            CloseClipboard();
            if (!set) GlobalFree(memory);
            return set;
        }
        Sleep(50);
    }
    GlobalFree(memory);
    return false;
}

} // namespace

bool SetClipboardText(const char* text) { return SetClipboardBytes(CF_TEXT, text, strlen(text) + 1); }

bool SetClipboardWideText(const std::u16string& text) {
    return SetClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

std::string WindowText(HWND window) {
    char text[4096] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &length);
    return std::string(text, strnlen(text, sizeof text));
}

} // namespace bench
