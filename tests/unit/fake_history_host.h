// A history host that records what the history announces and posts.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "history/history_host.h"
#include "tests/unit/recording_progress.h"

struct FakeHistoryHost : kst::HistoryHost {
    std::vector<std::pair<std::string, std::string>> notes; // title, text
    std::vector<int> posted;
    int beeps = 0;
    kst::LocalTime now{2000, 3, 1, 13, 2, 13, 45, 500};
    int progressDisplays = 0;
    int changes = 0;

    void Information(const char* title, const char* text) override { notes.emplace_back(title, text); }
    void Beep() override { ++beeps; }
    void PostUpdateCount(int count) override { posted.push_back(count); }
    kst::LocalTime Now() override { return now; }
    void HistoryChanged() override { ++changes; }
    std::unique_ptr<kst::ProgressIndicator> NewProgress() override {
        ++progressDisplays;
        return std::make_unique<RecordingProgress>();
    }
};
