#include "history/history_saver.h"

#include <new>

#include "base/message_wait.h"

namespace kst {
namespace {

struct SaveJob {
    std::string path;
    HistorySnapshot snapshot;
    HWND reportTo;
    const FileSealer* sealer;
};

DWORD WINAPI WriteSnapshotThread(LPVOID param) {
    SaveJob* job = static_cast<SaveJob*>(param);
    WPARAM result = HistorySaver::kWriteLackedMemory;
    try {
        result = WriteHistoryFile(job->path, job->snapshot, job->sealer) == 1 ? HistorySaver::kWritten
                                                                               : HistorySaver::kWriteFailed;
    } catch (const std::bad_alloc&) {
    }
    if (job->reportTo) PostMessageA(job->reportTo, HistorySaver::kWriteEndedMessage, result, 0);
    delete job;
    return 0;
}

} // namespace

// Before the window exists (the history being loaded) there is nothing new
// to save, and no timer to start.
void HistorySaver::Schedule() {
    if (window_ && schedule_.OnChange()) SetTimer(window_, kTimerId, kDelayMs, nullptr);
}

bool HistorySaver::IsWriting() const { return worker_ && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT; }

void HistorySaver::OnTimer(const ClipHistory& history, const std::string& path, const FileSealer* sealer) {
    const SaveSchedule::Action action = schedule_.OnDelayOver(IsWriting());
    if (action == SaveSchedule::kWaitForWriter) return; // the timer runs on
    if (window_) KillTimer(window_, kTimerId);
    if (action != SaveSchedule::kWrite) return;
    if (worker_) CloseHandle(worker_);
    worker_ = nullptr;
    SaveJob* job = nullptr;
    try {
        job = new SaveJob{path, history.Snapshot(), window_, sealer};
    } catch (const std::bad_alloc&) { // tried again after another delay
        Schedule();
        return;
    }
    worker_ = CreateThread(nullptr, 0, WriteSnapshotThread, job, 0, nullptr);
    if (!worker_) { // no thread to be had: write here rather than not at all
        WriteSnapshotThread(job);
    }
}

void HistorySaver::Cancel() {
    if (window_) KillTimer(window_, kTimerId);
    schedule_.Cancel();
}

void HistorySaver::Finish() {
    Cancel();
    if (!worker_) return;
    WaitPumpingSentMessages(worker_, INFINITE);
    CloseHandle(worker_);
    worker_ = nullptr;
}

} // namespace kst
