// What the hotkeys and the internal commands do, and the one way the
// program pastes into another application: the entry on the clipboard and a
// Ctrl+V typed into the foreground thread's input.
#include <string>

#include "app_shell.h"
#include "clipboard_access.h"
#include "ksthook.h"
#include "paste_notice.h"
#include "settings_model.h"
#include "settings_store.h"

namespace kst {
namespace {

constexpr UINT kVkV = 0x56, kVkC = 0x43;
constexpr UINT kCtrlV = 0x256;
constexpr UINT kCopyNotice = 0x243, kCutNotice = 0x258;
constexpr DWORD kKeyPauseMs = 100;

void SendKey(UINT vk, bool release) {
    keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyA(vk, 0)), release ? KEYEVENTF_KEYUP : 0, 0);
}

// So that the application does not see Alt as still held.
void ReleaseAltInKeyboardState() {
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    state[VK_MENU] = 0;
    SetKeyboardState(state);
}

bool CtrlIsDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// Ctrl + key, leaving a Ctrl the user still holds alone.
void TypeCtrlChord(UINT vk, DWORD pauseMs) {
    const bool pressCtrl = !CtrlIsDown();
    if (pressCtrl) SendKey(VK_CONTROL, false);
    SendKey(vk, false);
    if (pauseMs) Sleep(pauseMs);
    SendKey(vk, true);
    if (pressCtrl) SendKey(VK_CONTROL, true);
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

} // namespace

void AttachToForeground(int attach) {
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD self = GetCurrentThreadId();
    if (foreground && foreground != self) AttachThreadInput(self, foreground, attach ? TRUE : FALSE);
}

void SendPasteKeystrokes(int releaseAlt, DWORD holdMs) {
    AttachToForeground(1);
    if (releaseAlt) ReleaseAltInKeyboardState();
    TypeCtrlChord(kVkV, holdMs);
    Sleep(kKeyPauseMs);
    AttachToForeground(0);
}

// The Ctrl+V the program hands back to the application, let through once.
void AppShell::HandPasteKeyBack(DWORD holdMs) {
    SetAllKeyMessageSnatch(0);
    SetOnceThroughPaste();
    SendPasteKeystrokes(1, holdMs);
    SetAllKeyMessageSnatch(0);
}

void AppShell::OnHotkey(UINT code, LPARAM keyData) {
    // NOT YET BUILT: the paste popup. While it is open it takes the keys first.
    if (code == popupKey && OnPopupKey(keyData)) return;
    if (code == clearKey && CheckForegroundTarget(nullptr)) ClearHistoryAndClipboard(nullptr, false);
    if (code == stopKey) TogglePause();
    if (code == kCopyNotice || code == kCutNotice) lastCopyKeyTick = GetTickCount();
    if (code == simplePasteKey) SimpleHistoryPaste();
}

// Returns true when the handling ends here.
bool AppShell::OnPopupKey(LPARAM keyData) {
    if (keyData & 0x80000000) return true; // a release
    if (history.Count() == 1 && noPopupForOne == 1 && history.otherFormats == 0) {
        if ((popupKey & 0xFF) == kVkV) SetOnceThroughPaste();
        SimpleHistoryPaste();
        return true;
    }
    if (history.Count() == 0 || !CheckForegroundTarget(nullptr)) {
        const UINT stored = ReadStoredPopupKey();
        if (history.Count() == 1) history.SetItemPasteMark(0, 0);
        if (stored == kCtrlV) HandPasteKeyBack(kKeyPauseMs);
        return true;
    }
    // NOT YET BUILT: opening the paste popup at the caret (and key mode 1).
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
    history.PasteToClipboard(index, 0);
    SetAllKeyMessageSnatch(0);
    if ((simplePasteKey & 0xFF) == kVkV) SetOnceThroughPaste();
    SendPasteKeystrokes(1, kKeyPauseMs);
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
        AttachToForeground(1);
        ReleaseAltInKeyboardState();
        TypeCtrlChord(kVkC, 0);
        Sleep(kKeyPauseMs);
        AttachToForeground(0);
        break;
    case kCommandPopup:
        if (history.Count() > 0 && CheckForegroundTarget(nullptr) &&
            (history.Count() > 1 || noPopupForOne != 1)) {
            // NOT YET BUILT: opening the paste popup (and key mode 1).
        } else if (ReadStoredPopupKey() == kCtrlV) {
            HandPasteKeyBack(0);
        }
        break;
    case kCommandSettings:
        // NOT YET BUILT: the settings sheet.
        break;
    case kCommandCapture:
        if (!paused) history.Capture();
        break;
    default: // 4 and unknown commands: nothing
        break;
    }
}

} // namespace kst
