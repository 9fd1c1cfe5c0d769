// A small always-on-top progress bar shown while a long entry is converted.
// It never takes the activation from the application about to be pasted into.
#pragma once

#include <windows.h>

#include "reform/progress_indicator.h"

namespace kst {

constexpr char kProgressClass[] = "Injected_KestraneProgress";
constexpr char kProgressProperty[] = "LPINJECTED_KESTRANEPROGRESSCLASS";
constexpr int kProgressWidth = 300, kProgressHeight = 47;

class ProgressWindow : public ProgressIndicator {
  public:
    ProgressWindow() = default;
    ~ProgressWindow() override { alive = 0; }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    int Create(void* instance) override; // owner: the current foreground window
    int CreateOwned(HINSTANCE instance, HWND owner);
    void Init() override;
    void SetStep(int position) override;
    int GetStep() const override { return step; }
    void Destroy() override;
    HWND Window() const { return window; }

    int alive = 1;

  private:
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND progressBar = nullptr;
    int step = 0;
};

} // namespace kst
