// A message hook that the end-to-end tests put on the program's own thread:
// on its registered message it sets a dark set of system colours inside the
// program's process, where (under Wine) only a change made there is seen,
// and puts the program's own colours back afterwards. The change reaches
// every program started later, so it must never be left behind.
#include <windows.h>

#include "tests/apps/colour_hook.h"

namespace {

COLORREF g_before[kTestColourCount];
bool g_changed = false;

void SetTestColours(bool on) {
    if (on && !g_changed) {
        for (int k = 0; k < kTestColourCount; ++k) g_before[k] = GetSysColor(kTestColourElements[k]);
        SetSysColors(kTestColourCount, kTestColourElements, kTestColourValues);
        g_changed = true;
    } else if (!on && g_changed) {
        SetSysColors(kTestColourCount, kTestColourElements, g_before);
        g_changed = false;
    }
    if (HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, KSTTEST_COLOURS_DONE)) {
        SetEvent(done);
        CloseHandle(done);
    }
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK KstTestColourHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    static const UINT setColours = RegisterWindowMessageA(KSTTEST_SET_COLOURS);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == setColours)
        SetTestColours(msg->wParam == kTestColoursOn);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
