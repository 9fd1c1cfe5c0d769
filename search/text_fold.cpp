#include "search/text_fold.h"

#include "reform/char_convert.h"

namespace kst {
namespace {

uint16_t LowerAscii(unsigned c) { return static_cast<uint16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); }

} // namespace

FoldedChar FoldAt(const unsigned char* text, size_t left) {
    const unsigned char b = text[0];
    if (b < 0x80) return {LowerAscii(b), 1};
    if (b >= 0xA1 && b <= 0xDF) {
        // Half-width kana (with a voicing mark, one character) as full width.
        const unsigned char next = left > 1 ? text[1] : 0;
        if (ClassifyHalfWidth(b, next) == 2) return {static_cast<uint16_t>(VoicedToFullWidth(b, next)), 2};
        return {static_cast<uint16_t>(ToFullWidth(b)), 1};
    }
    if (!IsLeadByte(b) || left < 2) return {b, 1};
    const unsigned ch = (unsigned(b) << 8) | text[1];
    // Full-width Latin, digits and symbols as ASCII; the Japanese marks stay.
    const unsigned half = ToHalfWidth(ch);
    if (half < 0x80) return {LowerAscii(half), 2};
    return {static_cast<uint16_t>(ch), 2};
}

std::vector<uint16_t> FoldString(const std::string& text) {
    std::vector<uint16_t> codes;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t at = 0; at < text.size();) {
        const FoldedChar c = FoldAt(p + at, text.size() - at);
        codes.push_back(c.code);
        at += c.bytes;
    }
    return codes;
}

} // namespace kst
