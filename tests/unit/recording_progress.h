// A progress display that records what the reformatter asks of it.
#pragma once

#include <vector>

#include "reform/progress_indicator.h"

struct RecordingProgress : kst::ProgressIndicator {
    int created = 0, inits = 0, destroyed = 0;
    int step = 0;
    std::vector<int> steps;
    int Create(void*) override { return ++created; }
    void Init() override {
        ++inits;
        step = 0;
    }
    void SetStep(int position) override {
        step = position;
        steps.push_back(position);
    }
    int GetStep() const override { return step; }
    void Destroy() override { ++destroyed; }
};
