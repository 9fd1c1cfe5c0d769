// The input method of the application the popup opened over, switched off
// while the popup is open and on again after: the keys typed meanwhile are
// for the popup, and none of them may start a composition in the
// application.
#pragma once

#include <windows.h>

namespace kst {

class TargetInputMethod {
  public:
    // Off, if it is on, for the thread of the window.
    void Suspend(HWND target);
    // On again, if Suspend switched it off.
    void Resume();

  private:
    HWND imeWindow = nullptr;
    bool switchedOff = false;
};

} // namespace kst
