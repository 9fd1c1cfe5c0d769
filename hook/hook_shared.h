// The block that every process mapping ksthook.dll shares, and the pure
// arithmetic around it. No Windows headers: the native tests include this.
#pragma once

#include <cstdint>

namespace kst {

// Two blocks. The control block says whom the hooks work for and how: only
// the program, and processes at its integrity level, may write it (a named
// mapping whose label denies writes from below). The exchange block holds
// what the hooks in every process write (counts, answers, held modifiers),
// in a section of the library that every process maps writable: nothing in
// it can send a key anywhere.
//
// Naturally aligned 32-bit fields, each written whole, so that readers in
// other processes never see a torn value. Window and hook handles are kept in
// 32 bits: user handles are 32-bit values even on 64-bit Windows.
struct HookControlBlock {
    uint32_t mainWindow;
    uint32_t messageHook;
    uint32_t keyboardHook;
    uint32_t mouseHook;
    uint32_t callWndHook;
    uint32_t activationHook;
    uint32_t keyboardForwardMsg;
    // Key forwards from hooks in processes below the program's integrity
    // level: the program never types for them into a window at its level.
    uint32_t lowerForwardMsg;
    uint32_t mouseForwardMsg;
    uint32_t caretQueryMsg;
    uint32_t moduleQueryMsg;
    uint32_t activationNoticeMsg;
    int32_t keyMode;
    int32_t mouseMode;
    uint32_t popupKey;
    uint32_t clearKey;
    uint32_t stopKey;
    uint32_t simplePasteKey;
    // The thread the popup's keys come from: in key mode 1 a key typed in
    // any other thread belongs to another application and passes.
    uint32_t popupThread;
    // The top-level window the popup opened over (0: any window of that
    // thread): a key typed while another window is in front (a dialog of
    // the same thread) is that window's.
    uint32_t popupRoot;
};
static_assert(sizeof(HookControlBlock) == 20 * 4, "the control block is 20 32-bit fields");

constexpr HookControlBlock kInitialHookControlBlock = {
    0, 0, 0, 0, 0, 0,          // window, hooks
    0, 0, 0, 0, 0, 0,          // message ids
    0, 0,                      // key mode, mouse mode
    0x156, 0x108, 0x308, 0x356, // popup, clear, stop, simple-paste keys
    0, 0,                      // popup thread and window
};

// The key call being passed on down the chain (its thread tells whose it is).
struct KeyCallStamp {
    uint32_t thread;
    uint32_t vk;
    uint32_t lParam;
    uint32_t time; // the message's time
};

struct HookExchange {
    uint32_t moduleRequest;
    // Our own Ctrl+V passes whatever hotkey it matches, once, in the thread
    // it was typed into: a mark left by a paste into an application no hook
    // sees never lets the user's next Ctrl+V elsewhere pass the popup by.
    int32_t onceThrough;
    uint32_t onceThroughThread;
    int32_t caretX;
    int32_t caretY;
    // Key forwards posted by the hooks and taken by the program, and the last
    // tick either side made progress: forwards left untaken for long mean a
    // program that cannot answer, and its hotkeys must not swallow keys.
    uint32_t forwardsPosted;
    uint32_t forwardsTaken;
    uint32_t progressTick;
    // The Ctrl and Alt of hotkeys taken and not yet released.
    uint32_t heldModifiers;
    KeyCallStamp passingOn;
};
static_assert(sizeof(HookExchange) == 13 * 4, "the exchange block is 13 32-bit fields");

constexpr HookExchange kInitialHookExchange = {0, 0, 0, -1, -1, 0, 0, 0, 0, {0, 0, 0, 0}};

// The control block's mapping is named after the library's own path, so
// that two copies of the program in two folders never share one (a killed
// copy's hooks stay registered and must keep to their own). ASCII letters
// are folded: the loader and the program may spell the path differently.
constexpr size_t kControlNameSize = 40;
inline void ControlMappingName(const char16_t* libraryPath, char (&name)[kControlNameSize]) {
    uint32_t hash = 2166136261u; // FNV-1a
    for (const char16_t* p = libraryPath; *p; ++p) {
        const char16_t c = *p >= u'a' && *p <= u'z' ? static_cast<char16_t>(*p - 0x20) : *p;
        hash = (hash ^ (c & 0xFF)) * 16777619u;
        hash = (hash ^ (c >> 8)) * 16777619u;
    }
    const char prefix[] = "KESTRANE_HOOKCONTROL_";
    size_t k = 0;
    for (; prefix[k]; ++k) name[k] = prefix[k];
    for (int shift = 28; shift >= 0; shift -= 4) name[k++] = "0123456789ABCDEF"[(hash >> shift) & 0xF];
    name[k] = '\0';
}

// HotkeyCode: virtual key in bits 0-7, Alt 0x100, Ctrl 0x200.
constexpr uint32_t kHotkeyAlt = 0x100;
constexpr uint32_t kHotkeyCtrl = 0x200;

// Registry form: modifiers 1 Alt, 2 Ctrl, 3 both. The key is cut to its low
// byte so that an odd stored value cannot spill into the modifier bits.
constexpr uint32_t ComposeHotkeyCode(uint32_t key, uint32_t modifiers) {
    return (key & 0xFF) + ((modifiers & 2) ? kHotkeyCtrl : 0) + ((modifiers & 1) ? kHotkeyAlt : 0);
}

// How long forwarded keys may wait untaken before the program counts as not
// answering: longer than the longest thing it does between two forwards
// (a paste typed into a slow application, about 1.2 s).
constexpr uint32_t kProgramStuckMs = 2000;

// Whether forwards are waiting and nobody has made progress for a while.
// Tick arithmetic wraps, as GetTickCount does after 49.7 days.
constexpr bool ProgramLooksStuck(uint32_t posted, uint32_t taken, uint32_t progressTick, uint32_t now) {
    return posted != taken && now - progressTick > kProgramStuckMs;
}

// Caret answer: x in the low word, y in the high word, 16 bits each.
constexpr uint32_t PackCaretPos(int32_t x, int32_t y) {
    return (static_cast<uint32_t>(y) & 0xFFFF) << 16 | (static_cast<uint32_t>(x) & 0xFFFF);
}

} // namespace kst
