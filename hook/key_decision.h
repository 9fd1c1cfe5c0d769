// What the keyboard hook does with one key message. Pure and allocation-free:
// it runs inside every application for every key, and is tested natively.
#pragma once

#include <cstdint>

#include "hook_shared.h"

namespace kst {

enum KeySnatchMode : int32_t {
    kKeyModeHotkeys = 0,
    kKeyModeAllKeys = 1,
    kKeyModeNone = 2,
    kKeyModeStopOnly = 3,
};

constexpr uint32_t kVkC = 0x43;
constexpr uint32_t kVkX = 0x58;

struct KeyEvent {
    uint32_t vk;     // wParam of the hook
    uint32_t lParam; // repeat count, scan code, bit 30 previous state, bit 31 release
    bool ctrl;
    bool alt;
};

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

inline KeyDecision PassKey() { return KeyDecision{false, false, 0, {0, 0}}; }

inline KeyDecision TakeKey(KeyDecision d, uint32_t code) {
    d.posts[d.postCount++] = code;
    d.swallow = true;
    return d;
}

inline bool MatchesFresh(const KeyEvent& e, uint32_t code) {
    return MatchesHotkey(e, code) && IsFreshKey(e.lParam);
}

inline KeyDecision DecideHotkeyMode(const KeyEvent& e, const Hotkeys& keys, bool onceThrough) {
    KeyDecision d = PassKey();
    const uint32_t code = HotkeyCodeOf(e);
    // Every transition of the popup key is taken, so that the release of a
    // popup key press never reaches the application on its own; the
    // once-through flag lets exactly one press through for our own
    // synthesised paste. A release never uses it up: the user's own release,
    // arriving late, would pass and the paste's press be taken instead.
    if (MatchesHotkey(e, keys.popup)) {
        if (!onceThrough || IsRelease(e.lParam)) return TakeKey(d, code);
        d.clearOnceThrough = true;
    }
    if (MatchesFresh(e, keys.clear)) return TakeKey(d, code);
    if (MatchesFresh(e, keys.stop)) return TakeKey(d, code);
    if ((e.vk == kVkC || e.vk == kVkX) && e.ctrl && !e.alt && IsFreshKey(e.lParam))
        d.posts[d.postCount++] = e.vk + kHotkeyCtrl; // a copy: report it, let it through
    if (MatchesFresh(e, keys.simplePaste)) return TakeKey(d, code);
    return d;
}

inline KeyDecision DecideKey(int32_t mode, const KeyEvent& e, const Hotkeys& keys,
                             bool onceThrough) {
    switch (mode) {
    case kKeyModeHotkeys:
        return DecideHotkeyMode(e, keys, onceThrough);
    case kKeyModeAllKeys:
        return TakeKey(PassKey(), e.vk);
    case kKeyModeStopOnly:
        return MatchesFresh(e, keys.stop) ? TakeKey(PassKey(), HotkeyCodeOf(e)) : PassKey();
    default:
        return PassKey();
    }
}

} // namespace kst
