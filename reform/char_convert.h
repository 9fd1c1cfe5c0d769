// Conversions of single code page 932 characters. A character is given as a
// code: a single byte as its value, a double-byte character as lead * 256 +
// trail. Tables of our own: the results never depend on the system.
#pragma once

#include <cstdint>

namespace kst {

constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// 0: b does not convert; 1: b converts alone; 2: b and n form one voiced kana.
int ClassifyHalfWidth(unsigned char b, unsigned char n);
// Half-width (ASCII, katakana, Japanese punctuation) to its double-byte form.
unsigned ToFullWidth(unsigned ch);
// A half-width kana and its voicing mark to one full-width kana.
unsigned VoicedToFullWidth(unsigned char b, unsigned char n);
int IsHalfWidthConvertible(unsigned ch);
// The single-byte form of a convertible double-byte character.
unsigned ToHalfWidth(unsigned ch);
// Case and the Japanese comma and full stop, by ReformFlags.
unsigned ConvertCaseAndPunctuation(unsigned ch, int flags, int isDoubleByte);

} // namespace kst
