// When the history is written: about a second after the first change that is
// not on disk yet, however many changes follow it. A timer restarted by every
// change would wait for a pause that a steady stream of copies never makes.
// No Windows headers: tested natively.
#pragma once

namespace kst {

class SaveSchedule {
  public:
    // A change of the history: true when the delay is to be started (no save
    // is due yet); a change while one is due rides along with it.
    bool OnChange() {
        if (due_) return false;
        due_ = true;
        return true;
    }
    // The delay is over. While an earlier write still runs the save stays
    // due and the delay goes on; otherwise the snapshot is to be written now.
    enum Action { kNothing, kWaitForWriter, kWrite };
    Action OnDelayOver(bool writerBusy) {
        if (!due_) return kNothing;
        if (writerBusy) return kWaitForWriter;
        due_ = false;
        return kWrite;
    }
    bool Due() const { return due_; }
    void Cancel() { due_ = false; }

  private:
    bool due_ = false;
};

} // namespace kst
