// The caret and module queries: a message hook on the one queried thread
// answers from inside that process and sets a named event that we wait for.
#include "hook/ksthook.h"
#include "hook/shared_block.h"

namespace {

constexpr DWORD kCaretTimeoutMs = 200;
constexpr DWORD kModuleTimeoutMs = 500;

// Creates the answer event in the not-set state even when a stale one exists.
HANDLE CreateAnswerEvent(const char* name) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name);
    if (event) ResetEvent(event);
    return event;
}

HHOOK HookThreadMessages(DWORD threadId) {
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, g_instance, threadId);
    if (kst::HookControlBlock* control = ProgramControl()) control->messageHook = FieldFromHandle(hook);
    return hook;
}

void UnhookThreadMessages(HHOOK hook) {
    UnhookWindowsHookEx(hook);
    if (kst::HookControlBlock* control = ProgramControl()) control->messageHook = 0;
}

// The caller is the program's user-interface thread: what the system sends
// it meanwhile (the clipboard chain, the keyboard hook of applications of the
// other bitness) is handled while it waits; posted messages stay queued.
bool WaitForAnswer(HANDLE event, DWORD timeoutMs) {
    if (!event) return false;
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < timeoutMs; elapsed = GetTickCount() - start) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return false;
}

} // namespace

KSTHOOK_API UINT32 GetForegroundProcessCaretPos(void) {
    const HWND foreground = GetForegroundWindow();
    const DWORD threadId = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (!threadId) return 0;
    const HHOOK hook = HookThreadMessages(threadId);
    if (!hook) return 0;
    g_exchange.caretX = -1;
    g_exchange.caretY = -1;
    const HANDLE event = CreateAnswerEvent(KST_EVENT_CARET_ANSWER);
    PostMessageA(foreground, Control().caretQueryMsg, 0, 0);
    const bool answered = WaitForAnswer(event, kCaretTimeoutMs);
    if (event) CloseHandle(event);
    UnhookThreadMessages(hook);
    return answered ? kst::PackCaretPos(g_exchange.caretX, g_exchange.caretY) : 0;
}

KSTHOOK_API int GetForegroundProcessModuleFileName(HWND window) {
    const DWORD threadId = window ? GetWindowThreadProcessId(window, nullptr) : 0;
    if (!threadId) return 0;
    const HHOOK hook = HookThreadMessages(threadId);
    if (!hook) return 0;
    const HANDLE event = CreateAnswerEvent(KST_EVENT_MODULE_ANSWER);
    g_exchange.moduleRequest = FieldFromHandle(window);
    PostThreadMessageA(threadId, Control().moduleQueryMsg, 0, 0);
    const bool answered = WaitForAnswer(event, kModuleTimeoutMs);
    if (event) CloseHandle(event);
    UnhookThreadMessages(hook);
    return answered ? 1 : 0;
}
