// Set-up and the main program's setters and getters.
#include "hook/ksthook.h"

#include "hook/key_decision.h"
#include "hook/shared_block.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        // Loaded into every application: no call for each of its threads.
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

static void RegisterOnce(uint32_t& field, const char* name) {
    if (field == 0) field = RegisterWindowMessageA(name);
}

// The library stays mapped in other applications across a restart of the
// program, with whatever state the last one left: a new main window starts
// from the plain state (a program that ended while paused left mode 3).
KSTHOOK_API int InitDLLStatus(HWND mainWindow) {
    g_shared.mainWindow = FieldFromHandle(mainWindow);
    g_shared.keyMode = kst::kKeyModeHotkeys;
    g_shared.mouseMode = 0;
    g_shared.onceThrough = 0;
    g_shared.popupThread = 0;
    g_shared.popupRoot = 0;
    g_shared.forwardsPosted = 0;
    g_shared.forwardsTaken = 0;
    g_shared.progressTick = GetTickCount();
    g_heldModifiers = 0;
    g_isMainProcess = true;
    RegisterOnce(g_shared.keyboardForwardMsg, KST_MSG_KEYBOARD_FORWARD);
    RegisterOnce(g_shared.mouseForwardMsg, KST_MSG_MOUSE_FORWARD);
    RegisterOnce(g_shared.caretQueryMsg, KST_MSG_CARET_QUERY);
    RegisterOnce(g_shared.moduleQueryMsg, KST_MSG_MODULE_QUERY);
    RegisterOnce(g_shared.activationNoticeMsg, KST_MSG_ATTACHED_ACTIVE_CHANGE);
    return 1;
}

KSTHOOK_API void InstallHook(void) {
    g_shared.keyboardHook = FieldFromHandle(SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, g_instance, 0));
    g_shared.mouseHook = FieldFromHandle(SetWindowsHookExA(WH_MOUSE, MouseProc, g_instance, 0));
}

KSTHOOK_API void UnInstallHook(void) {
    if (g_shared.mouseHook) UnhookWindowsHookEx(HookFromField(g_shared.mouseHook));
    g_shared.mouseHook = 0;
    if (g_shared.keyboardHook) UnhookWindowsHookEx(HookFromField(g_shared.keyboardHook));
    g_shared.keyboardHook = 0;
}

KSTHOOK_API void SetAllKeyMessageSnatch(int mode) { g_shared.keyMode = mode; }
KSTHOOK_API int GetAllKeyMessageSnatch(void) { return g_shared.keyMode; }
KSTHOOK_API void SetAllMouseMessageSnatch(int on) { g_shared.mouseMode = on; }
KSTHOOK_API int GetAllMouseMessageSnatch(void) { return g_shared.mouseMode; }
KSTHOOK_API void SetOnceThroughPaste(void) { g_shared.onceThrough = 1; }
KSTHOOK_API void ClearOnceThroughPaste(void) { g_shared.onceThrough = 0; }
KSTHOOK_API void SetPopupKeyThread(DWORD threadId, HWND targetRoot) {
    g_shared.popupRoot = FieldFromHandle(targetRoot);
    g_shared.popupThread = threadId;
}

// Only the program writes the taken count. With no forward left in its queue
// it is set to the posted count outright, so that a count ever lost (a post
// that vanished with a window) cannot leave the program looking stuck.
KSTHOOK_API void NoteKeyForwardTaken(int backlogEmpty) {
    g_shared.progressTick = GetTickCount();
    g_shared.forwardsTaken = backlogEmpty ? g_shared.forwardsPosted : g_shared.forwardsTaken + 1;
}

KSTHOOK_API void SetHistoryKeyCode(UINT key, UINT modifiers) {
    g_shared.popupKey = kst::ComposeHotkeyCode(key, modifiers);
}
KSTHOOK_API void SetClearKeyCode(UINT key, UINT modifiers) {
    g_shared.clearKey = kst::ComposeHotkeyCode(key, modifiers);
}
KSTHOOK_API void SetStopKeyCode(UINT key, UINT modifiers) {
    g_shared.stopKey = kst::ComposeHotkeyCode(key, modifiers);
}
KSTHOOK_API void SetPasteKeyCode(UINT key, UINT modifiers) {
    g_shared.simplePasteKey = kst::ComposeHotkeyCode(key, modifiers);
}
