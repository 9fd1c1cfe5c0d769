// What the history asks of the world around it: the balloon, the beep, the
// entry-count message to the main window, the local time, and a progress
// display for each entry. The program plugs in the real ones; tests observe.
#pragma once

#include <memory>

#include "history/local_time.h"
#include "reform/progress_indicator.h"

namespace kst {

class HistoryHost {
  public:
    virtual ~HistoryHost() = default;
    virtual void Information(const char* title, const char* text) = 0;
    virtual void Beep() = 0;
    virtual void PostUpdateCount(int count) = 0;
    virtual LocalTime Now() = 0;
    virtual std::unique_ptr<ProgressIndicator> NewProgress() { return nullptr; }
    // Whether a clipboard change may enter the history now: the copy-key
    // rule (uses up the mark of the last Ctrl+C or Ctrl+X) and the
    // application in front (not excluded, answering).
    virtual bool TakeCopyKeyMark() { return true; }
    virtual bool ForegroundAllowsCapture() { return true; }
    // An entry came, went, or changed its rank: what the file keeps changed.
    virtual void HistoryChanged() {}
};

} // namespace kst
