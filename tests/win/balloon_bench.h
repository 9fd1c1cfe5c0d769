// The size the program gives a balloon, worked out in the test with the
// program's own measuring code and fonts.
#pragma once

#include <windows.h>

#include "notify/balloon_layout.h"
#include "ui/shared_gdi.h"

namespace bench {

// A balloon with the title and the text on a display of the DPI.
inline SIZE ExpectedBalloon(const char* title, const char* text, int dpi) {
    const kst::DpiScale px{dpi};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, kst::FontsForDpi(dpi).ui);
    int width = kst::GrowBalloonWidth(0, kst::MeasureTextLine(dc, title), px);
    width = kst::GrowBalloonWidth(width, kst::MeasureTextLine(dc, text), px);
    const int height = px(kst::kBalloonTitleHeight) + kst::MeasureWrappedText(dc, px, text, width) + px(8);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{width, height};
}

} // namespace bench
