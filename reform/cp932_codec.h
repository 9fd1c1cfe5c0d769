// Code page 932 and UTF-16, converted as the system converts them: the
// system's code page 932 on Windows, iconv's CP932 elsewhere. Whatever the
// Windows language, the ANSI code page or the keyboard layout, the program's
// text is code page 932 and a user's text is UTF-16.
#pragma once

#include <cstddef>
#include <string>

namespace kst {

class Cp932Codec {
  public:
    virtual ~Cp932Codec() = default;
    // Characters code page 932 lacks become what the system makes of them
    // (a near character or '?'): the text an ANSI program reads.
    virtual std::string ToCp932(const char16_t* text, size_t length) const = 0;
    virtual std::u16string FromCp932(const char* text, size_t length) const = 0;

    std::string ToCp932(const std::u16string& text) const { return ToCp932(text.data(), text.size()); }
    std::u16string FromCp932(const std::string& text) const { return FromCp932(text.data(), text.size()); }
    // Whether code page 932 holds the text exactly: converted there and
    // back it is the same UTF-16 text.
    bool HoldsExactly(const std::u16string& text) const { return FromCp932(ToCp932(text)) == text; }
};

const Cp932Codec& SystemCp932();

} // namespace kst
