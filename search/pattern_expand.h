// C/Migemo's pattern read back as the strings it stands for. The pattern is
// made with operators of control bytes (kPatternOr ...), which no character
// of code page 932 contains, so no escapes are needed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kst {

constexpr char kPatternOr[] = "\x01";
constexpr char kPatternNestIn[] = "\x02";
constexpr char kPatternNestOut[] = "\x03";
constexpr char kPatternSelectIn[] = "\x04";
constexpr char kPatternSelectOut[] = "\x05";

enum class ExpandResult { kWhole, kCut, kMalformed };

// Appends to out the strings the pattern stands for, at most limit of them
// (kCut: more there were). A malformed pattern appends nothing.
ExpandResult ExpandPattern(const std::string& pattern, size_t limit, std::vector<std::string>& out);

} // namespace kst
