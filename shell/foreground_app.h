// What the system itself can tell about the application in front, for the
// applications the hook library cannot enter (another bitness, or a process
// that refuses the library): whether it answers, which executable it runs,
// and where its text caret is.
#pragma once

#include <windows.h>

#include <string>

namespace kst {

constexpr DWORD kAnswerTimeoutMs = 500;

// Whether the window's thread retrieves messages within the time: the one
// sign that an application does not answer, library or not.
bool IsAnswering(HWND window, DWORD timeoutMs = kAnswerTimeoutMs);

// The executable of the window's process as the process itself names it
// (a Win32 path, as the hook's answer gives it); false when the system
// cannot say (a protected process, or one gone meanwhile).
bool SystemModulePath(HWND window, std::string& path);

// Where the caret of the application in front is, in screen pixels: the
// system caret of its thread; the hook's answer when the system cannot say;
// the accessibility caret of an application that draws its own; else the
// mouse pointer. Never the screen's corner when any of these is known.
POINT ForegroundCaret();

} // namespace kst
