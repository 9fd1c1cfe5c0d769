// Pixels for a display's DPI. Our windows are laid out in pixels of a
// 96-DPI screen; each coordinate is scaled once, as the system scales
// (halves away from zero), so at 96 DPI every pixel stays where it was.
#pragma once

namespace kst {

constexpr int kBaseDpi = 96;

// A DPI the system could not tell (0, negative) counts as the base.
constexpr int UsableDpi(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

constexpr int ScaleToDpi(int value, int dpi) {
    const long long product = static_cast<long long>(value) * UsableDpi(dpi);
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

// A length from one DPI to another (a window's logical units to its
// monitor's pixels), rounded the same way.
constexpr int ScaleBetweenDpis(int value, int fromDpi, int toDpi) {
    const long long product = static_cast<long long>(value) * UsableDpi(toDpi);
    const long long from = UsableDpi(fromDpi), half = from / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from : -((-product + half) / from));
}

// The scale of one window: px(20) is 20 base pixels on its display.
struct DpiScale {
    int dpi = kBaseDpi;
    constexpr int operator()(int value) const { return ScaleToDpi(value, dpi); }
};

} // namespace kst
