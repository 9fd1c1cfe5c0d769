// Device-independent bitmaps as the clipboard holds them (CF_DIB, CF_DIBV5):
// a BITMAPINFOHEADER or a later header, masks, a palette, then the rows.
// Read natively, byte by byte: no Windows header is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/image.h"

namespace kst {

// The size its header gives; false when it is no bitmap this reader takes.
bool DibSize(const void* data, size_t size, uint32_t& width, uint32_t& height);
// 1, 4, 8, 16, 24 and 32 bits a pixel, uncompressed or with bit-field
// masks, either way up; false for anything else, damaged or cut short.
bool DecodeDib(const void* data, size_t size, Image& image, uint64_t maxPixels = kMaxImagePixels);
// A bottom-up bitmap with a BITMAPINFOHEADER: 24 bits a pixel, or 32 with
// the alpha of a picture that has transparency.
bool EncodeDib(const Image& image, std::string& dib);

} // namespace kst
