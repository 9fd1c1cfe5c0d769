// The form in which search compares characters: case and width folded, so
// that "http", "HTTP" and full-width "ｈｔｔｐ" are one, and half-width
// katakana are the full-width ones. Code page 932 in, one code a character
// out (a single byte as its value, a double-byte character as lead * 256 +
// trail), stepping over double-byte characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kst {

struct FoldedChar {
    uint16_t code;
    uint8_t bytes; // taken from the text: 1, 2 (also a voiced half-width kana)
};

// left >= 1. A lead byte at the end, without its trail, stands for itself.
FoldedChar FoldAt(const unsigned char* text, size_t left);
// A whole string, a code a character.
std::vector<uint16_t> FoldString(const std::string& text);

} // namespace kst
