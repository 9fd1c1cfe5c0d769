// UTF-8 to code page 932 and back, for the reform tool, through the C
// library's converters. Lossless: a character that would not come back as
// itself counts as one that code page 932 cannot hold.
#pragma once

#include <cstddef>
#include <string>

namespace kst {

// False with offset at the first character (in bytes of text) that is not
// UTF-8 or has no exact code page 932 form.
bool Utf8ToCp932(const std::string& text, std::string& out, size_t& offset);
bool Cp932ToUtf8(const std::string& text, std::string& out);

} // namespace kst
