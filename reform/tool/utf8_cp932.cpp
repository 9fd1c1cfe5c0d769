#include "reform/tool/utf8_cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <clocale>
#include <cstring>

#include <langinfo.h>

namespace kst {
namespace {

// Converts all of text; on failure, where the input stopped.
bool Convert(const char* to, const char* from, const std::string& text, std::string& out, size_t& stopped) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        stopped = 0;
        return false;
    }
    out.assign(text.size() * 3 / 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size(), used = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* at = &out[used];
        size_t outLeft = out.size() - used;
        const size_t result = iconv(cd, &in, &inLeft, &at, &outLeft);
        used = out.size() - outLeft;
        if (result != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false; // EILSEQ or EINVAL: a character that does not convert
        break;
    }
    iconv_close(cd);
    stopped = text.size() - inLeft;
    out.resize(used);
    return ok;
}

size_t CharacterStart(const std::string& utf8, size_t at) {
    while (at > 0 && at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) --at;
    return at;
}

} // namespace

bool Utf8ToCp932(const std::string& text, std::string& out, size_t& offset) {
    size_t stopped = 0;
    if (!Convert("CP932", "UTF-8", text, out, stopped)) {
        offset = stopped;
        return false;
    }
    std::string back;
    if (!Convert("UTF-8", "CP932", out, back, stopped) || back != text) {
        size_t same = 0;
        while (same < back.size() && same < text.size() && back[same] == text[same]) ++same;
        offset = CharacterStart(text, same);
        return false;
    }
    return true;
}

bool Cp932ToUtf8(const std::string& text, std::string& out) {
    size_t stopped = 0;
    return Convert("UTF-8", "CP932", text, out, stopped);
}

size_t FirstNonUtf8(const char* text, size_t size) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < size;) {
        const unsigned char b = s[i];
        size_t n = 0;
        uint32_t min = 0, cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 1, min = 0x80, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 2, min = 0x800, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 3, min = 0x10000, cp = b & 0x07;
        } else {
            return i;
        }
        if (size - i <= n) return i;
        for (size_t k = 1; k <= n; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return i;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return i;
        i += n + 1;
    }
    return size;
}

// Decoded by hand: the text is known to be UTF-8, and this runs over every
// byte of a large input.
std::u16string Utf8ToUtf16(const char* text, size_t size) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    std::u16string out;
    out.reserve(size);
    for (size_t i = 0; i < size;) {
        const unsigned char b = s[i];
        uint32_t cp;
        if (b < 0x80) {
            cp = b, i += 1;
        } else if (b < 0xE0) {
            cp = ((b & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu), i += 2;
        } else if (b < 0xF0) {
            cp = ((b & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu), i += 3;
        } else {
            cp = ((b & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) | (s[i + 3] & 0x3Fu);
            i += 4;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3 / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string ForTerminal(const char* cp932) {
    setlocale(LC_CTYPE, "");
    const std::string codeset = nl_langinfo(CODESET);
    if (codeset == "SHIFT_JIS" || codeset == "CP932" || codeset == "SJIS") return cp932;
    std::string out;
    size_t stopped = 0;
    if (!Convert((codeset + "//TRANSLIT").c_str(), "CP932", cp932, out, stopped)) return cp932;
    return out;
}

} // namespace kst
