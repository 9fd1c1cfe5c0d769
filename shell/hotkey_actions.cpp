// What the hotkeys and the internal commands do, and the one way the
// program pastes into another application: the entry on the clipboard and a
// Ctrl+V typed into the foreground thread's input.
#include <string>
#include <vector>

#include "shell/app_shell.h"
#include "shell/app_texts.h"
#include "history/clipboard_access.h"
#include "shell/foreground_app.h"
#include "shell/integrity.h"
#include "hook/key_decision.h"
#include "shell/key_mode.h"
#include "hook/ksthook.h"
#include "base/message_wait.h"
#include "shell/paste_notice.h"
#include "store/settings_model.h"
#include "store/settings_store.h"
#include "store/stored_settings.h"

namespace kst {
namespace {

constexpr UINT kCtrlV = 0x256;
constexpr UINT kCopyNotice = 0x243, kCutNotice = 0x258;
constexpr DWORD kKeyPauseMs = 100;
// How long an application may take to handle our keystrokes before our Ctrl
// is let go anyway (one that cannot load the hook library never answers).
constexpr DWORD kOwnKeysTimeoutMs = 1000;

void SendKey(UINT vk, bool release) {
    keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyA(vk, 0)), release ? KEYEVENTF_KEYUP : 0, 0);
}

bool PhysicallyDown(int vk) { return GetAsyncKeyState(vk) < 0; }

// Attaching reset the application's key state to "all keys up". Put back the
// modifiers that the user's hands hold, so that a held Ctrl stays held for
// the application and for the hook after our paste; Alt is left up when
// asked, so that the application does not see Ctrl+Alt+V.
void ShowHeldModifiers(bool releaseAlt) {
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    for (int vk : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU, VK_LMENU,
                   VK_RMENU}) {
        const bool alt = vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
        const bool down = PhysicallyDown(vk) && !(alt && releaseAlt);
        state[vk] = static_cast<BYTE>((state[vk] & 0x01) | (down ? 0x80 : 0));
    }
    SetKeyboardState(state);
}

bool CtrlIsDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// Waits until the hook reports, from inside the application, the key typed
// after our keystrokes: the application has handled them all. Forwarded
// keys that arrive meanwhile are kept and posted again afterwards, in order.
bool TakeForward(HWND mainWindow, const UINT (&forwards)[2], MSG& msg) {
    for (UINT forward : forwards)
        if (PeekMessageA(&msg, mainWindow, forward, forward, PM_REMOVE)) return true;
    return false;
}

bool WaitForOwnKeysHandled(HWND mainWindow, const UINT (&forwards)[2], DWORD timeoutMs) {
    std::vector<MSG> others;
    bool done = false;
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < timeoutMs) {
        MSG msg;
        if (!TakeForward(mainWindow, forwards, msg)) {
            PauseHandlingSentMessages(2);
            continue;
        }
        if (msg.wParam == kOwnKeysDoneCode) {
            done = true;
            NoteKeyForwardTaken(0);
        } else {
            others.push_back(msg);
        }
    }
    for (const MSG& msg : others) PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    return done;
}

// Ctrl + key, leaving what the user still holds alone: a held Ctrl is not
// pressed again, and a held key (the popup key kept down) is not released
// under the user's finger, where the keyboard's next auto-repeat would
// arrive as a fresh press and paste again. A Ctrl we pressed is let go only
// once the application has handled the key: a busy application that takes
// the key late would otherwise see it without Ctrl (a typed "v").
// True when the application is known to have handled the keys.
bool TypeCtrlChord(UINT vk, DWORD pauseMs) {
    const bool pressCtrl = !CtrlIsDown();
    const bool releaseKey = !PhysicallyDown(static_cast<int>(vk));
    if (pressCtrl) SendKey(VK_CONTROL, false);
    SendKey(vk, false);
    if (releaseKey) {
        if (pauseMs) PauseHandlingSentMessages(pauseMs);
        SendKey(vk, true);
    }
    bool handled = false;
    if (pressCtrl) {
        SendKey(kOwnKeysDoneVk, false);
        SendKey(kOwnKeysDoneVk, true);
        const UINT forwards[2] = {g_app.messages[kMsgKeyboardForward], g_app.messages[kMsgLowerKeyboardForward]};
        handled = WaitForOwnKeysHandled(g_app.mainWindow, forwards, kOwnKeysTimeoutMs);
        SendKey(VK_CONTROL, true);
    }
    return handled;
}

// Types Ctrl + key into the application in front, attached to its input.
bool TypeIntoForeground(UINT vk, int releaseAlt, DWORD holdMs) {
    AttachToForeground(1);
    ShowHeldModifiers(releaseAlt != 0);
    const bool handled = TypeCtrlChord(vk, holdMs);
    PauseHandlingSentMessages(kKeyPauseMs);
    AttachToForeground(0);
    return handled;
}

UINT ReadStoredPopupKey() {
    VendorKeyScope store;
    return ReadHotkey(setting::kPopupHotkey);
}

// The focus window of the application in front, else its foreground window.
// Read from the thread's GUI information rather than by attaching to its
// input, which would reset the key state of the keys the user holds.
HWND ForegroundFocus() {
    const HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) && info.hwndFocus)
        return info.hwndFocus;
    return foreground;
}

// The thread we attached to, so that we detach from that one even when the
// foreground has changed in between.
DWORD g_attachedThread = 0;

} // namespace

void AttachToForeground(int attach) {
    const DWORD self = GetCurrentThreadId();
    if (!attach) {
        if (g_attachedThread) AttachThreadInput(self, g_attachedThread, FALSE);
        g_attachedThread = 0;
        return;
    }
    if (g_attachedThread) return;
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (foreground && foreground != self && AttachThreadInput(self, foreground, TRUE)) g_attachedThread = foreground;
}

void SendPasteKeystrokes(int releaseAlt, DWORD holdMs) { TypeIntoForeground(kVkV, releaseAlt, holdMs); }

void AppShell::ApplyKeyMode() {
    ProgramKeyState state;
    state.sheetOpen = sheetOpen_;
    state.typingPaste = typingPaste_;
    state.popupOpen = openingPopup_ || popup.TakesKeys();
    state.paused = paused != 0;
    SetAllKeyMessageSnatch(KeyModeFor(state));
}

// Our Ctrl+V always carries the once-through flag, for the thread it is
// typed into: it passes whichever hotkey it matches (the popup key, simple
// paste, clear). Once the application has handled our keys the flag is
// taken back; one left by an application that never reported (one the
// library cannot enter, or one slower than our wait, whose press may still
// come) holds for that thread alone. The hotkey paths release Alt for the
// application; the popup's paste leaves Alt as the hands hold it.
void AppShell::TypePaste(DWORD holdMs, bool releaseAlt) {
    typingPaste_ = true;
    ApplyKeyMode();
    SetOnceThroughPaste(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
    if (TypeIntoForeground(kVkV, releaseAlt ? 1 : 0, holdMs)) ClearOnceThroughPaste();
    typingPaste_ = false;
    ApplyKeyMode();
}

PasteParameters AppShell::PasteParametersNow() { return ReadPasteParameters(); }

void AppShell::TypePopupPaste() { TypePaste(kKeyPauseMs, false); }

void AppShell::ReportClipboardBusy() { balloon.Information(kErrorTitle, kClipboardBusyText); }

void AppShell::PopupClosed(const PopupPanelState& panel) {
    SetPopupKeyThread(0, nullptr);
    ApplyKeyMode();
    WritePopupPanel(panel);
}

void AppShell::ClosePopup() {
    if (popup.IsOpen()) popup.Close();
}

// At the caret of the application in front, owned by its focus window.
// Every key comes to the popup from before it shows: a key pressed the
// moment it appears must not reach the application instead. Only keys typed
// in the owner's thread are the popup's.
void AppShell::OpenPopup(HWND owner) {
    SetPopupKeyThread(owner ? GetWindowThreadProcessId(owner, nullptr) : 0, owner ? GetAncestor(owner, GA_ROOT) : nullptr);
    openingPopup_ = true;
    ApplyKeyMode();
    PopupOptions options = ReadPopupOptions();
    popup.Open(instance, owner, mainWindow, &history, options, ForegroundCaret());
    openingPopup_ = false;
    if (!popup.IsOpen()) SetPopupKeyThread(0, nullptr);
    ApplyKeyMode();
}

namespace {
bool ForwardsQueued(HWND window, const UINT* messages) {
    MSG queued;
    for (AppMessage m : {kMsgKeyboardForward, kMsgLowerKeyboardForward})
        if (PeekMessageA(&queued, window, messages[m], messages[m], PM_NOREMOVE)) return true;
    return false;
}
} // namespace

// Every forward taken from the queue is counted for the hook: forwards left
// untaken tell it that we cannot answer.
void AppShell::TakeKeyForward(UINT code, LPARAM keyData) {
    NoteKeyForwardTaken(ForwardsQueued(mainWindow, messages) ? 0 : 1);
    OnHotkey(code, keyData);
}

// A forward from a process below ours (or one that says it is) does
// nothing while a window at our level or above is in front.
void AppShell::TakeLowerKeyForward(UINT code, LPARAM keyData) {
    if (MayActOnForward(true, ForegroundIntegrityLevel(), integrityLevel_)) {
        TakeKeyForward(code, keyData);
        return;
    }
    NoteKeyForwardTaken(ForwardsQueued(mainWindow, messages) ? 0 : 1);
}

// With the popup open the hook sends bare keys (no modifier bits), and they
// are the popup's. A hotkey code can still come: a key typed just before the
// popup opened. The popup key and the clear and simple-paste keys then do
// nothing; the stop key pauses, closing the popup first.
void AppShell::OnHotkeyWithPopupOpen(UINT code, LPARAM keyData) {
    if (code == kCopyNotice || code == kCutNotice) lastCopyKeyTick = GetTickCount();
    if (code <= 0xFF) {
        popup.OnKey(code, keyData);
        return;
    }
    if (code == stopKey && !(keyData & 0xC0000000)) TogglePause();
}

void AppShell::OnHotkey(UINT code, LPARAM keyData) {
    if (code == kOwnKeysDoneCode) return; // late: the paste it was typed after is over
    if (popup.IsOpen()) {
        OnHotkeyWithPopupOpen(code, keyData);
        return;
    }
    if (code == popupKey && OnPopupKey(keyData)) return;
    if (code == clearKey) {
        // In an excluded or silent application the key ends here.
        if (!CheckForegroundTarget(nullptr)) return;
        ClearHistoryAndClipboard(nullptr, false);
    }
    if (code == stopKey) TogglePause();
    if (code == kCopyNotice || code == kCutNotice) lastCopyKeyTick = GetTickCount();
    if (code == simplePasteKey) SimpleHistoryPaste();
}

// Returns true when the handling ends here.
bool AppShell::OnPopupKey(LPARAM keyData) {
    // A release, or an auto-repeat of a held key: one press is one action.
    if (keyData & 0xC0000000) return true;
    if (popup.IsOpen()) return true;
    if (history.Count() == 1 && noPopupForOne == 1 && history.Clipboard().otherFormats == 0) {
        SimpleHistoryPaste();
        return true;
    }
    if (history.Count() == 0 || !CheckForegroundTarget(nullptr)) {
        if (history.Count() == 1) history.SetItemPasteMark(0, 0);
        if (ReadStoredPopupKey() == kCtrlV) TypePaste(kKeyPauseMs);
        return true;
    }
    // The popup's own key ends here too: with the popup open, no other
    // hotkey that shares the code may act on it.
    OpenPopup(ForegroundFocus());
    return true;
}

// captureAfter: let the capture state describe the now empty clipboard.
void AppShell::ClearHistoryAndClipboard(HWND clipboardOwner, bool captureAfter) {
    history.ClearAll();
    {
        ClipboardSession clipboard(clipboardOwner);
        if (clipboard.IsOpen() && EmptyClipboard()) history.ClipboardEmptied();
    }
    if (captureAfter) history.Capture(ReadCaptureRules());
    // The pinned entries stay.
    PostMessageA(mainWindow, messages[kMsgUpdateClipboardNotify], history.Count(), 0);
}

void AppShell::SimpleHistoryPaste() {
    if (history.Count() == 0) {
        balloon.Information(kSimplePasteTitle, kNoHistoryText);
        return;
    }
    history.SetFlags(0xFFF, ReadReformFlags());
    const int index = history.GetOrderedIndex(ORDER_FIRST, -1);
    // A clipboard held by another program: typing Ctrl+V would paste the old
    // contents, so nothing is typed and the user is told.
    if (!history.PasteToClipboard(index, 0, ReadPasteParameters())) {
        if (!history.PasteLackedMemory()) balloon.Information(kErrorTitle, kClipboardBusyText);
        return;
    }
    TypePaste(kKeyPauseMs);
    AnnounceNextEntry(index);
}

void AppShell::AnnounceNextEntry(int pastedIndex) {
    const int count = history.Count();
    // Enough of the next entry for the preview's cut and its "...".
    constexpr size_t kPreviewSource = 128;
    StandIns standIns;
    const ClipItem* next = count ? history.Item(history.GetOrderedIndex(ORDER_FIRST, -1)) : nullptr;
    const std::string text = next ? next->DisplayText(kPreviewSource, standIns) : "";
    const Notice notice = NextEntryNotice(pastedIndex, count, text, standIns);
    balloon.Information(notice.title.c_str(), notice.text.c_str(), &notice.standIns);
}

void AppShell::OnGeneralNotify(int command) {
    switch (command) {
    case kCommandClear:
        ClosePopup();
        ClearHistoryAndClipboard(mainWindow, true);
        break;
    case kCommandCopy:
        ClosePopup();
        TypeIntoForeground(kVkC, 1, 0);
        break;
    case kCommandPopup:
        if (popup.IsOpen()) break;
        if (history.Count() > 0 && CheckForegroundTarget(nullptr) &&
            (history.Count() > 1 || noPopupForOne != 1)) {
            OpenPopup(GetForegroundWindow());
        } else if (ReadStoredPopupKey() == kCtrlV) {
            TypePaste(0);
        }
        break;
    case kCommandSettings:
        OpenSettings();
        break;
    case kCommandCapture:
        if (!popup.IsOpen() && !paused) history.Capture(ReadCaptureRules());
        break;
    default: // 4 and unknown commands: nothing
        break;
    }
}

// While the sheet is open the hotkeys rest. OK applies every setting at
// once, joining or leaving the clipboard chain as well.
void AppShell::OpenSettings() {
    if (settings.IsOpen()) return;
    ClosePopup();
    sheetOpen_ = true;
    ApplyKeyMode();
    const bool applied = settings.Display(instance, mainWindow, ProgramPath()) != 0;
    sheetOpen_ = false;
    if (applied) {
        LoadProgramSettings();
        history.SetViewer(autoCapture);
    }
    ApplyKeyMode();
    SetForegroundWindow(FindWindowA("Shell_TrayWnd", nullptr));
}

} // namespace kst
