// Where the balloon goes and how big it is. Pure arithmetic, no Windows.
// Lengths are base pixels, scaled by the DPI of the balloon's display.
#pragma once

#include "ui/dpi_scale.h"

namespace kst {

struct ScreenRect {
    int left, top, right, bottom;
};

enum BalloonPlacement { kBeside = 0, kLeft = 1, kAbove = 2, kRight = 3, kBelow = 4 };

constexpr int kBalloonMinWidth = 23;
constexpr int kBalloonMaxWidth = 220;
constexpr int kBalloonTitleHeight = 16;

struct BalloonSpot {
    int x, y;
    int height; // placement beside may cut it
};

// The balloon's top-left corner for its placement beside the anchor R,
// corrected to stay in the work area W.
BalloonSpot PlaceBalloon(int placement, const ScreenRect& anchor, const ScreenRect& work, int width,
                         int height, DpiScale px);

// Width after measuring a text of the given one-line width.
inline int GrowBalloonWidth(int width, int measured, DpiScale px) {
    const int wanted = measured + px(kBalloonMinWidth);
    const int grown = wanted > width ? wanted : width;
    return grown < px(kBalloonMaxWidth) ? grown : px(kBalloonMaxWidth);
}

} // namespace kst
