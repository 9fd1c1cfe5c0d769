#include "notify/balloon_layout.h"

namespace kst {

BalloonSpot PlaceBalloon(int placement, const ScreenRect& r, const ScreenRect& w, int width, int height,
                         DpiScale px) {
    BalloonSpot s{0, 0, height};
    switch (placement) {
    case kLeft:
        s.x = r.left - width - 1;
        s.y = r.top;
        if (s.x < w.left) s.x = r.right + 1;
        if (s.y < w.top) s.y = r.bottom + 1;
        if (s.y + height > w.bottom) s.y = w.bottom - height;
        break;
    case kAbove:
        s.x = r.left;
        s.y = r.top - height - 1;
        if (s.x + width > w.right) s.x = w.right - width - 1;
        if (s.x < w.left) s.x = w.left;
        if (s.y < w.top) s.y = r.bottom + 1;
        break;
    case kRight:
        s.x = r.right + 1;
        s.y = r.top;
        if (s.x + width > w.right) s.x = r.left - width - 1;
        if (s.y < w.top) s.y = r.bottom + 1;
        if (s.y + height > w.bottom) s.y = w.bottom - height;
        break;
    case kBelow:
        s.x = r.left;
        s.y = r.bottom + 1;
        if (s.x + width > w.right) s.x = w.right - width - 1;
        if (s.x < w.left) s.x = w.left;
        if (s.y + height > w.bottom) s.y = r.top - height - 1;
        break;
    default: { // beside
        s.x = r.right;
        s.y = r.top;
        const double tallest = 1.5 * (r.bottom - r.top);
        if (height > tallest) s.height = static_cast<int>(tallest);
        if (width + r.right + px(20) > w.right) s.x = r.left - width - 1;
        break;
    }
    }
    return s;
}

} // namespace kst
