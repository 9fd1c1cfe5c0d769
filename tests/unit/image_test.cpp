// The picture layer: PNG written and read (every colour type and depth,
// interlaced or not, damaged), device-independent bitmaps of every depth,
// scaling by area, and deflate.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "image/deflate_bytes.h"
#include "image/dib_codec.h"
#include "image/image_scale.h"
#include "image/png_codec.h"
#include "tests/unit/test_pictures.h"

namespace {

using namespace kst;

Image RandomImage(uint32_t w, uint32_t h, bool alpha, unsigned seed) {
    Image image;
    AllocateImage(image, w, h);
    std::mt19937 random(seed);
    for (size_t k = 0; k < image.bgra.size(); ++k) image.bgra[k] = static_cast<uint8_t>(random());
    if (!alpha)
        for (size_t k = 3; k < image.bgra.size(); k += 4) image.bgra[k] = 255;
    image.hasAlpha = alpha;
    return image;
}

TEST(Png, WhatIsWrittenReadsBackExactly) {
    const struct {
        uint32_t w, h;
        bool alpha, smooth;
        int level;
    } cases[] = {{1, 1, false, false, 1}, {5, 3, false, false, 3}, {17, 9, true, false, 3},
                 {300, 7, false, true, 9}, {64, 64, true, true, 1}, {2, 500, false, true, 6}};
    for (const auto& c : cases) {
        const Image image = c.smooth ? SmoothImage(c.w, c.h) : RandomImage(c.w, c.h, c.alpha, c.w * 31 + c.h);
        std::string png;
        ASSERT_TRUE(EncodePng(image, c.level, png)) << c.w << "x" << c.h;
        uint32_t w = 0, h = 0;
        EXPECT_TRUE(PngSize(png.data(), png.size(), w, h));
        EXPECT_EQ(c.w, w);
        EXPECT_EQ(c.h, h);
        Image back;
        ASSERT_TRUE(DecodePng(png.data(), png.size(), back)) << c.w << "x" << c.h;
        EXPECT_EQ(image.bgra, back.bgra) << c.w << "x" << c.h;
        EXPECT_EQ(image.hasAlpha, back.hasAlpha);
    }
}

// A PNG of any kind written plainly (filter none), from its samples.
struct PngKind {
    int colour, depth;
    bool interlaced, key;
};

void Chunk(std::string& out, const char* type, const std::string& data) {
    auto put32 = [&out](uint32_t v) {
        for (int k = 3; k >= 0; --k) out += static_cast<char>(v >> (8 * k));
    };
    put32(static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    put32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

int Channels(int colour) { return colour == 0 || colour == 3 ? 1 : colour == 4 ? 2 : colour == 2 ? 3 : 4; }

// samples: per pixel, Channels() values of depth bits each.
std::string PlainPng(const PngKind& kind, uint32_t w, uint32_t h, const std::vector<uint32_t>& samples,
                     const std::vector<uint8_t>& paletteAlpha, const uint32_t key[3]) {
    const int n = Channels(kind.colour);
    std::string raw;
    struct Pass {
        uint32_t x0, y0, dx, dy;
    };
    const std::vector<Pass> passes = kind.interlaced
        ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
        : std::vector<Pass>{{0, 0, 1, 1}};
    for (const Pass& p : passes) {
        for (uint32_t y = p.y0; y < h; y += p.dy) {
            if (p.x0 >= w) continue;
            raw += '\0';
            uint32_t bits = 0, count = 0;
            for (uint32_t x = p.x0; x < w; x += p.dx)
                for (int c = 0; c < n; ++c) {
                    const uint32_t s = samples[(size_t{y} * w + x) * n + c];
                    if (kind.depth == 16) {
                        raw += static_cast<char>(s >> 8);
                        raw += static_cast<char>(s);
                        continue;
                    }
                    bits = bits << kind.depth | s;
                    count += kind.depth;
                    if (count == 8) raw += static_cast<char>(bits), bits = count = 0;
                }
            if (count) raw += static_cast<char>(bits << (8 - count));
        }
    }
    std::string png("\x89PNG\r\n\x1a\n", 8), ihdr, idat;
    for (uint32_t v : {w, h})
        for (int k = 3; k >= 0; --k) ihdr += static_cast<char>(v >> (8 * k));
    ihdr += static_cast<char>(kind.depth);
    ihdr += static_cast<char>(kind.colour);
    ihdr += std::string("\0\0", 2);
    ihdr += static_cast<char>(kind.interlaced ? 1 : 0);
    Chunk(png, "IHDR", ihdr);
    if (kind.colour == 3) {
        std::string plte;
        for (int k = 0; k < (1 << kind.depth); ++k) plte += {char(k * 3), char(k * 5), char(255 - k)};
        Chunk(png, "PLTE", plte);
        Chunk(png, "tRNS", std::string(paletteAlpha.begin(), paletteAlpha.end()));
    } else if (kind.key) {
        std::string trns;
        for (int c = 0; c < (kind.colour == 0 ? 1 : 3); ++c) trns += {char(key[c] >> 8), char(key[c])};
        Chunk(png, "tRNS", trns);
    }
    Chunk(png, "tEXt", std::string("Comment\0ancillary, skipped", 26));
    DeflateBytes(raw.data(), raw.size(), 6, idat);
    Chunk(png, "IDAT", idat.substr(0, idat.size() / 2)); // split over two chunks, as writers may
    Chunk(png, "IDAT", idat.substr(idat.size() / 2));
    Chunk(png, "IEND", "");
    return png;
}

uint8_t To8(uint32_t s, int depth) { return depth == 16 ? s >> 8 : static_cast<uint8_t>(s * 255 / ((1u << depth) - 1)); }

TEST(Png, EveryColourTypeAndDepthInterlacedOrNotReads) {
    const PngKind kinds[] = {{0, 1, false, false}, {0, 2, true, false}, {0, 4, false, false}, {0, 8, true, true},
                             {0, 16, false, false}, {2, 8, false, true}, {2, 16, true, false}, {3, 1, false, false},
                             {3, 2, false, false}, {3, 4, true, false}, {3, 8, false, false}, {4, 8, true, false},
                             {4, 16, false, false}, {6, 8, false, false}, {6, 16, true, false}};
    const uint32_t sizes[][2] = {{13, 7}, {1, 1}, {3, 17}};
    for (const PngKind& kind : kinds)
        for (const auto& size : sizes) {
            const uint32_t w = size[0], h = size[1];
            const int n = Channels(kind.colour);
            std::mt19937 random(kind.colour * 100 + kind.depth + w);
            const uint32_t top = (1u << kind.depth) - 1;
            std::vector<uint32_t> samples(size_t{w} * h * n);
            for (uint32_t& s : samples) s = random() & top;
            const uint32_t key[3] = {samples[0], n >= 3 ? samples[1] : 0, n >= 3 ? samples[2] : 0};
            std::vector<uint8_t> paletteAlpha;
            for (uint32_t k = 0; k < 3 && k <= top; ++k) paletteAlpha.push_back(static_cast<uint8_t>(k * 100));
            const std::string png = PlainPng(kind, w, h, samples, paletteAlpha, key);
            Image image;
            ASSERT_TRUE(DecodePng(png.data(), png.size(), image)) << kind.colour << "/" << kind.depth << " " << w;
            bool translucent = false;
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    const uint32_t* s = &samples[(size_t{y} * w + x) * n];
                    uint8_t want[4];
                    if (kind.colour == 3) {
                        want[2] = static_cast<uint8_t>(s[0] * 3), want[1] = static_cast<uint8_t>(s[0] * 5);
                        want[0] = static_cast<uint8_t>(255 - s[0]);
                        want[3] = s[0] < paletteAlpha.size() ? paletteAlpha[s[0]] : 255;
                    } else if (n <= 2) {
                        want[0] = want[1] = want[2] = To8(s[0], kind.depth);
                        want[3] = n == 2 ? To8(s[1], kind.depth) : kind.key && s[0] == key[0] ? 0 : 255;
                    } else {
                        want[2] = To8(s[0], kind.depth), want[1] = To8(s[1], kind.depth), want[0] = To8(s[2], kind.depth);
                        const bool keyed = kind.key && s[0] == key[0] && s[1] == key[1] && s[2] == key[2];
                        want[3] = n == 4 ? To8(s[3], kind.depth) : keyed ? 0 : 255;
                    }
                    translucent = translucent || want[3] != 255;
                    const uint8_t* got = image.Pixel(x, y);
                    for (int c = 0; c < 4; ++c)
                        ASSERT_EQ(want[c], got[c]) << kind.colour << "/" << kind.depth << (kind.interlaced ? "i " : " ")
                                                   << w << "x" << h << " at " << x << "," << y << " channel " << c;
                }
            EXPECT_EQ(translucent, image.hasAlpha);
        }
}

TEST(Png, DamagedOrCutOrHugeIsRefused) {
    std::string png;
    ASSERT_TRUE(EncodePng(RandomImage(9, 4, true, 7), 6, png));
    Image image;
    for (size_t length = 0; length < png.size(); ++length)
        EXPECT_FALSE(DecodePng(png.data(), length, image)) << "cut at " << length;
    for (size_t at = 0; at < png.size(); ++at) {
        std::string damaged = png;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        EXPECT_FALSE(DecodePng(damaged.data(), damaged.size(), image)) << "byte " << at; // every chunk is checked
    }
    EXPECT_FALSE(DecodePng(png.data(), png.size(), image, 9 * 4 - 1)) << "more pixels than allowed";
    EXPECT_TRUE(DecodePng(png.data(), png.size(), image, 9 * 4));
}

// A bitmap of a depth, from its rows of bytes (bottom-up unless topDown).
std::string Dib(int bits, uint32_t compression, int32_t w, int32_t h, const std::vector<uint32_t>& masks,
                const std::vector<uint32_t>& palette, const std::vector<std::string>& rows, uint32_t headerSize = 40) {
    std::string d(headerSize, '\0');
    auto put = [&d](size_t at, uint32_t v, int n) {
        for (int k = 0; k < n; ++k) d[at + k] = static_cast<char>(v >> (8 * k));
    };
    put(0, headerSize, 4);
    put(4, static_cast<uint32_t>(w), 4);
    put(8, static_cast<uint32_t>(h), 4);
    put(12, 1, 2);
    put(14, static_cast<uint32_t>(bits), 2);
    put(16, compression, 4);
    put(32, static_cast<uint32_t>(palette.size()), 4);
    for (size_t k = 0; k < masks.size(); ++k) {
        if (headerSize == 40) d.append(4, '\0');
        put(headerSize == 40 ? d.size() - 4 : 40 + 4 * k, masks[k], 4);
    }
    for (uint32_t c : palette) {
        d.append(4, '\0');
        put(d.size() - 4, c, 4);
    }
    for (const std::string& row : rows) d += row + std::string((4 - row.size() % 4) % 4, '\0');
    return d;
}

TEST(Dib, EveryDepthAndLayoutReads) {
    // Each bitmap is 3 x 2; the wanted pixels as BGRA from the top row.
    using Pixels = std::vector<uint32_t>; // 0xAARRGGBB
    const struct {
        const char* name;
        std::string dib;
        Pixels want;
    } cases[] = {
        {"1 bit", Dib(1, 0, 3, 2, {}, {0x000000, 0xFFFFFF}, {"\xA0", "\x40"}),
         {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
        {"4 bit", Dib(4, 0, 3, 2, {}, {0x112233, 0x445566, 0x778899}, {"\x01\x20", "\x21\x00"}),
         {0xFF778899, 0xFF445566, 0xFF112233, 0xFF112233, 0xFF445566, 0xFF778899}},
        {"8 bit, index past the palette", Dib(8, 0, 3, 2, {}, {0x0000FF, 0x00FF00}, {std::string("\x00\x01\x07", 3), std::string("\x01\x00\x00", 3)}),
         {0xFF00FF00, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFF0000FF}},
        {"16 bit 555", Dib(16, 0, 3, 2, {}, {}, {std::string("\x00\x7C\xE0\x03\x1F\x00", 6), std::string("\xFF\x7F\x00\x00\x00\x00", 6)}),
         {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}},
        {"16 bit 565 fields", Dib(16, 3, 3, 2, {0xF800, 0x07E0, 0x001F}, {}, {std::string("\x00\xF8\xE0\x07\x1F\x00", 6), std::string("\xFF\xFF\x00\x00\x00\x00", 6)}),
         {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}},
        {"24 bit top-down", Dib(24, 0, 3, -2, {}, {}, {"\x01\x02\x03\x04\x05\x06\x07\x08\x09", "\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x12"}),
         {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110}},
        {"32 bit, its fourth byte ignored", Dib(32, 0, 3, 2, {}, {}, {std::string(12, '\x80'), std::string("\x01\x02\x03\x00\x04\x05\x06\x00\x07\x08\x09\x00", 12)}),
         {0xFF030201, 0xFF060504, 0xFF090807, 0xFF808080, 0xFF808080, 0xFF808080}},
        {"32 bit with alpha in a later header", Dib(32, 3, 3, 2, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {}, {std::string("\x01\x02\x03\x80\x04\x05\x06\xFF\x07\x08\x09\x00", 12), std::string(12, '\xFF')}, 124),
         {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x80030201, 0xFF060504, 0x00090807}},
    };
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(DecodeDib(c.dib.data(), c.dib.size(), image)) << c.name;
        ASSERT_EQ(3u, image.width) << c.name;
        ASSERT_EQ(2u, image.height) << c.name;
        for (size_t k = 0; k < 6; ++k) {
            const uint8_t* p = &image.bgra[k * 4];
            const uint32_t got = uint32_t{p[3]} << 24 | p[2] << 16 | p[1] << 8 | p[0];
            EXPECT_EQ(c.want[k], got) << c.name << " pixel " << k;
        }
        for (size_t length = 0; length < c.dib.size(); ++length)
            EXPECT_FALSE(DecodeDib(c.dib.data(), length, image)) << c.name << " cut at " << length;
    }
}

TEST(Dib, OddOnesAreRefusedAndWhatIsWrittenReadsBack) {
    const std::string rows[] = {"\x01\x02\x03", "\x04\x05\x06"};
    const struct {
        const char* name;
        std::string dib;
    } refused[] = {
        {"run-length", Dib(8, 1, 1, 2, {}, {0}, {rows[0], rows[1]})},
        {"zero width", Dib(24, 0, 0, 2, {}, {}, {rows[0], rows[1]})},
        {"zero height", Dib(24, 0, 1, 0, {}, {}, {})},
        {"2 bits", Dib(2, 0, 1, 2, {}, {0, 0, 0, 0}, {rows[0], rows[1]})},
        {"header too small", Dib(24, 0, 1, 2, {}, {}, {rows[0], rows[1]}, 12)},
        {"fields at 24 bits", Dib(24, 3, 1, 2, {1, 2, 4}, {}, {rows[0], rows[1]})},
        {"huge", Dib(24, 0, 1 << 20, 1 << 20, {}, {}, {rows[0], rows[1]})},
    };
    Image image;
    for (const auto& r : refused) EXPECT_FALSE(DecodeDib(r.dib.data(), r.dib.size(), image)) << r.name;
    for (bool alpha : {false, true}) {
        const Image picture = RandomImage(7, 5, alpha, alpha ? 3 : 4);
        std::string dib;
        ASSERT_TRUE(EncodeDib(picture, dib));
        uint32_t w = 0, h = 0;
        EXPECT_TRUE(DibSize(dib.data(), dib.size(), w, h));
        EXPECT_EQ(7u, w);
        EXPECT_EQ(5u, h);
        Image back;
        ASSERT_TRUE(DecodeDib(dib.data(), dib.size(), back));
        if (!alpha) {
            EXPECT_EQ(picture.bgra, back.bgra);
        }
        EXPECT_EQ(alpha ? 32 : 24, dib[14]);
    }
}

TEST(Scale, FitsTheBoxKeepingProportions) {
    const struct {
        uint32_t w, h, boxW, boxH, wantW, wantH;
    } cases[] = {{1920, 1080, 48, 15, 27, 15}, {1080, 1920, 48, 15, 8, 15}, {4000, 10, 48, 15, 48, 1},
                 {10, 4000, 48, 15, 1, 15},    {8, 8, 48, 15, 15, 15},     {100, 50, 100, 50, 100, 50},
                 {0, 5, 10, 10, 1, 1},         {320, 200, 192, 64, 102, 64}};
    for (const auto& c : cases) {
        const ImageSize size = FitInside(c.w, c.h, c.boxW, c.boxH);
        EXPECT_EQ(c.wantW, size.width) << c.w << "x" << c.h;
        EXPECT_EQ(c.wantH, size.height) << c.w << "x" << c.h;
    }
}

Image Filled(uint32_t w, uint32_t h, uint32_t bgra) {
    Image image;
    AllocateImage(image, w, h);
    for (size_t k = 0; k < image.bgra.size(); ++k) image.bgra[k] = static_cast<uint8_t>(bgra >> (8 * (k % 4)));
    image.hasAlpha = (bgra >> 24) != 0xFF;
    return image;
}

TEST(Scale, AveragesTheAreaEachPixelCovers) {
    // A solid colour stays that colour at any size.
    for (const ImageSize& to : {ImageSize{1, 1}, ImageSize{7, 3}, ImageSize{40, 40}}) {
        Image scaled;
        ASSERT_TRUE(ScaleImage(Filled(13, 11, 0xFF204080), to.width, to.height, scaled));
        for (size_t k = 0; k < scaled.bgra.size(); k += 4)
            EXPECT_EQ((std::vector<uint8_t>{0x80, 0x40, 0x20, 0xFF}),
                      std::vector<uint8_t>(scaled.bgra.begin() + k, scaled.bgra.begin() + k + 4));
    }
    // Black and white columns made half as wide: grey, not one or the other.
    Image stripes = Filled(10, 2, 0xFFFFFFFF);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 10; x += 2) stripes.Pixel(x, y)[0] = stripes.Pixel(x, y)[1] = stripes.Pixel(x, y)[2] = 0;
    Image half;
    ASSERT_TRUE(ScaleImage(stripes, 5, 1, half));
    for (uint32_t x = 0; x < 5; ++x) EXPECT_NEAR(128, half.Pixel(x, 0)[0], 1);
    // A one-pixel line across 100 rows made ten: a faint line, still there.
    Image line = Filled(100, 100, 0xFFFFFFFF);
    for (uint32_t x = 0; x < 100; ++x) line.Pixel(x, 55)[0] = line.Pixel(x, 55)[1] = line.Pixel(x, 55)[2] = 0;
    Image small;
    ASSERT_TRUE(ScaleImage(line, 10, 10, small));
    EXPECT_NEAR(255 - 255 / 10, small.Pixel(3, 5)[1], 2);
    EXPECT_EQ(255, small.Pixel(3, 4)[1]);
    // A transparent pixel's colour does not bleed: red at no alpha, blue opaque.
    Image two = Filled(2, 1, 0xFF0000FF);
    two.Pixel(0, 0)[2] = 255, two.Pixel(0, 0)[0] = 0, two.Pixel(0, 0)[3] = 0;
    two.hasAlpha = true;
    Image one;
    ASSERT_TRUE(ScaleImage(two, 1, 1, one));
    EXPECT_EQ(255, one.Pixel(0, 0)[0]) << "blue";
    EXPECT_EQ(0, one.Pixel(0, 0)[2]) << "no red";
    EXPECT_NEAR(128, one.Pixel(0, 0)[3], 1);
}

TEST(Deflate, RoundTripsAndRefusesAnotherLength) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{1000}, size_t{3} << 20}) {
        std::string plain(size, '\0');
        for (size_t k = 0; k < size; ++k) plain[k] = static_cast<char>((k * 7) ^ (k >> 9));
        std::string packed, back;
        ASSERT_TRUE(DeflateBytes(plain.data(), plain.size(), 6, packed));
        ASSERT_TRUE(InflateBytes(packed.data(), packed.size(), size, back)) << size;
        EXPECT_TRUE(back == plain);
        EXPECT_FALSE(InflateBytes(packed.data(), packed.size(), size + 1, back)) << "shorter than said";
        if (size) {
            EXPECT_FALSE(InflateBytes(packed.data(), packed.size(), size - 1, back)) << "longer than said";
        }
        if (packed.size() > 2) {
            EXPECT_FALSE(InflateBytes(packed.data(), packed.size() - 2, size, back)) << "cut";
        }
    }
}

} // namespace
