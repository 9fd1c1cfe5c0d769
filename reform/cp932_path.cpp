#include "reform/cp932_path.h"

#include "reform/char_convert.h"

namespace kst {

size_t FileNameOffset(const char* path, size_t length) {
    size_t start = 0;
    for (size_t i = 0; i < length && path[i];) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < length && path[i + 1]) {
            i += 2;
            continue;
        }
        if (path[i] == '\\') start = i + 1;
        ++i;
    }
    return start;
}

namespace {
unsigned char UpperAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }
} // namespace

bool SamePath(const char* a, const char* b) {
    for (;;) {
        const auto x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (IsLeadByte(x) && a[1]) {
            if (x != y || a[1] != b[1]) return false;
            a += 2;
            b += 2;
            continue;
        }
        if (UpperAscii(x) != UpperAscii(y)) return false;
        if (!x) return true;
        ++a;
        ++b;
    }
}

} // namespace kst
