// The balloon: a title band and a wrapped text beside an anchor window for a
// few seconds. Topmost, never activated, so the caret of the application
// being pasted into is never disturbed.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/shared_gdi.h"

namespace kst {

constexpr char kTooltipClass[] = "Injected_KestraneTooltip";
constexpr char kTooltipProperty[] = "LPINJECTED_KESTRANETOOLTIPCLASS";
constexpr UINT_PTR kShowTimer = 1, kHideTimer = 2;
// A hidden child that holds the balloon's text, for screen readers and
// anything else that reads windows' texts (the window's own is the title).
constexpr int kTooltipTextId = 1;

class Tooltip {
  public:
    Tooltip() = default;
    ~Tooltip();
    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;

    int Create(HINSTANCE instance, HWND anchor, HWND owner);
    void Destroy();
    int Init();
    void SetTitleText(const char* text);
    // standIns: what the text's stand-ins hold (see StandIns).
    void SetContentText(const char* text, const StandIns* standIns = nullptr);
    // A picture shown under the title, before the text (null: none).
    void SetPicture(std::shared_ptr<const Image> shown);
    void SetDisplayTime(UINT delay, UINT duration);
    void Information(const char* title, const char* text, const StandIns* standIns = nullptr);
    int Show(UINT_PTR kind);
    void Paint(HWND window);

    HWND Window() const { return window; }

    int alive = 1;
    int placement = 0;

  private:
    int MeasureLine(const char* text, const StandIns* standIns = nullptr) const;
    RECT AnchorRect() const;
    void SetAlpha(BYTE alpha) const;
    void FadeIn();
    void FadeOut();

    HWND anchor = nullptr;
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    char* title = nullptr;
    char* content = nullptr;
    StandIns contentStandIns;
    std::shared_ptr<const Image> picture;
    int x = 0, y = 0;
    int width = 0, height = 0;
    UINT displayTime = 4000;
    int wasVisible = 0;
    // The DPI of the display its anchor is on, taken anew for each text.
    DpiScale px;
};

} // namespace kst
