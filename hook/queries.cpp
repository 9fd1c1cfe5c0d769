// The caret and module queries: a message hook on the one queried thread
// answers from inside that process and sets a named event that we wait for.
#include "base/message_wait.h"
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
// it meanwhile is handled while it waits; posted messages stay queued.
bool WaitForAnswer(HANDLE event, DWORD timeoutMs) { return event && kst::WaitPumpingSentMessages(event, timeoutMs); }

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
