// What the keyboard hook does with one key message. Pure and allocation-free:
// it runs inside every application for every key, and is tested natively.
#pragma once

#include <cstdint>

#include "hook/hook_shared.h"

namespace kst {

enum KeySnatchMode : int32_t {
    kKeyModeHotkeys = 0,
    kKeyModeAllKeys = 1,
    kKeyModeNone = 2,
    kKeyModeStopOnly = 3,
};

constexpr uint32_t kVkC = 0x43;
constexpr uint32_t kVkX = 0x58;
constexpr uint32_t kVkV = 0x56;
constexpr uint32_t kHotkeyModifiers = kHotkeyAlt | kHotkeyCtrl;

// The key the program types after its own paste keystrokes (an unassigned
// virtual key). When the hook sees it in the application, every key typed
// before it has been handled there: the program may let its Ctrl go. The
// hook takes it in every mode and reports its press with this code.
constexpr uint32_t kOwnKeysDoneVk = 0xE8;
constexpr uint32_t kOwnKeysDoneCode = 0x400 | kOwnKeysDoneVk;

struct KeyEvent {
    uint32_t vk;     // wParam of the hook
    uint32_t lParam; // repeat count, scan code, bit 30 previous state, bit 31 release
    bool ctrl;       // in the receiving thread's key state
    bool alt;
    // Physically down (the asynchronous state). Consulted only for a modifier
    // of a hotkey we took whose release we have not seen yet.
    bool ctrlPhysical = false;
    bool altPhysical = false;
};

// Ctrl and Alt as one key state shows them.
struct ModifierState {
    bool ctrl;
    bool alt;
};

// The modifiers of a key come from the receiving thread's key state, except
// when the hook runs in the main program's own process on behalf of another
// application (the system's path for an application of the other bitness):
// that thread's state is ours, not the application's, and only the
// asynchronous state knows what the hands hold.
constexpr KeyEvent MakeKeyEvent(uint32_t vk, uint32_t lParam, bool inMainProcess, ModifierState thread,
                                ModifierState async) {
    const ModifierState used = inMainProcess ? async : thread;
    return KeyEvent{vk, lParam, used.ctrl, used.alt, async.ctrl, async.alt};
}

// One call of the keyboard hook for one key message in one thread. The same
// procedure can be called twice for one message when the system holds two
// registrations of it (a program that ended without removing its hooks and
// was started again from the same folder): the second call must neither
// decide again nor post again.

constexpr bool IsSameKeyCall(const KeyCallStamp& a, const KeyCallStamp& b) {
    return a.thread == b.thread && a.vk == b.vk && a.lParam == b.lParam && a.time == b.time;
}

struct Hotkeys {
    uint32_t popup;
    uint32_t clear;
    uint32_t stop;
    uint32_t simplePaste;
};

struct KeyDecision {
    bool swallow;
    bool clearOnceThrough;
    int postCount;
    uint32_t posts[2]; // wParam of each KEYBOARD_FORWARD to post, in order
    uint32_t heldAfter; // the held-modifier record to store for the next key
};

// Neither an auto-repeat nor a release.
constexpr bool IsFreshKey(uint32_t lParam) { return (lParam & 0xC0000000u) == 0; }
constexpr bool IsRelease(uint32_t lParam) { return (lParam & 0x80000000u) != 0; }

constexpr uint32_t HotkeyCodeOf(const KeyEvent& e) {
    return (e.vk & 0xFF) + (e.alt ? kHotkeyAlt : 0) + (e.ctrl ? kHotkeyCtrl : 0);
}

// Shift is not part of a hotkey and is ignored.
constexpr bool MatchesHotkey(const KeyEvent& e, uint32_t code) {
    return e.vk == (code & 0xFF) && e.ctrl == ((code & kHotkeyCtrl) != 0) &&
           e.alt == ((code & kHotkeyAlt) != 0);
}

inline KeyDecision PassKey() { return KeyDecision{false, false, 0, {0, 0}, 0}; }

inline KeyDecision TakeKey(KeyDecision d, uint32_t code) {
    d.posts[d.postCount++] = code;
    d.swallow = true;
    return d;
}

inline bool MatchesFresh(const KeyEvent& e, uint32_t code) {
    return MatchesHotkey(e, code) && IsFreshKey(e.lParam);
}

// The Ctrl+V the program types to paste: with the once-through flag set it
// passes whatever hotkey it matches (the popup key, simple paste, clear),
// with or without the Alt the hands hold. A release never uses the flag up:
// the user's own release, arriving late, would pass and the paste's press be
// taken instead.
constexpr bool IsOwnPastePress(const KeyEvent& e) { return e.vk == kVkV && e.ctrl && !IsRelease(e.lParam); }

inline KeyDecision LetOwnPasteThrough() {
    KeyDecision d = PassKey();
    d.clearOnceThrough = true;
    return d;
}

inline KeyDecision DecideHotkeyMode(const KeyEvent& e, const Hotkeys& keys, bool onceThrough) {
    if (onceThrough && IsOwnPastePress(e)) return LetOwnPasteThrough();
    KeyDecision d = PassKey();
    const uint32_t code = HotkeyCodeOf(e);
    // Every transition of the popup key is taken, so that the release of a
    // popup key press never reaches the application on its own.
    if (MatchesHotkey(e, keys.popup)) return TakeKey(d, code);
    if (MatchesFresh(e, keys.clear)) return TakeKey(d, code);
    if (MatchesFresh(e, keys.stop)) return TakeKey(d, code);
    if ((e.vk == kVkC || e.vk == kVkX) && e.ctrl && !e.alt && IsFreshKey(e.lParam))
        d.posts[d.postCount++] = e.vk + kHotkeyCtrl; // a copy: report it, let it through
    if (MatchesFresh(e, keys.simplePaste)) return TakeKey(d, code);
    return d;
}

// What the hook knows besides the key: whether it arrived in the thread the
// popup takes keys from, and whether the program has stopped taking the keys
// forwarded to it (then nothing is taken: the keyboard stays the user's).
struct KeySituation {
    bool inPopupThread = true;
    bool programStuck = false;
};

inline KeyDecision DecideModeKey(int32_t mode, const KeyEvent& e, const Hotkeys& keys, bool onceThrough,
                                 const KeySituation& situation) {
    if (situation.programStuck) return PassKey();
    switch (mode) {
    case kKeyModeHotkeys:
        return DecideHotkeyMode(e, keys, onceThrough);
    case kKeyModeAllKeys:
        return situation.inPopupThread ? TakeKey(PassKey(), e.vk) : PassKey();
    case kKeyModeStopOnly:
        if (onceThrough && IsOwnPastePress(e)) return LetOwnPasteThrough();
        return MatchesFresh(e, keys.stop) ? TakeKey(PassKey(), HotkeyCodeOf(e)) : PassKey();
    default:
        return PassKey();
    }
}

constexpr uint32_t ModifierBitOfKey(uint32_t vk) {
    return (vk == 0x11 || vk == 0xA2 || vk == 0xA3)   ? kHotkeyCtrl // VK_CONTROL, VK_LCONTROL, VK_RCONTROL
           : (vk == 0x12 || vk == 0xA4 || vk == 0xA5) ? kHotkeyAlt  // VK_MENU, VK_LMENU, VK_RMENU
                                                      : 0;
}

// held: the Ctrl and Alt bits of hotkeys taken since that modifier was last
// pressed or released. Typing our paste resets the application's key state
// (and clears Alt on purpose), so its state may show a modifier up that the
// user still holds: the record, confirmed by the physical state, stands in
// for it until the modifier's own release arrives. It stands in only when the
// state shows nothing beyond the record, so that our own Ctrl+V, typed with
// Alt cleared while the user holds Alt, is seen as the plain Ctrl+V it is.
// The release of Alt is taken too: the application saw Alt go down with
// nothing after it (we took the key), and a lone Alt release would open its
// menu bar.
inline KeyEvent WithHeldModifiers(KeyEvent e, uint32_t held) {
    const uint32_t inState = (e.ctrl ? kHotkeyCtrl : 0) | (e.alt ? kHotkeyAlt : 0);
    if (inState & ~held) return e;
    e.ctrl = e.ctrl || ((held & kHotkeyCtrl) && e.ctrlPhysical);
    e.alt = e.alt || ((held & kHotkeyAlt) && e.altPhysical);
    return e;
}

inline KeyDecision DecideKey(int32_t mode, KeyEvent e, const Hotkeys& keys, bool onceThrough,
                             uint32_t held = 0, const KeySituation& situation = KeySituation{}) {
    if (e.vk == kOwnKeysDoneVk) {
        KeyDecision done = PassKey();
        done.heldAfter = held;
        done.swallow = true;
        if (!IsRelease(e.lParam)) done.posts[done.postCount++] = kOwnKeysDoneCode;
        return done;
    }
    e = WithHeldModifiers(e, held);
    KeyDecision d = DecideModeKey(mode, e, keys, onceThrough, situation);
    d.heldAfter = held;
    const uint32_t modifier = ModifierBitOfKey(e.vk);
    const bool takesHotkeys = mode == kKeyModeHotkeys || mode == kKeyModeStopOnly;
    if (modifier && (IsRelease(e.lParam) || IsFreshKey(e.lParam))) {
        if (modifier == kHotkeyAlt && IsRelease(e.lParam) && (held & kHotkeyAlt) && takesHotkeys)
            d.swallow = true;
        d.heldAfter &= ~modifier;
        return d;
    }
    if (d.swallow && takesHotkeys)
        for (int i = 0; i < d.postCount; ++i) d.heldAfter |= d.posts[i] & kHotkeyModifiers;
    return d;
}

} // namespace kst
