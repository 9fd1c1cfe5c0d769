#include "image/png_codec.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "image/deflate_bytes.h"

namespace kst {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
enum ColourType { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };
enum Filter { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

uint32_t Read32(const unsigned char* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
void Put32(std::string& out, uint32_t v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

void PutChunk(std::string& out, const char type[4], const std::string& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    const size_t at = out.size();
    out.append(type, 4);
    out += data;
    Put32(out, static_cast<uint32_t>(
                   crc32(0, reinterpret_cast<const Bytef*>(&out[at]), static_cast<uInt>(data.size() + 4))));
}

int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// The filtered byte of x with its left, upper and upper-left neighbours.
uint8_t Filtered(int filter, int x, int a, int b, int c) {
    switch (filter) {
    case kSub: return static_cast<uint8_t>(x - a);
    case kUp: return static_cast<uint8_t>(x - b);
    case kAverage: return static_cast<uint8_t>(x - (a + b) / 2);
    case kPaeth: return static_cast<uint8_t>(x - PaethPredictor(a, b, c));
    default: return static_cast<uint8_t>(x);
    }
}

// Each row takes the filter whose bytes, read as signed, add up to the least:
// the usual choice, and a good one for screenshots and photographs alike.
void FilterRows(const std::vector<uint8_t>& raw, size_t rowBytes, uint32_t rows, size_t bpp, std::string& out) {
    out.resize(size_t{rows} * (rowBytes + 1));
    std::vector<uint8_t> trial(rowBytes);
    for (uint32_t y = 0; y < rows; ++y) {
        const uint8_t* row = &raw[y * rowBytes];
        const uint8_t* up = y ? row - rowBytes : nullptr;
        uint8_t* dest = reinterpret_cast<uint8_t*>(&out[y * (rowBytes + 1)]);
        uint64_t best = UINT64_MAX;
        for (int filter = kNone; filter <= kPaeth; ++filter) {
            uint64_t cost = 0;
            for (size_t i = 0; i < rowBytes; ++i) {
                const int a = i >= bpp ? row[i - bpp] : 0, b = up ? up[i] : 0, c = up && i >= bpp ? up[i - bpp] : 0;
                trial[i] = Filtered(filter, row[i], a, b, c);
                cost += static_cast<uint64_t>(abs(static_cast<int8_t>(trial[i])));
            }
            if (cost < best) {
                best = cost;
                dest[0] = static_cast<uint8_t>(filter);
                memcpy(dest + 1, trial.data(), rowBytes);
            }
        }
    }
}

struct Header {
    uint32_t width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
};

int ChannelsOf(int colour) {
    switch (colour) {
    case kGrey: case kPalette: return 1;
    case kGreyAlpha: return 2;
    case kRgb: return 3;
    case kRgba: return 4;
    default: return 0;
    }
}

bool ValidHeader(const Header& h) {
    if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFF || h.height > 0x7FFFFFFF || h.interlace > 1) return false;
    switch (h.colour) {
    case kGrey: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16;
    case kPalette: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
    case kRgb: case kGreyAlpha: case kRgba: return h.depth == 8 || h.depth == 16;
    default: return false;
    }
}

bool ReadHeader(const unsigned char* p, size_t size, Header& h) {
    if (size < 33 || memcmp(p, kSignature, 8) != 0 || Read32(p + 8) != 13 || memcmp(p + 12, "IHDR", 4) != 0)
        return false;
    h.width = Read32(p + 16);
    h.height = Read32(p + 20);
    h.depth = p[24];
    h.colour = p[25];
    h.interlace = p[28];
    return p[26] == 0 && p[27] == 0 && ValidHeader(h);
}

// The seven passes of interlacing: where each starts and how far it steps.
struct Pass {
    uint32_t x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

uint32_t PassLength(uint32_t length, uint32_t start, uint32_t step) {
    return length > start ? (length - start + step - 1) / step : 0;
}

size_t RowBytesOf(uint32_t width, int bitsPerPixel) { return (size_t{width} * bitsPerPixel + 7) / 8; }

struct Palette {
    uint8_t rgba[256][4];
    int count = 0;
};

// The chunk data a decoder needs, gathered.
struct Chunks {
    std::string idat;
    Palette palette;
    bool hasKey = false;
    uint16_t key[3] = {0, 0, 0}; // the transparent grey or colour
    bool translucent = false; // a pixel not wholly opaque was met
};

bool GatherChunks(const unsigned char* p, size_t size, const Header& h, Chunks& c) {
    for (auto& entry : c.palette.rgba) {
        entry[0] = entry[1] = entry[2] = 0;
        entry[3] = 255;
    }
    size_t pos = 8;
    bool ended = false;
    while (!ended) {
        if (size - pos < 12) return false;
        const uint32_t length = Read32(p + pos);
        if (length > size - pos - 12) return false;
        const unsigned char* type = p + pos + 4;
        const unsigned char* data = type + 4;
        if (crc32(0, type, length + 4) != Read32(data + length)) return false;
        if (!memcmp(type, "IDAT", 4)) {
            c.idat.append(reinterpret_cast<const char*>(data), length);
        } else if (!memcmp(type, "PLTE", 4)) {
            if (length % 3 || length / 3 > 256) return false;
            c.palette.count = static_cast<int>(length / 3);
            for (int k = 0; k < c.palette.count; ++k)
                for (int ch = 0; ch < 3; ++ch) c.palette.rgba[k][ch] = data[k * 3 + ch];
        } else if (!memcmp(type, "tRNS", 4)) {
            if (h.colour == kPalette) {
                for (uint32_t k = 0; k < length && k < 256; ++k) c.palette.rgba[k][3] = data[k];
            } else if (h.colour == kGrey && length >= 2) {
                c.hasKey = true;
                c.key[0] = static_cast<uint16_t>(data[0] << 8 | data[1]);
            } else if (h.colour == kRgb && length >= 6) {
                c.hasKey = true;
                for (int ch = 0; ch < 3; ++ch) c.key[ch] = static_cast<uint16_t>(data[2 * ch] << 8 | data[2 * ch + 1]);
            }
        } else if (!memcmp(type, "IEND", 4)) {
            ended = true;
        } else if (!(type[0] & 0x20) && memcmp(type, "IHDR", 4) != 0) {
            return false; // a critical chunk this reader does not know
        }
        pos += size_t{length} + 12;
    }
    return !c.idat.empty() && (h.colour != kPalette || c.palette.count > 0);
}

void Unfilter(uint8_t* row, const uint8_t* up, size_t rowBytes, size_t bpp, int filter) {
    for (size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0, b = up ? up[i] : 0, c = up && i >= bpp ? up[i - bpp] : 0;
        switch (filter) {
        case kSub: row[i] = static_cast<uint8_t>(row[i] + a); break;
        case kUp: row[i] = static_cast<uint8_t>(row[i] + b); break;
        case kAverage: row[i] = static_cast<uint8_t>(row[i] + (a + b) / 2); break;
        case kPaeth: row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(a, b, c)); break;
        default: break;
        }
    }
}

// Sample k of a row of depth-bit samples, as 16 bits wide as the depth allows.
uint32_t SampleAt(const uint8_t* row, size_t k, int depth) {
    if (depth == 8) return row[k];
    if (depth == 16) return uint32_t{row[2 * k]} << 8 | row[2 * k + 1];
    const size_t bit = k * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

uint8_t To8(uint32_t sample, int depth) {
    if (depth == 16) return static_cast<uint8_t>(sample >> 8);
    if (depth == 8) return static_cast<uint8_t>(sample);
    return static_cast<uint8_t>(sample * 255 / ((1u << depth) - 1));
}

void PutPixel(const Header& h, Chunks& c, const uint8_t* row, uint32_t k, uint8_t* out) {
    const int n = ChannelsOf(h.colour);
    uint32_t s[4] = {0, 0, 0, 0};
    for (int ch = 0; ch < n; ++ch) s[ch] = SampleAt(row, size_t{k} * n + ch, h.depth);
    uint8_t r, g, b, a = 255;
    switch (h.colour) {
    case kPalette: {
        const uint8_t* e = c.palette.rgba[s[0] & 0xFF];
        r = e[0], g = e[1], b = e[2], a = e[3];
        break;
    }
    case kGrey:
    case kGreyAlpha:
        r = g = b = To8(s[0], h.depth);
        if (h.colour == kGreyAlpha) a = To8(s[1], h.depth);
        else if (c.hasKey && s[0] == c.key[0]) a = 0;
        break;
    default:
        r = To8(s[0], h.depth), g = To8(s[1], h.depth), b = To8(s[2], h.depth);
        if (h.colour == kRgba) a = To8(s[3], h.depth);
        else if (c.hasKey && s[0] == c.key[0] && s[1] == c.key[1] && s[2] == c.key[2]) a = 0;
        break;
    }
    out[0] = b, out[1] = g, out[2] = r, out[3] = a;
    if (a != 255) c.translucent = true;
}

} // namespace

bool EncodePng(const Image& image, int level, std::string& png) {
    if (image.Empty() || image.bgra.size() != size_t{image.width} * image.height * 4) return false;
    try {
        const size_t channels = image.hasAlpha ? 4 : 3;
        const size_t rowBytes = size_t{image.width} * channels;
        std::vector<uint8_t> raw(rowBytes * image.height);
        uint8_t* out = raw.data();
        for (size_t p = 0; p < size_t{image.width} * image.height; ++p) {
            const uint8_t* px = &image.bgra[p * 4];
            *out++ = px[2], *out++ = px[1], *out++ = px[0];
            if (channels == 4) *out++ = px[3];
        }
        std::string filtered, idat;
        FilterRows(raw, rowBytes, image.height, channels, filtered);
        std::vector<uint8_t>().swap(raw);
        if (!DeflateBytes(filtered.data(), filtered.size(), level, idat)) return false;
        std::string header;
        Put32(header, image.width);
        Put32(header, image.height);
        header += static_cast<char>(8);
        header += static_cast<char>(image.hasAlpha ? kRgba : kRgb);
        header.append(3, '\0');
        png.assign(reinterpret_cast<const char*>(kSignature), 8);
        PutChunk(png, "IHDR", header);
        PutChunk(png, "IDAT", idat);
        PutChunk(png, "IEND", std::string());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool PngSize(const void* data, size_t size, uint32_t& width, uint32_t& height) {
    Header h;
    if (!ReadHeader(static_cast<const unsigned char*>(data), size, h)) return false;
    width = h.width;
    height = h.height;
    return true;
}

bool DecodePng(const void* data, size_t size, Image& image, uint64_t maxPixels) {
    const auto* p = static_cast<const unsigned char*>(data);
    Header h;
    if (!ReadHeader(p, size, h) || uint64_t{h.width} * h.height > maxPixels ||
        uint64_t{h.width} * h.height > kMaxImagePixels)
        return false;
    try {
        Chunks c;
        if (!GatherChunks(p, size, h, c)) return false;
        const int bitsPerPixel = ChannelsOf(h.colour) * h.depth;
        const size_t bpp = bitsPerPixel >= 8 ? static_cast<size_t>(bitsPerPixel / 8) : 1;
        const Pass* passes = h.interlace ? kAdam7 : &kWhole;
        const int passCount = h.interlace ? 7 : 1;
        size_t expected = 0;
        for (int k = 0; k < passCount; ++k) {
            const uint32_t w = PassLength(h.width, passes[k].x0, passes[k].dx);
            const uint32_t rows = PassLength(h.height, passes[k].y0, passes[k].dy);
            if (w && rows) expected += size_t{rows} * (RowBytesOf(w, bitsPerPixel) + 1);
        }
        std::string raw;
        if (!InflateBytes(c.idat.data(), c.idat.size(), expected, raw)) return false;
        std::string().swap(c.idat);
        if (!AllocateImage(image, h.width, h.height)) return false;
        auto* at = reinterpret_cast<uint8_t*>(&raw[0]);
        for (int k = 0; k < passCount; ++k) {
            const Pass& pass = passes[k];
            const uint32_t w = PassLength(h.width, pass.x0, pass.dx);
            const uint32_t rows = PassLength(h.height, pass.y0, pass.dy);
            if (!w || !rows) continue;
            const size_t rowBytes = RowBytesOf(w, bitsPerPixel);
            const uint8_t* up = nullptr;
            for (uint32_t r = 0; r < rows; ++r) {
                const int filter = at[0];
                if (filter > kPaeth) return false;
                uint8_t* row = at + 1;
                Unfilter(row, up, rowBytes, bpp, filter);
                const uint32_t y = pass.y0 + r * pass.dy;
                for (uint32_t i = 0; i < w; ++i) PutPixel(h, c, row, i, image.Pixel(pass.x0 + i * pass.dx, y));
                up = row;
                at += rowBytes + 1;
            }
        }
        image.hasAlpha = c.translucent;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace kst
