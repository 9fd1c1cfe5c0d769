// Windows that belong to an object carry its address in a named window
// property; their procedures find the object through it.
#pragma once

#include <windows.h>

#include "resources/resource_ids.h"

namespace kst {

template <typename T>
T* ObjectFromWindow(HWND window, const char* property) {
    return static_cast<T*>(GetPropA(window, property));
}

// For a window procedure: the object handed to CreateWindowEx as its last
// argument is bound to the window as the window is made, so that every
// message from the first on finds it.
template <typename T>
T* BoundObject(HWND window, UINT message, LPARAM lParam, const char* property) {
    if (message == WM_NCCREATE) {
        void* object = reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams;
        if (object) SetPropA(window, property, object);
    }
    return ObjectFromWindow<T>(window, property);
}

// The program's window classes: its icon, the arrow, the menu colour behind.
inline WNDCLASSA ProgramWindowClass(WNDPROC procedure, HINSTANCE instance, const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_MENU + 1);
    wc.lpszClassName = name;
    return wc;
}

// Registers a class once per process; the flag is never cleared.
inline bool RegisterClassOnce(bool& registered, const WNDCLASSA& wc) {
    if (!registered) registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

} // namespace kst
