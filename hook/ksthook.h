// The interface of ksthook.dll: global key hooks and cross-process queries.
#pragma once

#include <windows.h>

#ifdef KSTHOOK_BUILD
#define KSTHOOK_API extern "C" __declspec(dllexport)
#else
#define KSTHOOK_API extern "C" __declspec(dllimport)
#endif

// Message and object names shared by both sides of the protocol.
#define KST_MSG_KEYBOARD_FORWARD "KESTRANE_KEYBOARD_FORWARD"
// The same, from a process below the program's integrity level.
#define KST_MSG_KEYBOARD_FORWARD_LOWER "KESTRANE_KEYBOARD_FORWARD_LOWER"
#define KST_MSG_MOUSE_FORWARD "KESTRANE_MOUSE_FORWARD"
#define KST_MSG_ATTACHED_ACTIVE_CHANGE "KESTRANE_ATTACHEDACTIVECHANGE"
#define KST_MSG_CARET_QUERY "KESTRANE_OTHERPROCESSCARETPOS"
#define KST_MSG_MODULE_QUERY "KESTRANE_OTHERPROCESSMODULE"
#define KST_EVENT_CARET_ANSWER "KESTRANE_OTHERPROCESSCARETPOS"
#define KST_EVENT_MODULE_ANSWER "KESTRANE_OTHERPROCESSMODULEFILENAME"
#define KST_MAP_MODULE_FILE_NAME "KESTRANE_PROCESSMODULEFILENAMEMAP"

// Plain C calling convention: undecorated names on 32-bit as well. The hook
// procedures keep the convention the system calls them with.
KSTHOOK_API int InitDLLStatus(HWND mainWindow);
KSTHOOK_API void InstallHook(void);
KSTHOOK_API void UnInstallHook(void);
KSTHOOK_API void SetAllKeyMessageSnatch(int mode);
KSTHOOK_API int GetAllKeyMessageSnatch(void);
KSTHOOK_API void SetAllMouseMessageSnatch(int on);
KSTHOOK_API int GetAllMouseMessageSnatch(void);
// Our next Ctrl+V typed into that thread passes whatever hotkey it matches.
KSTHOOK_API void SetOnceThroughPaste(DWORD threadId);
KSTHOOK_API void ClearOnceThroughPaste(void);
// The thread whose keys go to the open popup (key mode 1), while the
// top-level window it opened over is in front (null: any of its windows).
KSTHOOK_API void SetPopupKeyThread(DWORD threadId, HWND targetRoot);
// The program has taken one "KESTRANE_KEYBOARD_FORWARD" (backlogEmpty: and
// none is left in its queue).
KSTHOOK_API void NoteKeyForwardTaken(int backlogEmpty);
KSTHOOK_API void SetHistoryKeyCode(UINT key, UINT modifiers);
KSTHOOK_API void SetClearKeyCode(UINT key, UINT modifiers);
KSTHOOK_API void SetStopKeyCode(UINT key, UINT modifiers);
KSTHOOK_API void SetPasteKeyCode(UINT key, UINT modifiers);
KSTHOOK_API UINT32 GetForegroundProcessCaretPos(void);
KSTHOOK_API int GetForegroundProcessModuleFileName(HWND window);
KSTHOOK_API LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
KSTHOOK_API LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
KSTHOOK_API LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);
KSTHOOK_API LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam);
KSTHOOK_API LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);
