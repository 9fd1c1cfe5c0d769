#include "search/dictionary_check.h"

#include "reform/char_convert.h"

namespace kst {
namespace {

bool IsTrail(unsigned char t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC); }

// One line without its end: ";comment" or "reading\tword[\tword...]".
bool IsSoundLine(const unsigned char* p, size_t n) {
    if (n == 0 || p[0] == ';') return true;
    size_t fields = 1, fieldBytes = 0;
    for (size_t at = 0; at < n;) {
        const unsigned char b = p[at];
        if (b == '\t') {
            if (fieldBytes == 0) return false;
            ++fields;
            fieldBytes = 0;
            ++at;
            continue;
        }
        if (b < 0x20 || b == 0x7F) return false;
        if (IsLeadByte(b)) {
            if (at + 1 >= n || !IsTrail(p[at + 1])) return false;
            at += 2;
        } else {
            ++at;
        }
        ++fieldBytes;
    }
    return fields >= 2 && fieldBytes > 0;
}

} // namespace

bool IsSoundDictionary(const char* data, size_t length) {
    if (length == 0 || length > kMaxDictionaryBytes || data[length - 1] != '\n') return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t words = 0;
    for (size_t start = 0; start < length;) {
        size_t end = start;
        while (p[end] != '\n') ++end; // the last byte is a line end
        size_t n = end - start;
        if (n && p[start + n - 1] == '\r') --n;
        if (!IsSoundLine(p + start, n)) return false;
        if (n && p[start] != ';') ++words;
        start = end + 1;
    }
    return words > 0;
}

} // namespace kst
