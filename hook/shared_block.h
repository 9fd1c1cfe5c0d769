// Library-internal access to the shared block and the handle conversions.
#pragma once

#include <windows.h>

#include "hook/hook_shared.h"
#include "hook/key_decision.h"

extern kst::HookSharedBlock g_shared;
// Shared too: the Ctrl and Alt of hotkeys taken and not yet released.
extern uint32_t g_heldModifiers;
// Shared too: the key call being passed on down the chain (its thread tells
// whose it is).
extern kst::KeyCallStamp g_passingOn;
extern HINSTANCE g_instance; // per process: the module of every hook we install
// Per process: set in the main program's process by InitDLLStatus. A hook
// call there on behalf of another application must read the asynchronous
// key state.
extern bool g_isMainProcess;

// 32-bit user handles widen by sign extension, as the system does it.
inline HWND WindowFromField(uint32_t field) { return (HWND)(LONG_PTR)(LONG)field; }
inline HHOOK HookFromField(uint32_t field) { return (HHOOK)(LONG_PTR)(LONG)field; }
inline uint32_t FieldFromHandle(const void* handle) { return (uint32_t)(ULONG_PTR)handle; }

// Posts to the main window; never to a thread queue of the hooked application.
// False when the system refused the post (a program started elevated does
// not receive posts from ordinary applications, a full queue none at all).
inline bool PostToMain(uint32_t messageId, WPARAM wParam, LPARAM lParam) {
    const HWND main = WindowFromField(g_shared.mainWindow);
    return main && messageId && PostMessageA(main, messageId, wParam, lParam);
}
