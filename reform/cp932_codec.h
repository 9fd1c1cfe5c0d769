// Code page 932 and UTF-16, converted as the system converts them: the
// system's code page 932 on Windows, iconv's CP932 elsewhere. Whatever the
// Windows language, the ANSI code page or the keyboard layout, the program's
// text is code page 932 and a user's text is UTF-16.
#pragma once

#include <cstddef>
#include <string>

namespace kst {

constexpr unsigned kCodePage932 = 932;

class Cp932Codec {
  public:
    virtual ~Cp932Codec() = default;
    // Characters code page 932 lacks become what the system makes of them
    // (a near character or '?'): the text an ANSI program reads.
    virtual std::string ToCp932(const char16_t* text, size_t length) const = 0;
    virtual std::u16string FromCp932(const char* text, size_t length) const = 0;
    // Without near characters: each character code page 932 lacks becomes
    // missing (a text to search, in which nothing may match what is not there).
    virtual std::string ToCp932Strict(const char16_t* text, size_t length, char missing) const = 0;

    std::string ToCp932(const std::u16string& text) const { return ToCp932(text.data(), text.size()); }
    std::u16string FromCp932(const std::string& text) const { return FromCp932(text.data(), text.size()); }
    // Whether code page 932 holds the text exactly: converted there and
    // back it is the same UTF-16 text. Tried a piece at a time, so that a
    // long text is never held twice more.
    bool HoldsExactly(const std::u16string& text) const {
        constexpr size_t kPiece = 1 << 16;
        for (size_t at = 0; at < text.size();) {
            size_t n = text.size() - at < kPiece ? text.size() - at : kPiece;
            if (at + n < text.size() && text[at + n - 1] >= 0xD800 && text[at + n - 1] <= 0xDBFF) ++n; // a pair whole
            if (FromCp932(ToCp932(text.data() + at, n)).compare(0, std::u16string::npos, text, at, n) != 0)
                return false;
            at += n;
        }
        return true;
    }
};

const Cp932Codec& SystemCp932();

} // namespace kst
