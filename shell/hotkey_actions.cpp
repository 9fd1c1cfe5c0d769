// What the hotkeys and the internal commands do, and the one way the
// program pastes into another application: the entry on the clipboard and a
// Ctrl+V typed into the foreground thread's input.
#include <string>
#include <vector>

#include "app_shell.h"
#include "app_texts.h"
#include "clipboard_access.h"
#include "key_decision.h"
#include "ksthook.h"
#include "paste_notice.h"
#include "settings_model.h"
#include "settings_store.h"

namespace kst {
namespace {

constexpr UINT kVkV = 0x56;
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
bool WaitForOwnKeysHandled(HWND mainWindow, UINT forwardMessage, DWORD timeoutMs) {
    std::vector<MSG> others;
    bool done = false;
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < timeoutMs) {
        MSG msg;
        if (!PeekMessageA(&msg, mainWindow, forwardMessage, forwardMessage, PM_REMOVE)) {
            Sleep(2);
            continue;
        }
        if (msg.wParam == kOwnKeysDoneCode)
            done = true;
        else
            others.push_back(msg);
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
void TypeCtrlChord(UINT vk, DWORD pauseMs) {
    const bool pressCtrl = !CtrlIsDown();
    const bool releaseKey = !PhysicallyDown(static_cast<int>(vk));
    if (pressCtrl) SendKey(VK_CONTROL, false);
    SendKey(vk, false);
    if (releaseKey) {
        if (pauseMs) Sleep(pauseMs);
        SendKey(vk, true);
    }
    if (pressCtrl) {
        SendKey(kOwnKeysDoneVk, false);
        SendKey(kOwnKeysDoneVk, true);
        WaitForOwnKeysHandled(g_app.mainWindow, g_app.messages[kMsgKeyboardForward], kOwnKeysTimeoutMs);
        SendKey(VK_CONTROL, true);
    }
}

// Types Ctrl + key into the application in front, attached to its input.
void TypeIntoForeground(UINT vk, int releaseAlt, DWORD holdMs) {
    AttachToForeground(1);
    ShowHeldModifiers(releaseAlt != 0);
    TypeCtrlChord(vk, holdMs);
    Sleep(kKeyPauseMs);
    AttachToForeground(0);
}

int ReadStoredReformFlags() {
    VendorKeyScope store;
    auto read = [](const char* name) { return static_cast<int>(SettingsStore::ReadDword(kClipTextKey, name, 0)); };
    ConversionSwitches s{};
    if ((s.width = read("bDBCS"))) s.toFullWidth = read("toDBCS");
    if ((s.upper = read("bUPPER"))) s.toUpper = read("toUPPER");
    if ((s.comma = read("bCANMA"))) s.toComma = read("toCANMA");
    if ((s.period = read("bPERIOD"))) s.toPeriod = read("toPERIOD");
    s.wrap = read("bRETURNSET");
    s.quote = read("bQUOTESET");
    s.kinsoku = read("bCORRECT");
    s.tagRemove = read("bTAGREMOVE");
    return ReformFlagsFromSwitches(s);
}

UINT ReadStoredPopupKey() {
    VendorKeyScope store;
    return ReadHotkey("HistoryKey", 86, "HistoryKeyWith", 2);
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

// While paused only the stop key is taken.
int AppShell::RestingKeyMode() const { return paused ? 3 : 0; }

// Our Ctrl+V, let through once exactly when the hook would otherwise take it
// as the popup key. The hotkey paths release Alt for the application; the
// popup's paste leaves Alt as the hands hold it.
void AppShell::TypePaste(DWORD holdMs, bool releaseAlt) {
    SetAllKeyMessageSnatch(RestingKeyMode());
    const bool altInState = !releaseAlt && GetAsyncKeyState(VK_MENU) < 0;
    if (OwnPasteIsPopupKey(popupKey, altInState)) SetOnceThroughPaste();
    SendPasteKeystrokes(releaseAlt ? 1 : 0, holdMs);
    SetAllKeyMessageSnatch(RestingKeyMode());
}

void AppShell::TypePopupPaste() { TypePaste(kKeyPauseMs, false); }

void AppShell::ReportClipboardBusy() { balloon.Information(kErrorTitle, kClipboardBusyText); }

// At the caret of the application in front, owned by its focus window.
// Every key comes to the popup from before it shows: a key pressed the
// moment it appears must not reach the application instead.
void AppShell::OpenPopup(HWND owner) {
    SetAllKeyMessageSnatch(1);
    popup.Open(instance, owner, mainWindow, &history);
    if (!popup.IsOpen()) SetAllKeyMessageSnatch(RestingKeyMode());
}

void AppShell::OnHotkey(UINT code, LPARAM keyData) {
    if (popup.IsOpen()) popup.OnKey(code, keyData);
    if (code == popupKey && OnPopupKey(keyData)) return;
    if (code == clearKey) {
        // With the popup open, or in an excluded or silent application, the
        // key ends here.
        if (popup.IsOpen() || !CheckForegroundTarget(nullptr)) return;
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
    if (history.Count() == 1 && noPopupForOne == 1 && history.otherFormats == 0) {
        SimpleHistoryPaste();
        return true;
    }
    if (history.Count() == 0 || !CheckForegroundTarget(nullptr)) {
        if (history.Count() == 1) history.SetItemPasteMark(0, 0);
        if (ReadStoredPopupKey() == kCtrlV) TypePaste(kKeyPauseMs);
        return true;
    }
    OpenPopup(ForegroundFocus());
    return false;
}

// captureAfter: let the capture state describe the now empty clipboard.
void AppShell::ClearHistoryAndClipboard(HWND clipboardOwner, bool captureAfter) {
    history.ClearAll();
    {
        ClipboardSession clipboard(clipboardOwner);
        EmptyClipboard();
    }
    if (captureAfter) history.Capture();
    PostMessageA(mainWindow, messages[kMsgUpdateClipboardNotify], 0, 0);
}

void AppShell::SimpleHistoryPaste() {
    if (history.Count() == 0) {
        balloon.Information(kSimplePasteTitle, kNoHistoryText);
        return;
    }
    history.SetFlags(0xFFF, ReadStoredReformFlags());
    const int index = history.GetOrderedIndex(ORDER_FIRST, -1);
    history.skipNextChange = 1;
    // A clipboard held by another program: typing Ctrl+V would paste the old
    // contents, so nothing is typed and the user is told.
    if (!history.PasteToClipboard(index, 0)) {
        balloon.Information(kErrorTitle, kClipboardBusyText);
        return;
    }
    TypePaste(kKeyPauseMs);
    AnnounceNextEntry(index);
}

void AppShell::AnnounceNextEntry(int pastedIndex) {
    const int count = history.Count();
    const std::string next = count ? history.GetItemText(history.GetOrderedIndex(ORDER_FIRST, -1), 0) : "";
    const Notice notice = NextEntryNotice(pastedIndex, count, next);
    balloon.Information(notice.title.c_str(), notice.text.c_str());
}

void AppShell::OnGeneralNotify(int command) {
    switch (command) {
    case kCommandClear:
        ClearHistoryAndClipboard(mainWindow, true);
        break;
    case kCommandCopy:
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
        if (settings.IsOpen()) break;
        if (settings.Display(instance, mainWindow)) LoadProgramSettings();
        // Paused stays paused: key mode 3, not the plain 0.
        SetAllKeyMessageSnatch(RestingKeyMode());
        SetForegroundWindow(FindWindowA("Shell_TrayWnd", nullptr));
        break;
    case kCommandCapture:
        if (!popup.IsOpen() && !paused) history.Capture();
        break;
    default: // 4 and unknown commands: nothing
        break;
    }
}

} // namespace kst
