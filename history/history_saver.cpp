#include "history_saver.h"

namespace kst {
namespace {

struct SaveJob {
    std::string path;
    HistorySnapshot snapshot;
};

DWORD WINAPI WriteSnapshotThread(LPVOID param) {
    SaveJob* job = static_cast<SaveJob*>(param);
    WriteHistoryFile(job->path, job->snapshot);
    delete job;
    return 0;
}

} // namespace

void HistorySaver::Schedule() {
    if (window_) SetTimer(window_, kTimerId, kDelayMs, nullptr);
}

bool HistorySaver::IsWriting() const { return worker_ && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT; }

void HistorySaver::OnTimer(const ClipHistory& history, const std::string& path) {
    if (IsWriting()) return;
    if (window_) KillTimer(window_, kTimerId);
    if (worker_) CloseHandle(worker_);
    worker_ = nullptr;
    auto* job = new SaveJob{path, history.Snapshot()};
    worker_ = CreateThread(nullptr, 0, WriteSnapshotThread, job, 0, nullptr);
    if (!worker_) { // no thread to be had: write here rather than not at all
        WriteSnapshotThread(job);
    }
}

void HistorySaver::Finish() {
    if (window_) KillTimer(window_, kTimerId);
    if (!worker_) return;
    WaitForSingleObject(worker_, INFINITE);
    CloseHandle(worker_);
    worker_ = nullptr;
}

} // namespace kst
