// Text that code page 932 cannot hold, carried through the code page 932
// reformatter: every character it lacks stands in the text as a character
// of the user-defined area (F040 ... F9FC), which no conversion changes and
// wrapping counts as two columns, and is put back afterwards. Characters of
// the private-use area, which code page 932 keeps in that same area, are
// carried the same way so that no stand-in is ever ambiguous.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "reform/cp932_codec.h"

namespace kst {

constexpr size_t kMaxStandIns = 10 * 188;

struct WideCarrier {
    std::string text;                  // code page 932 with stand-ins
    std::vector<std::u16string> held;  // what stand-in i stands for (one character)
};

// False when the text needs more distinct stand-ins than there are.
bool BuildCarrier(const std::u16string& text, const Cp932Codec& codec, WideCarrier& carrier);
// A converted carrier text as UTF-16, every stand-in replaced by its character.
std::u16string RestoreCarrier(const std::string& converted, const WideCarrier& carrier, const Cp932Codec& codec);

// The stand-in for index i as two bytes, and the index of a double-byte
// character (-1: not a stand-in).
std::string StandInBytes(size_t index);
int StandInIndex(unsigned char lead, unsigned char trail);

} // namespace kst
