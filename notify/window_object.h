// Windows that belong to an object carry its address in a named window
// property; their procedures find the object through it.
#pragma once

#include <windows.h>

namespace kst {

template <typename T>
T* ObjectFromWindow(HWND window, const char* property) {
    return static_cast<T*>(GetPropA(window, property));
}

// Registers a class once per process; the flag is never cleared.
inline bool RegisterClassOnce(bool& registered, const WNDCLASSA& wc) {
    if (!registered) registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

} // namespace kst
