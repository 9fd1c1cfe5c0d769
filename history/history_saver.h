// Saving the history as it changes: one timer, restarted by every change, so
// that a burst of copies costs one write about a second after the last; the
// write itself runs on a worker thread from a snapshot that shares the
// entries' texts, so a large history never stalls the user-interface thread.
#pragma once

#include <windows.h>

#include <string>

#include "clip_history.h"

namespace kst {

class HistorySaver {
  public:
    static constexpr UINT_PTR kTimerId = 0x5A7E;
    static constexpr UINT kDelayMs = 1000;

    HistorySaver() = default;
    ~HistorySaver() { Finish(); }
    HistorySaver(const HistorySaver&) = delete;
    HistorySaver& operator=(const HistorySaver&) = delete;

    // The window whose WM_TIMER with kTimerId calls OnTimer.
    void SetWindow(HWND window) { window_ = window; }
    // (Re)starts the delay.
    void Schedule();
    // The delay is over: writes the snapshot on a worker thread. While an
    // earlier write still runs the timer stays, and this one waits its turn.
    void OnTimer(const ClipHistory& history, const std::string& path);
    // Stops the timer and waits for a write under way: the caller's own
    // save comes after it, never beside it.
    void Finish();
    bool IsWriting() const;

  private:
    HWND window_ = nullptr;
    HANDLE worker_ = nullptr;
};

} // namespace kst
