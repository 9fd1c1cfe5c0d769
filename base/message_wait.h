// Waiting on the user-interface thread without stopping what the system
// sends it: other programs' sent messages (the clipboard chain) and, on
// 64-bit Windows, the keyboard hook of applications of the other bitness
// run on this thread. Posted messages stay queued, in order, for the message
// loop: nothing is handled out of turn.
#pragma once

#include <windows.h>

namespace kst {

// Waits for the handle (null: just the time) while handling sent messages.
// True when the handle was signalled.
inline bool WaitPumpingSentMessages(HANDLE handle, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (timeoutMs != INFINITE && elapsed >= timeoutMs) return false;
        const DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - elapsed;
        const DWORD count = handle ? 1 : 0;
        const DWORD woke = MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, left, QS_SENDMESSAGE);
        if (handle && woke == WAIT_OBJECT_0) return true;
        if (woke == WAIT_OBJECT_0 + count) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        if (woke != WAIT_TIMEOUT) return false; // a bad handle: nothing to wait for
    }
}

inline void PauseHandlingSentMessages(DWORD ms) { WaitPumpingSentMessages(nullptr, ms); }

} // namespace kst
