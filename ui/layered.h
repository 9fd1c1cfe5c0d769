// Whether the balloon fades: decided once at start-up.
#pragma once

#include <windows.h>

namespace kst {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

struct LayeredSupport {
    int present = 0;
    SetLayeredWindowAttributesFn setAttributes = nullptr;
};

extern LayeredSupport g_layered;

// Fading is used on NT 5 systems, where it was first offered.
void ProbeLayeredWindows();

} // namespace kst
