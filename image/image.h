// A picture in memory: blue, green, red and alpha bytes per pixel (the
// order of a 32-bit device-independent bitmap), rows from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kst {

// No decoder makes more pixels than this (a 16384 x 16384 picture), whatever
// its header says: what no one copies is refused before it is allocated.
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 28;

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false; // false: every alpha byte is 255
    std::vector<uint8_t> bgra;

    bool Empty() const { return width == 0 || height == 0; }
    // The bytes of its pixels uncompressed, as a bound counts them.
    static uint64_t BytesOf(uint64_t width, uint64_t height) { return width * height * 4; }
    uint8_t* Pixel(uint32_t x, uint32_t y) { return &bgra[(size_t{y} * width + x) * 4]; }
    const uint8_t* Pixel(uint32_t x, uint32_t y) const { return &bgra[(size_t{y} * width + x) * 4]; }
};

// width x height pixels, all zero; false when they cannot be had.
bool AllocateImage(Image& image, uint32_t width, uint32_t height);

} // namespace kst
