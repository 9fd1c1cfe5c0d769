// PNG, as pictures are kept on disk and offered on the clipboard ("PNG").
// Every kind of PNG is read (all colour types and depths, interlaced or not);
// what is written is 8-bit RGB, or RGBA for a picture with transparency.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/image.h"

namespace kst {

// level: zlib's, 1 (fastest) to 9 (smallest).
bool EncodePng(const Image& image, int level, std::string& png);
// The size its header gives, without reading the pixels.
bool PngSize(const void* data, size_t size, uint32_t& width, uint32_t& height);
// false for anything damaged or not a PNG, and for more than maxPixels.
bool DecodePng(const void* data, size_t size, Image& image, uint64_t maxPixels = kMaxImagePixels);

} // namespace kst
