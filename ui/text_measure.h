// Measuring code page 932 text glyph by glyph, as the balloon wraps it. The
// glyph widths come from the caller (the device context's font on Windows).
#pragma once

#include <cstddef>

#include "reform/char_convert.h"
#include "ui/dpi_scale.h"

namespace kst {

constexpr int kLineHeight = 14;
constexpr int kTabAdvance = 8;
constexpr int kControlAdvance = 6;
constexpr int kMeasureCap = 394;

// Length in bytes of the character at text (1 or 2; a lead byte before the
// terminating zero stands alone).
inline int CharLength(const char* text) {
    return IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] ? 2 : 1;
}

// Height the wrapped text needs at the given width; glyphWidth(ch, length)
// gives one character's width in pixels of the display's DPI.
template <typename GlyphWidth>
int MeasureWrappedText(const char* text, int width, DpiScale px, GlyphWidth glyphWidth) {
    if (!text || !*text) return px(8);
    const int limit = width - px(23), cap = px(kMeasureCap), line = px(kLineHeight);
    const int tab = px(kTabAdvance), control = px(kControlAdvance);
    int w = 0, h = 0;
    for (const char* p = text; *p && h <= cap;) {
        const int length = CharLength(p);
        const auto b = static_cast<unsigned char>(*p);
        const char* next = p + length;
        if (length == 2 || b >= 0x20) {
            w += glyphWidth(p, length);
        } else if (b == '\t') {
            w += tab;
        } else if (b == '\n' || (b == '\r' && *next != '\n')) {
            if (*next) {
                h += line;
                w = 0;
            }
        } else if (b != '\r') {
            w += control;
        }
        if (w > limit) {
            h += line;
            w = 0;
        }
        p = next;
    }
    return h + px(8);
}

} // namespace kst
