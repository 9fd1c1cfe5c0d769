// Saving the history as it changes: about a second after the first change
// not yet on disk (see SaveSchedule); the write itself runs on a worker
// thread from a snapshot that shares the entries' texts, so a large history
// never stalls the user-interface thread. The worker reports how it went.
#pragma once

#include <windows.h>

#include <string>

#include "history/clip_history.h"
#include "history/save_schedule.h"

namespace kst {

class HistorySaver {
  public:
    static constexpr UINT_PTR kTimerId = 0x5A7E;
    static constexpr UINT kDelayMs = 1000;
    // Posted to the window when a write has ended, wParam saying how.
    static constexpr UINT kWriteEndedMessage = WM_APP + 0x5A7;
    enum WriteResult : WPARAM { kWriteFailed = 0, kWritten = 1, kWriteLackedMemory = 2 };

    HistorySaver() = default;
    ~HistorySaver() { Finish(); }
    HistorySaver(const HistorySaver&) = delete;
    HistorySaver& operator=(const HistorySaver&) = delete;

    // The window whose WM_TIMER with kTimerId calls OnTimer.
    void SetWindow(HWND window) { window_ = window; }
    // The history changed.
    void Schedule();
    // The delay is over: writes the snapshot on a worker thread, or waits
    // another delay for an earlier write still under way.
    // sealer: the files sealed for the user (null: plain).
    void OnTimer(const ClipHistory& history, const std::string& path, const FileSealer* sealer);
    // Stops the timer and waits for a write under way: the caller's own
    // save comes after it, never beside it.
    void Finish();
    // Stops the timer and forgets the save that was due; a write under way
    // goes on.
    void Cancel();
    bool IsWriting() const;

  private:
    HWND window_ = nullptr;
    HANDLE worker_ = nullptr;
    SaveSchedule schedule_;
};

} // namespace kst
