// Whether a file is a sound C/Migemo dictionary in code page 932: lines of
// a reading, a tab and tab-separated words, comments starting with ';',
// valid code page 932 without control characters, and whole (a last line
// cut in the middle is missing its line end).
#pragma once

#include <cstddef>

namespace kst {

constexpr size_t kMaxDictionaryBytes = 64u << 20;

bool IsSoundDictionary(const char* data, size_t length);

} // namespace kst
