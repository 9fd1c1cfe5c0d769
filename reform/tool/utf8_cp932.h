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

// The offset of the first byte that does not begin or continue a UTF-8
// character (overlong forms, surrogates and values above U+10FFFF
// included), or the text's size when it is all UTF-8.
size_t FirstNonUtf8(const char* text, size_t size);
// Both for text that is all UTF-8 (FirstNonUtf8), and back.
std::u16string Utf8ToUtf16(const char* text, size_t size);
std::string Utf16ToUtf8(const std::u16string& text);

// Text of our own (code page 932) in the encoding of the terminal's locale,
// as far as it can hold it.
std::string ForTerminal(const char* cp932);

} // namespace kst
