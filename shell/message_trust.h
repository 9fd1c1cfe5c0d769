// What the program lets in from processes below its integrity level, and
// what a key forward from there may do. No Windows headers: tested natively.
#pragma once

#include <cstdint>

#include "base/unknown_level.h"

namespace kst {

enum AppMessage {
    kMsgKeyboardForward,
    kMsgMouseForward,
    kMsgAttachedActiveChange,
    kMsgUpdateClipboardNotify,
    kMsgTrayNotify,
    kMsgGeneralNotify,
    kMsgLowerKeyboardForward, // from hooks in processes below the program's level
    kMessageCount,
};

// Not elevated, nothing comes up from below: a hook there finds its post
// refused and passes the key. Elevated, only what ordinary applications
// must send: their hooks' forwards (on a message of their own), the mouse
// forward, and the tray's callback; never the general commands, which type,
// copy, paste and clear.
constexpr bool LetInFromBelow(AppMessage message, bool elevated) {
    return elevated &&
           (message == kMsgLowerKeyboardForward || message == kMsgMouseForward || message == kMsgTrayNotify);
}

// A forward from below acts only while the window in front is below the
// program's level as well: it never makes the program type into a window
// at its own level or above (an administrator's console).
constexpr bool MayActOnForward(bool fromBelow, uint32_t frontLevel, uint32_t programLevel) {
    return !fromBelow || frontLevel < programLevel;
}

} // namespace kst
