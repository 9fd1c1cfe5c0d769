// Conversions of single code page 932 characters. A character is given as a
// code: a single byte as its value, a double-byte character as lead * 256 +
// trail. Tables of our own: the results never depend on the system.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kst {

constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Bytes of the longest start of text (length bytes) that holds at most
// maxBytes and never half a double-byte character. Reads no further than
// maxBytes + 1 bytes.
inline size_t CharBoundaryPrefix(const char* text, size_t length, size_t maxBytes) {
    if (length <= maxBytes) return length;
    size_t end = 0;
    while (end < length) {
        const size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return end;
}

// 0: b does not convert; 1: b converts alone; 2: b and n form one voiced kana.
int ClassifyHalfWidth(unsigned char b, unsigned char n);
// Half-width (ASCII, katakana, Japanese punctuation) to its double-byte form.
unsigned ToFullWidth(unsigned ch);
// A half-width kana and its voicing mark to one full-width kana.
unsigned VoicedToFullWidth(unsigned char b, unsigned char n);
// Inline: the reformatter asks this for every full-width character.
namespace detail {
constexpr unsigned kHalfBase = 0x8140, kHalfEnd = 0x829B;
extern const std::array<unsigned char, kHalfEnd - kHalfBase> kFullToHalf; // 0: not convertible
} // namespace detail

inline int IsHalfWidthConvertible(unsigned ch) {
    return ch >= detail::kHalfBase && ch < detail::kHalfEnd && detail::kFullToHalf[ch - detail::kHalfBase] != 0;
}
// The single-byte form of a convertible double-byte character.
inline unsigned ToHalfWidth(unsigned ch) {
    return IsHalfWidthConvertible(ch) ? detail::kFullToHalf[ch - detail::kHalfBase] : ch;
}
// Case and the Japanese comma and full stop, by ReformFlags.
unsigned ConvertCaseAndPunctuation(unsigned ch, int flags, int isDoubleByte);

} // namespace kst
