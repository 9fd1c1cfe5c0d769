// Measuring code page 932 text glyph by glyph, as the balloon wraps it. The
// glyph widths come from the caller (the device context's font on Windows).
#pragma once

#include <cstddef>

#include "reform/char_convert.h"

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
// gives one character's width in pixels.
template <typename GlyphWidth>
int MeasureWrappedText(const char* text, int width, GlyphWidth glyphWidth) {
    if (!text || !*text) return 8;
    const int limit = width - 23;
    int w = 0, h = 0;
    for (const char* p = text; *p && h <= kMeasureCap;) {
        const int length = CharLength(p);
        const auto b = static_cast<unsigned char>(*p);
        const char* next = p + length;
        if (length == 2 || b >= 0x20) {
            w += glyphWidth(p, length);
        } else if (b == '\t') {
            w += kTabAdvance;
        } else if (b == '\n' || (b == '\r' && *next != '\n')) {
            if (*next) {
                h += kLineHeight;
                w = 0;
            }
        } else if (b != '\r') {
            w += kControlAdvance;
        }
        if (w > limit) {
            h += kLineHeight;
            w = 0;
        }
        p = next;
    }
    return h + 8;
}

} // namespace kst
