// Which keys the hook takes, decided in one place from what the program is
// doing. No Windows headers: tested natively.
#pragma once

#include "hook/key_decision.h"

namespace kst {

struct ProgramKeyState {
    bool sheetOpen = false;   // the settings sheet: the hotkeys rest
    bool typingPaste = false; // our own keystrokes are on their way
    bool popupOpen = false;   // every key goes to the popup
    bool paused = false;      // only the stop key
};

constexpr KeySnatchMode KeyModeFor(const ProgramKeyState& s) {
    if (s.sheetOpen) return kKeyModeNone;
    if (s.popupOpen && !s.typingPaste) return kKeyModeAllKeys;
    return s.paused ? kKeyModeStopOnly : kKeyModeHotkeys;
}

} // namespace kst
