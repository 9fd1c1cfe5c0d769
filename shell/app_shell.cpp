#include "shell/app_shell.h"

#include <commctrl.h>
#include <objbase.h>
#include <stdio.h>

#include "shell/app_texts.h"
#include "history/history_file.h"
#include "history/history_texts.h"
#include "history/file_sealer_win.h"
#include "hook/ksthook.h"
#include "shell/integrity.h"
#include "ui/layered.h"
#include "notify/progress_window.h"
#include "store/settings_model.h"
#include "store/run_entry_win.h"
#include "store/settings_store.h"
#include "ui/shared_gdi.h"
#include "ui/window_object.h"

namespace kst {

AppShell g_app;

namespace {

constexpr const char* kMessageNames[kMessageCount] = {
    KST_MSG_KEYBOARD_FORWARD,         KST_MSG_MOUSE_FORWARD, KST_MSG_ATTACHED_ACTIVE_CHANGE,
    "KESTRANE_UPDATECLIPBOARDNOTIFY", "KESTRANE_TRAYNOTIFY", "KESTRANE_GENERALNOTIFY",
    KST_MSG_KEYBOARD_FORWARD_LOWER,
};
constexpr DWORD kCommonControlClasses = 0x6FF;
constexpr char kPauseTitle[] = "Kestrane [動作]";
constexpr char kPausedText[] = "履歴管理を一時停止します";
constexpr char kResumedText[] = "履歴管理を再開します";

HWND FindNotificationArea() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    return taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
}

} // namespace

AppShell::AppShell() {
    history.SetHost(this);
    popup.SetHost(this);
    popup.SetDictionaryPath(ProgramFolder() + "dict\\migemo-dict");
}

void AppShell::RegisterMessages() {
    for (int k = 0; k < kMessageCount; ++k) messages[k] = RegisterWindowMessageA(kMessageNames[k]);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AppShell& app = g_app;
    for (int k = 0; k < kMessageCount; ++k)
        if (message == app.messages[k] && message != 0)
            return app.OnRegisteredMessage(static_cast<AppMessage>(k), wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return app.OnCreate(window) ? DefWindowProcA(window, message, wParam, lParam) : -1;
    case WM_DESTROY:
        app.OnTeardown();
        return 0;
    case WM_QUERYENDSESSION:
        app.OnTeardown();
        return 1;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DRAWCLIPBOARD:
    case WM_CHANGECBCHAIN:
        app.history.OnClipboardChainMessage(message, wParam, lParam);
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        app.OnColoursChanged();
        return 0;
    case WM_TIMER:
        if (wParam == HistorySaver::kTimerId) app.OnSaveTimer();
        return 0;
    case HistorySaver::kWriteEndedMessage:
        app.OnSaveEnded(static_cast<HistorySaver::WriteResult>(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool AppShell::RegisterMainClass() const {
    const WNDCLASSA wc = ProgramWindowClass(MainWindowProc, instance, kMainWindowClass);
    return RegisterClassA(&wc) != 0;
}

int AppShell::Run(HINSTANCE programInstance) {
    // Owned until the process ends; never released or closed.
    CreateMutexA(nullptr, TRUE, kSingleInstanceMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxA(nullptr, kAlreadyRunningText, kProgramName, MB_ICONHAND);
        return 0;
    }
    // COM for the accessibility caret of applications that draw their own.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls{sizeof controls, kCommonControlClasses};
    InitCommonControlsEx(&controls);
    instance = programInstance;
    RegisterPopupClasses(instance);
    ProbeLayeredWindows();

    RegisterMessages();
    if (!RegisterMainClass()) return 0;
    LoadProgramSettings();
    FollowProgramToItsPlace(ProgramPath());
    LoadHistory();
    const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kMainWindowClass, kProgramName, WS_DISABLED, 0, 0, 0,
                                        0, nullptr, nullptr, instance, nullptr);
    if (!window) {
        ShutDown();
        return 0;
    }
    mainWindow = window;
    ShowWindow(window, SW_HIDE);
    PostMessageA(window, messages[kMsgUpdateClipboardNotify], history.Count(), 0);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ShutDown();
    if (com) CoUninitialize();
    return 0;
}

// A sealed file is read whether or not sealing is on now: turned off, the
// next save writes the plain file again.
void AppShell::LoadHistory() {
    ChooseHistoryFolder();
    if (saveHistory) history.Load(HistoryLoadPath(), &UserDataProtection());
}

const FileSealer* AppShell::HistorySealer() const { return encryptHistory ? &UserDataProtection() : nullptr; }

// Started elevated (Run as administrator), the system drops what ordinary
// applications post to us; only what they must send is let in.
static void LetInFromBelowWhatMustComeIn(HWND window, const UINT* messages, bool elevated) {
    for (int k = 0; k < kMessageCount; ++k)
        if (messages[k] && LetInFromBelow(static_cast<AppMessage>(k), elevated))
            ChangeWindowMessageFilterEx(window, messages[k], MSGFLT_ALLOW, nullptr);
}

LRESULT AppShell::OnCreate(HWND window) {
    elevated_ = ProcessIsElevated();
    integrityLevel_ = OwnIntegrityLevel();
    LetInFromBelowWhatMustComeIn(window, messages, elevated_);
    CreateSharedGdi(instance);
    tray.Add(window, instance, messages[kMsgTrayNotify]);
    // The hooks' control block under a name another program holds: the
    // hooks would work for nobody, so none are set and the user is told.
    const bool hooksReady = InitDLLStatus(window) != 0;
    if (hooksReady) InstallHook();
    history.Attach(window, instance);
    saver.SetWindow(window);
    // Owned by the hidden main window: an unowned window gets a taskbar
    // button (Wine's taskbar gives one even to tool windows).
    balloon.Create(instance, FindNotificationArea(), window);
    if (autoCapture == 1) history.SetViewer(1);
    if (saveHistory) AnnounceHistoryFolder();
    if (history.LoadLackedMemory()) AnnounceLoadShortOfMemory();
    if (!hooksReady) balloon.Information(kErrorTitle, kHooksRefusedText);
    if (!history.KeptAside().empty())
        balloon.Information(kErrorTitle, (std::string(kHistoryKeptAsideText) + history.KeptAside()).c_str());
    if (saveHistory && saveSoonAfterLoad_) HistoryChanged();
    return 1;
}

void AppShell::AnnounceLoadShortOfMemory() {
    if (history.FileHeld() == 0 && history.Count() == 0) {
        balloon.Information(kNoMemoryTitle, kNoMemoryLoadText);
        return;
    }
    char text[256];
    snprintf(text, sizeof text, kPartialLoadTextFormat, static_cast<unsigned>(history.FileHeld()),
             static_cast<unsigned>(history.Count()));
    balloon.Information(kNoMemoryTitle, text);
}

void AppShell::OnTeardown() {
    if (tornDown_) return;
    tornDown_ = true;
    tray.Remove();
    history.SetViewer(0);
    PostQuitMessage(0);
}

void AppShell::ShutDown() {
    balloon.Destroy();
    saver.Finish();
    SaveState();
    UnregisterPopupClasses(instance);
    DeleteSharedGdi();
    UnInstallHook();
}

LRESULT AppShell::OnRegisteredMessage(AppMessage which, WPARAM wParam, LPARAM lParam) {
    switch (which) {
    case kMsgKeyboardForward:
        TakeKeyForward(static_cast<UINT>(wParam), lParam);
        break;
    case kMsgLowerKeyboardForward:
        TakeLowerKeyForward(static_cast<UINT>(wParam), lParam);
        break;
    case kMsgMouseForward:
        OnMouseForward(static_cast<UINT>(wParam));
        break;
    case kMsgUpdateClipboardNotify:
        tray.UpdateCount(static_cast<int>(wParam));
        break;
    case kMsgTrayNotify:
        if (wParam == 1) tray.OnTrayMouse(static_cast<UINT>(lParam));
        break;
    case kMsgGeneralNotify:
        OnGeneralNotify(static_cast<int>(wParam));
        break;
    default: // activation notices are not used
        break;
    }
    return 0;
}

void AppShell::OnMouseForward(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONUP) ReleaseCapture();
    if (mouseMessage == WM_MOUSEMOVE || mouseMessage == WM_LBUTTONUP) SetAllMouseMessageSnatch(0);
}

void AppShell::PostGeneralNotify(int command) const {
    if (mainWindow) PostMessageA(mainWindow, messages[kMsgGeneralNotify], command, 0);
}

void AppShell::TogglePause() {
    ClosePopup();
    if (!paused) {
        paused = 1;
        ApplyKeyMode();
        tray.UpdateCount(history.Count());
        balloon.Information(kPauseTitle, kPausedText);
        return;
    }
    paused = 0;
    ApplyKeyMode();
    tray.UpdateCount(history.Count());
    balloon.Information(kPauseTitle, kResumedText);
    history.ForgetClipboard();
}

void AppShell::Information(const char* title, const char* text) { balloon.Information(title, text); }

void AppShell::Beep() { MessageBeep(0); }

void AppShell::PostUpdateCount(int count) {
    if (mainWindow) PostMessageA(mainWindow, messages[kMsgUpdateClipboardNotify], count, 0);
}

LocalTime AppShell::Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    static_assert(sizeof(SYSTEMTIME) == sizeof(LocalTime), "the same eight fields");
    LocalTime time;
    memcpy(&time, &now, sizeof time);
    return time;
}

std::unique_ptr<ProgressIndicator> AppShell::NewProgress() { return std::make_unique<ProgressWindow>(); }

bool AppShell::TakeCopyKeyMark() {
    if (!copyKeysOnly) return true;
    const DWORD mark = lastCopyKeyTick;
    lastCopyKeyTick = 0;
    return mark != 0;
}

// No window in front (for a moment while the activation changes) is no
// application: nothing to exclude, nothing to ask.
bool AppShell::ForegroundAllowsCapture() {
    const HWND front = GetForegroundWindow();
    return !front || CheckForegroundTarget(front) != 0;
}

// With the history kept across restarts, every change is on disk about a
// second later: a crash or a kill loses at most that second.
void AppShell::HistoryChanged() {
    if (saveHistory && !history.LoadWasRefused()) saver.Schedule();
}

void AppShell::OnSaveTimer() {
    // Keeping was turned off: the save that was due is dropped, so that
    // the next change after keeping is on again starts a delay of its own.
    if (!saveHistory || history.LoadWasRefused()) {
        saver.Cancel();
        return;
    }
    saver.OnTimer(history, HistoryFilePath(), HistorySealer());
}

void AppShell::OnColoursChanged() {
    RefreshSharedColours();
    popup.Redraw();
}

} // namespace kst
