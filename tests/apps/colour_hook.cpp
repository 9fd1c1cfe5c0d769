// A message hook that the end-to-end tests put on the program's own thread:
// on its registered message it sets a dark set of system colours inside the
// program's process, where (under Wine) only a change made there is seen.
#include <windows.h>

#include "tests/apps/colour_hook.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK KstTestColourHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    static const UINT setColours = RegisterWindowMessageA(KSTTEST_SET_COLOURS);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == setColours)
        SetSysColors(kTestColourCount, kTestColourElements, kTestColourValues);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
