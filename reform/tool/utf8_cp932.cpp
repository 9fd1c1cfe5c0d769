#include "reform/tool/utf8_cp932.h"

#include <iconv.h>

#include <cerrno>

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

} // namespace kst
