// Pictures made smaller (or larger) by averaging the area each new pixel
// covers: thumbnails keep fine lines and text as a grey rather than losing
// them between samples.
#pragma once

#include <cstdint>

#include "image/image.h"

namespace kst {

struct ImageSize {
    uint32_t width;
    uint32_t height;
};

// The largest size of the picture's proportions inside the box, at least
// one pixel each way.
ImageSize FitInside(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight);

// The picture at the new size; false when memory lacks (or a size is zero).
bool ScaleImage(const Image& source, uint32_t width, uint32_t height, Image& scaled);
// The picture scaled to fit inside the box (FitInside); a copy of it as it
// is when it fits already and is not to be enlarged.
bool FitImage(const Image& source, uint32_t boxWidth, uint32_t boxHeight, bool enlarge, Image& fitted);

} // namespace kst
