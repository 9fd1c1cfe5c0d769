// Opening the clipboard the patient way: five attempts with a 200 ms pause
// after each failure, about a second in all, then giving up.
#pragma once

#include <windows.h>

#include "base/message_wait.h"

namespace kst {

class ClipboardSession {
  public:
    explicit ClipboardSession(HWND owner) {
        for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != 0;
            if (!open_) PauseHandlingSentMessages(200);
        }
    }
    ~ClipboardSession() {
        if (open_) CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_ = false;
};

} // namespace kst
