#include "image/dib_codec.h"

#include <cstring>
#include <new>

namespace kst {
namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
constexpr int32_t kPixelsPerMetreAt96Dpi = 3780;

uint32_t Read32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put32(unsigned char* p, uint32_t v) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<unsigned char>(v >> (8 * k));
}

// One channel of a bit-field pixel.
struct Mask {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t top = 0; // the largest value after the shift
    void Set(uint32_t m) {
        mask = m;
        shift = 0;
        while (m && !(m & 1)) m >>= 1, ++shift;
        top = m;
    }
    uint8_t Of(uint32_t pixel) const {
        if (!top) return 0;
        return static_cast<uint8_t>(uint64_t{(pixel & mask) >> shift} * 255 / top);
    }
};

struct Layout {
    uint32_t headerSize = 0, compression = 0, colours = 0;
    int32_t width = 0, height = 0;
    int bits = 0;
    bool topDown = false;
    Mask channel[4]; // red, green, blue, alpha
    bool alpha = false;
    size_t palette = 0; // where the palette begins
    size_t pixels = 0;  // where the rows begin
    size_t stride = 0;
};

bool ReadLayout(const unsigned char* p, size_t size, Layout& l) {
    if (size < kInfoHeaderSize) return false;
    l.headerSize = Read32(p);
    if (l.headerSize < kInfoHeaderSize || l.headerSize > size) return false;
    l.width = static_cast<int32_t>(Read32(p + 4));
    const int32_t height = static_cast<int32_t>(Read32(p + 8));
    l.bits = Read16(p + 14);
    l.compression = Read32(p + 16);
    l.colours = Read32(p + 32);
    if (l.width <= 0 || height == 0 || height == INT32_MIN) return false;
    l.topDown = height < 0;
    l.height = height < 0 ? -height : height;
    const bool fields = l.compression == kBitFields || l.compression == kAlphaBitFields;
    if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 16 && l.bits != 24 && l.bits != 32) return false;
    if (!(l.compression == kRgb || (fields && (l.bits == 16 || l.bits == 32)))) return false;
    size_t at = l.headerSize;
    if (fields) {
        const int count = l.compression == kAlphaBitFields ? 4 : 3;
        const unsigned char* masks = p + kInfoHeaderSize;
        if (l.headerSize == kInfoHeaderSize) { // the masks follow the header
            if (size - at < size_t(count) * 4) return false;
            at += size_t(count) * 4;
        } else if (l.headerSize < kInfoHeaderSize + count * 4u) {
            return false;
        }
        for (int k = 0; k < count; ++k) l.channel[k].Set(Read32(masks + 4 * k));
        // A later header holds an alpha mask of its own.
        if (count == 3 && l.headerSize >= kInfoHeaderSize + 16) l.channel[3].Set(Read32(masks + 12));
        l.alpha = l.channel[3].mask != 0;
    } else if (l.bits == 16) {
        l.channel[0].Set(0x7C00), l.channel[1].Set(0x03E0), l.channel[2].Set(0x001F);
    } else if (l.bits == 32) {
        l.channel[0].Set(0xFF0000), l.channel[1].Set(0xFF00), l.channel[2].Set(0xFF);
    }
    l.palette = at;
    if (l.bits <= 8) {
        const uint32_t most = 1u << l.bits;
        const uint32_t colours = l.colours == 0 || l.colours > most ? most : l.colours;
        l.colours = colours;
        if (size - at < size_t{colours} * 4) return false;
        at += size_t{colours} * 4;
    }
    l.pixels = at;
    l.stride = ((uint64_t{uint32_t(l.width)} * l.bits + 31) / 32) * 4;
    return uint64_t{uint32_t(l.width)} * uint32_t(l.height) <= kMaxImagePixels &&
           (size - at) / l.stride >= uint32_t(l.height);
}

void PutPixel(const Layout& l, const unsigned char* base, const unsigned char* row, uint32_t x, uint8_t* out) {
    if (l.bits <= 8) {
        const size_t bit = size_t{x} * l.bits;
        uint32_t index = (row[bit / 8] >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
        if (index >= l.colours) index = 0;
        const unsigned char* quad = base + l.palette + size_t{index} * 4;
        out[0] = quad[0], out[1] = quad[1], out[2] = quad[2], out[3] = 255;
        return;
    }
    if (l.bits == 24) {
        const unsigned char* p = row + size_t{x} * 3;
        out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = 255;
        return;
    }
    const uint32_t pixel = l.bits == 16 ? Read16(row + size_t{x} * 2) : Read32(row + size_t{x} * 4);
    out[0] = l.channel[2].Of(pixel);
    out[1] = l.channel[1].Of(pixel);
    out[2] = l.channel[0].Of(pixel);
    out[3] = l.alpha ? l.channel[3].Of(pixel) : 255;
}

} // namespace

bool DibSize(const void* data, size_t size, uint32_t& width, uint32_t& height) {
    Layout l;
    if (!ReadLayout(static_cast<const unsigned char*>(data), size, l)) return false;
    width = static_cast<uint32_t>(l.width);
    height = static_cast<uint32_t>(l.height);
    return true;
}

bool DecodeDib(const void* data, size_t size, Image& image, uint64_t maxPixels) {
    const auto* p = static_cast<const unsigned char*>(data);
    Layout l;
    if (!ReadLayout(p, size, l) || uint64_t{uint32_t(l.width)} * uint32_t(l.height) > maxPixels) return false;
    if (!AllocateImage(image, static_cast<uint32_t>(l.width), static_cast<uint32_t>(l.height))) return false;
    bool translucent = false;
    for (uint32_t y = 0; y < image.height; ++y) {
        const uint32_t stored = l.topDown ? y : image.height - 1 - y;
        const unsigned char* row = p + l.pixels + size_t{stored} * l.stride;
        for (uint32_t x = 0; x < image.width; ++x) {
            uint8_t* out = image.Pixel(x, y);
            PutPixel(l, p, row, x, out);
            translucent = translucent || out[3] != 255;
        }
    }
    image.hasAlpha = translucent;
    return true;
}

bool EncodeDib(const Image& image, std::string& dib) {
    if (image.Empty() || image.width > 0x7FFFFFFF || image.height > 0x7FFFFFFF) return false;
    const int bits = image.hasAlpha ? 32 : 24;
    const size_t stride = ((size_t{image.width} * bits + 31) / 32) * 4;
    try {
        dib.assign(kInfoHeaderSize + stride * image.height, '\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto* p = reinterpret_cast<unsigned char*>(&dib[0]);
    Put32(p, kInfoHeaderSize);
    Put32(p + 4, image.width);
    Put32(p + 8, image.height);
    p[12] = 1;
    p[14] = static_cast<unsigned char>(bits);
    Put32(p + 20, static_cast<uint32_t>(stride * image.height));
    Put32(p + 24, kPixelsPerMetreAt96Dpi);
    Put32(p + 28, kPixelsPerMetreAt96Dpi);
    const size_t bytes = static_cast<size_t>(bits / 8);
    for (uint32_t y = 0; y < image.height; ++y) {
        unsigned char* row = p + kInfoHeaderSize + size_t{image.height - 1 - y} * stride;
        for (uint32_t x = 0; x < image.width; ++x) memcpy(row + size_t{x} * bytes, image.Pixel(x, y), bytes);
    }
    return true;
}

} // namespace kst
