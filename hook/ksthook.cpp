// Set-up and the main program's setters and getters.
#include "hook/ksthook.h"

#include "hook/key_decision.h"
#include "hook/shared_block.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        // Loaded into every application: no call for each of its threads.
        DisableThreadLibraryCalls(instance);
        OpenControl();
    } else if (reason == DLL_PROCESS_DETACH) {
        CloseControl();
    }
    return TRUE;
}

namespace {

// Every setter writes the program's own view; without one (its name taken
// by an object that is not ours) the hooks have nobody to work for.
template <typename Change>
void Write(Change change) {
    if (kst::HookControlBlock* control = ProgramControl()) change(*control);
}

void RegisterOnce(uint32_t& field, const char* name) {
    if (field == 0) field = RegisterWindowMessageA(name);
}

} // namespace

// The library stays mapped in other applications across a restart of the
// program, with whatever state the last one left: a new main window starts
// from the plain state (a program that ended while paused left mode 3).
KSTHOOK_API int InitDLLStatus(HWND mainWindow) {
    kst::HookControlBlock* control = ProgramControl();
    if (!control) return 0;
    control->mainWindow = FieldFromHandle(mainWindow);
    control->keyMode = kst::kKeyModeHotkeys;
    control->mouseMode = 0;
    control->popupThread = 0;
    control->popupRoot = 0;
    g_exchange.onceThrough = 0;
    g_exchange.forwardsPosted = 0;
    g_exchange.forwardsTaken = 0;
    g_exchange.progressTick = GetTickCount();
    g_exchange.heldModifiers = 0;
    g_isMainProcess = true;
    RegisterOnce(control->keyboardForwardMsg, KST_MSG_KEYBOARD_FORWARD);
    RegisterOnce(control->lowerForwardMsg, KST_MSG_KEYBOARD_FORWARD_LOWER);
    RegisterOnce(control->mouseForwardMsg, KST_MSG_MOUSE_FORWARD);
    RegisterOnce(control->caretQueryMsg, KST_MSG_CARET_QUERY);
    RegisterOnce(control->moduleQueryMsg, KST_MSG_MODULE_QUERY);
    RegisterOnce(control->activationNoticeMsg, KST_MSG_ATTACHED_ACTIVE_CHANGE);
    return 1;
}

KSTHOOK_API void InstallHook(void) {
    Write([](kst::HookControlBlock& c) {
        c.keyboardHook = FieldFromHandle(SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, g_instance, 0));
        c.mouseHook = FieldFromHandle(SetWindowsHookExA(WH_MOUSE, MouseProc, g_instance, 0));
    });
}

KSTHOOK_API void UnInstallHook(void) {
    Write([](kst::HookControlBlock& c) {
        if (c.mouseHook) UnhookWindowsHookEx(HookFromField(c.mouseHook));
        c.mouseHook = 0;
        if (c.keyboardHook) UnhookWindowsHookEx(HookFromField(c.keyboardHook));
        c.keyboardHook = 0;
    });
}

KSTHOOK_API void SetAllKeyMessageSnatch(int mode) {
    Write([mode](kst::HookControlBlock& c) { c.keyMode = mode; });
}
KSTHOOK_API int GetAllKeyMessageSnatch(void) { return Control().keyMode; }
KSTHOOK_API void SetAllMouseMessageSnatch(int on) {
    Write([on](kst::HookControlBlock& c) { c.mouseMode = on; });
}
KSTHOOK_API int GetAllMouseMessageSnatch(void) { return Control().mouseMode; }
KSTHOOK_API void SetOnceThroughPaste(DWORD threadId) {
    g_exchange.onceThroughThread = threadId;
    g_exchange.onceThrough = 1;
}
KSTHOOK_API void ClearOnceThroughPaste(void) { g_exchange.onceThrough = 0; }
KSTHOOK_API void SetPopupKeyThread(DWORD threadId, HWND targetRoot) {
    Write([=](kst::HookControlBlock& c) {
        c.popupRoot = FieldFromHandle(targetRoot);
        c.popupThread = threadId;
    });
}

// Only the program writes the taken count. With no forward left in its queue
// it is set to the posted count outright, so that a count ever lost (a post
// that vanished with a window) cannot leave the program looking stuck.
KSTHOOK_API void NoteKeyForwardTaken(int backlogEmpty) {
    g_exchange.progressTick = GetTickCount();
    g_exchange.forwardsTaken = backlogEmpty ? g_exchange.forwardsPosted : g_exchange.forwardsTaken + 1;
}

KSTHOOK_API void SetHistoryKeyCode(UINT key, UINT modifiers) {
    Write([=](kst::HookControlBlock& c) { c.popupKey = kst::ComposeHotkeyCode(key, modifiers); });
}
KSTHOOK_API void SetClearKeyCode(UINT key, UINT modifiers) {
    Write([=](kst::HookControlBlock& c) { c.clearKey = kst::ComposeHotkeyCode(key, modifiers); });
}
KSTHOOK_API void SetStopKeyCode(UINT key, UINT modifiers) {
    Write([=](kst::HookControlBlock& c) { c.stopKey = kst::ComposeHotkeyCode(key, modifiers); });
}
KSTHOOK_API void SetPasteKeyCode(UINT key, UINT modifiers) {
    Write([=](kst::HookControlBlock& c) { c.simplePasteKey = kst::ComposeHotkeyCode(key, modifiers); });
}
