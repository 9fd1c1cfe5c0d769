#include "image/deflate_bytes.h"

#include <zlib.h>

#include <climits>
#include <new>

#include "image/image.h"

namespace kst {

bool AllocateImage(Image& image, uint32_t width, uint32_t height) {
    if (uint64_t{width} * height > kMaxImagePixels) return false;
    try {
        image.bgra.assign(size_t{width} * height * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.width = width;
    image.height = height;
    return true;
}

// Fed in pieces: zlib counts in 32 bits.
constexpr size_t kStep = 1u << 30;

bool DeflateBytes(const void* data, size_t size, int level, std::string& out) {
    z_stream z{};
    if (deflateInit(&z, level) != Z_OK) return false;
    bool ok = true;
    try {
        out.resize(deflateBound(&z, static_cast<uLong>(size < kStep ? size : kStep)) + 64);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    const auto* in = static_cast<const Bytef*>(data);
    size_t given = 0, written = 0;
    int status = Z_OK;
    while (ok && status != Z_STREAM_END) {
        if (z.avail_in == 0 && given < size) {
            z.next_in = const_cast<Bytef*>(in + given);
            z.avail_in = static_cast<uInt>(size - given < kStep ? size - given : kStep);
            given += z.avail_in;
        }
        if (written == out.size()) {
            try {
                out.resize(out.size() * 2);
            } catch (const std::bad_alloc&) {
                ok = false;
                break;
            }
        }
        const size_t room = out.size() - written < kStep ? out.size() - written : kStep;
        z.next_out = reinterpret_cast<Bytef*>(&out[written]);
        z.avail_out = static_cast<uInt>(room);
        status = deflate(&z, given == size ? Z_FINISH : Z_NO_FLUSH);
        written += room - z.avail_out;
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) ok = false;
    }
    deflateEnd(&z);
    if (ok) out.resize(written);
    return ok;
}

// Deflate never makes a byte stand for more than 1032: a stream said to make
// more than that is refused before anything is allocated for it.
constexpr size_t kMostInflation = 1032;

bool InflateBytes(const void* data, size_t size, size_t expected, std::string& out) {
    if (expected / kMostInflation > size + 16) return false;
    try {
        out.assign(expected, '\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    const auto* in = static_cast<const Bytef*>(data);
    size_t given = 0, written = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (z.avail_in == 0 && given < size) {
            z.next_in = const_cast<Bytef*>(in + given);
            z.avail_in = static_cast<uInt>(size - given < kStep ? size - given : kStep);
            given += z.avail_in;
        }
        // One byte beyond what is expected shows a longer stream.
        unsigned char beyond = 0;
        const size_t room = expected - written < kStep ? expected - written : kStep;
        z.next_out = room ? reinterpret_cast<Bytef*>(&out[written]) : &beyond;
        z.avail_out = static_cast<uInt>(room ? room : 1);
        status = inflate(&z, Z_NO_FLUSH);
        const size_t made = (room ? room : 1) - z.avail_out;
        if (!room && made) status = Z_DATA_ERROR;
        else written += made;
        if (status == Z_BUF_ERROR && given == size && z.avail_in == 0) break;
        if (status == Z_BUF_ERROR) status = Z_OK;
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && written == expected && z.avail_in == 0 && given == size;
}

} // namespace kst
