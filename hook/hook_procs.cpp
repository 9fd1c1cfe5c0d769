// The hook procedures. They run inside other applications' threads: no
// allocation, no lock, no wait; only the shared block and the stack; and
// whatever they do not take is passed on.
#include <string.h>

#include "hook/key_decision.h"
#include "hook/ksthook.h"
#include "hook/shared_block.h"

static bool IsKeyDown(const BYTE* state, int vk) { return (state[vk] & 0x80) != 0; }

// With the main program gone there is nobody to take keys for: a program
// that was killed can leave its hook registered (Wine keeps such hooks), and
// it must not go on swallowing the user's keys.
static bool MainProgramIsAlive() { return IsWindow(WindowFromField(Control().mainWindow)) != FALSE; }

static bool ProgramIsStuck() {
    return kst::ProgramLooksStuck(g_exchange.forwardsPosted, g_exchange.forwardsTaken, g_exchange.progressTick,
                                  GetTickCount());
}

// The thread a key is typed in. In the main program's process (the system's
// path for an application of the other bitness) the key is the foreground
// application's, not ours.
static uint32_t KeyThread() {
    if (!g_isMainProcess) return GetCurrentThreadId();
    return GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
}

// In key mode 1 a key is the popup's only in its thread and while the
// window it opened over is in front: another window of that thread come to
// the front (a dialog) takes its keys at once, before the popup has closed.
static bool KeyIsForPopup() {
    const kst::HookControlBlock& c = Control();
    if (KeyThread() != c.popupThread) return false;
    if (!c.popupRoot) return true;
    const HWND front = GetForegroundWindow();
    return !front || GetAncestor(front, GA_ROOT) == WindowFromField(c.popupRoot);
}

// A forward posted to an empty backlog starts the clock of the program's
// progress; the count is bumped with one atomic instruction (no lock), as
// hooks in several processes may post at once. A process below the
// program's level (its control block read-only) forwards as such.
static bool ForwardKey(WPARAM code, LPARAM lParam) {
    const kst::HookControlBlock& c = Control();
    if (!PostToMain(g_controlWritable ? c.keyboardForwardMsg : c.lowerForwardMsg, code, lParam)) return false;
    if (g_exchange.forwardsPosted == g_exchange.forwardsTaken) g_exchange.progressTick = GetTickCount();
    InterlockedIncrement(reinterpret_cast<volatile LONG*>(&g_exchange.forwardsPosted));
    return true;
}

KSTHOOK_API LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    const kst::HookControlBlock& control = Control();
    const HHOOK next = HookFromField(control.keyboardHook);
    if (code != HC_ACTION || !MainProgramIsAlive()) return CallNextHookEx(next, code, wParam, lParam);
    const kst::KeyCallStamp call{(uint32_t)GetCurrentThreadId(), (uint32_t)wParam, (uint32_t)lParam,
                                 (uint32_t)GetMessageTime()};
    if (kst::IsSameKeyCall(call, g_exchange.passingOn)) return CallNextHookEx(next, code, wParam, lParam);

    BYTE state[256];
    if (!GetKeyboardState(state)) memset(state, 0, sizeof state);
    const uint32_t held = g_exchange.heldModifiers;
    const kst::ModifierState thread{IsKeyDown(state, VK_CONTROL), IsKeyDown(state, VK_MENU)};
    // The asynchronous state is read only where it counts: in the main
    // program's process, or for a modifier held across our own paste.
    const bool asyncCounts = g_isMainProcess || held != 0;
    const kst::ModifierState async{asyncCounts && GetAsyncKeyState(VK_CONTROL) < 0,
                                   asyncCounts && GetAsyncKeyState(VK_MENU) < 0};
    const kst::KeyEvent event = kst::MakeKeyEvent((uint32_t)wParam, (uint32_t)lParam, g_isMainProcess, thread, async);
    const kst::Hotkeys keys{control.popupKey, control.clearKey, control.stopKey, control.simplePasteKey};
    const int32_t mode = control.keyMode;
    kst::KeySituation situation;
    situation.inPopupThread = mode != kst::kKeyModeAllKeys || KeyIsForPopup();
    situation.programStuck = ProgramIsStuck();
    const bool onceThrough = g_exchange.onceThrough != 0 && KeyThread() == g_exchange.onceThroughThread;
    kst::KeyDecision d = kst::DecideKey(mode, event, keys, onceThrough, held, situation);

    if (d.clearOnceThrough) g_exchange.onceThrough = 0;
    bool delivered = true;
    for (int i = 0; i < d.postCount; ++i) delivered = ForwardKey(d.posts[i], lParam) && delivered;
    // A key the program will never hear of is the application's: never
    // swallow it, and record no modifier as taken with it.
    if (!delivered) {
        d.swallow = false;
        d.heldAfter &= held;
    }
    if (d.heldAfter != held) g_exchange.heldModifiers = d.heldAfter;
    if (d.swallow) return 1;
    // A second registration of this procedure is called from inside
    // CallNextHookEx: only there is the same call the same key. The message
    // time alone cannot tell: it stays put while keys are being taken.
    g_exchange.passingOn = call;
    const LRESULT result = CallNextHookEx(next, code, wParam, lParam);
    g_exchange.passingOn = kst::KeyCallStamp{};
    return result;
}

KSTHOOK_API LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    const kst::HookControlBlock& control = Control();
    if (code == HC_ACTION && control.mouseMode == 1 && MainProgramIsAlive()) {
        PostToMain(control.mouseForwardMsg, wParam, lParam);
        return 1;
    }
    return CallNextHookEx(HookFromField(control.mouseHook), code, wParam, lParam);
}

static void AnswerCaretQuery() {
    POINT caret;
    if (!GetCaretPos(&caret)) caret = POINT{0, 1};
    ClientToScreen(GetFocus(), &caret);
    g_exchange.caretX = caret.x;
    g_exchange.caretY = caret.y;
    if (HANDLE event = OpenEventA(EVENT_ALL_ACCESS, FALSE, KST_EVENT_CARET_ANSWER)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

// Copies at most the size of the caller's mapping, so that a smaller mapping
// than expected can never make us write past it in this foreign process.
static void WriteModuleFileName(const char* name, size_t length) {
    HANDLE map = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, KST_MAP_MODULE_FILE_NAME);
    if (!map) return;
    if (void* view = MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        MEMORY_BASIC_INFORMATION info;
        const size_t room = VirtualQuery(view, &info, sizeof info) ? info.RegionSize : 0;
        if (room > 0) {
            const size_t n = length < room ? length : room - 1;
            memcpy(view, name, n);
            static_cast<char*>(view)[n] = '\0';
        }
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
}

static void AnswerModuleQuery() {
    g_exchange.moduleRequest = 0;
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
    if (length >= sizeof name) length = sizeof name - 1; // truncated names lack the zero
    name[length] = '\0';
    WriteModuleFileName(name, length);
    if (HANDLE event = OpenEventA(EVENT_ALL_ACCESS, FALSE, KST_EVENT_MODULE_ANSWER)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

KSTHOOK_API LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        const uint32_t caretQuery = Control().caretQueryMsg;
        if (caretQuery && msg->message == caretQuery) {
            AnswerCaretQuery();
            return 1;
        }
        if (g_exchange.moduleRequest) AnswerModuleQuery();
    }
    return CallNextHookEx(HookFromField(Control().messageHook), code, wParam, lParam);
}

KSTHOOK_API LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE || code == HCBT_SETFOCUS)
        PostToMain(Control().activationNoticeMsg, wParam, 1);
    return CallNextHookEx(HookFromField(Control().activationHook), code, wParam, lParam);
}

KSTHOOK_API LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == WM_ACTIVATE && sent->hwnd != (HWND)sent->lParam)
            PostToMain(Control().activationNoticeMsg, (WPARAM)sent->hwnd, LOWORD(sent->wParam));
    }
    return CallNextHookEx(HookFromField(Control().callWndHook), code, wParam, lParam);
}
