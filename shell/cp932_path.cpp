#include "cp932_path.h"

#include "char_convert.h"

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

} // namespace kst
