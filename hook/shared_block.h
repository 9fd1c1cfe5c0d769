// Library-internal access to the two blocks and the handle conversions.
#pragma once

#include <windows.h>

#include "hook/hook_shared.h"
#include "hook/key_decision.h"

// Per process: the control block's view (read-only in a process below the
// program's integrity level), null before there is one.
extern const kst::HookControlBlock* g_control;
extern bool g_controlWritable;
// Shared by every process mapping the library.
extern kst::HookExchange g_exchange;
extern HINSTANCE g_instance; // per process: the module of every hook we install
// Per process: set in the main program's process by InitDLLStatus. A hook
// call there on behalf of another application must read the asynchronous
// key state.
extern bool g_isMainProcess;

// What the hooks read: with no control block yet, nobody to work for.
inline const kst::HookControlBlock& Control() {
    static const kst::HookControlBlock kNobody = {};
    return g_control ? *g_control : kNobody;
}

// The program's own view, writable; made on first use. Null when the block
// cannot be had (another object squats on its name).
kst::HookControlBlock* ProgramControl();
// Maps an existing control block in this process (the library's attach).
void OpenControl();
void CloseControl();

// 32-bit user handles widen by sign extension, as the system does it.
inline HWND WindowFromField(uint32_t field) { return (HWND)(LONG_PTR)(LONG)field; }
inline HHOOK HookFromField(uint32_t field) { return (HHOOK)(LONG_PTR)(LONG)field; }
inline uint32_t FieldFromHandle(const void* handle) { return (uint32_t)(ULONG_PTR)handle; }

// Posts to the main window; never to a thread queue of the hooked application.
// False when the system refused the post (a program started elevated does
// not receive posts from ordinary applications, a full queue none at all).
inline bool PostToMain(uint32_t messageId, WPARAM wParam, LPARAM lParam) {
    const HWND main = WindowFromField(Control().mainWindow);
    return main && messageId && PostMessageA(main, messageId, wParam, lParam);
}
