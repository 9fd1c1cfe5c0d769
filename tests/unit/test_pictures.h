// Pictures for the tests: every pixel different, and smooth as photographs are.
#pragma once

#include <cstdint>

#include "image/image.h"

inline kst::Image SmoothImage(uint32_t w, uint32_t h) {
    kst::Image image;
    kst::AllocateImage(image, w, h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = image.Pixel(x, y);
            p[0] = static_cast<uint8_t>(x * 3 + y), p[1] = static_cast<uint8_t>(x ^ y), p[2] = static_cast<uint8_t>(y * 2);
            p[3] = 255;
        }
    return image;
}
