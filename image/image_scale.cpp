#include "image/image_scale.h"

#include <algorithm>
#include <new>
#include <vector>

namespace kst {
namespace {

struct Share {
    uint32_t from; // the first source pixel
    std::vector<float> weights; // of from, from + 1, ...; they add up to 1
};

// What part of each source pixel along one axis each new pixel covers.
std::vector<Share> SharesAlong(uint32_t sourceLength, uint32_t length) {
    std::vector<Share> shares(length);
    const double step = static_cast<double>(sourceLength) / length;
    for (uint32_t k = 0; k < length; ++k) {
        const double begin = k * step, end = (k + 1) * step;
        Share& s = shares[k];
        s.from = static_cast<uint32_t>(begin);
        for (uint32_t p = s.from; p < sourceLength && p < end; ++p) {
            const double covered = std::min<double>(p + 1, end) - std::max<double>(p, begin);
            s.weights.push_back(static_cast<float>(covered / step));
        }
    }
    return shares;
}

} // namespace

ImageSize FitInside(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight) {
    if (width == 0 || height == 0 || boxWidth == 0 || boxHeight == 0) return {1, 1};
    // Width-limited or height-limited, whichever is smaller.
    if (uint64_t{width} * boxHeight >= uint64_t{height} * boxWidth) {
        const uint64_t h = (uint64_t{height} * boxWidth + width / 2) / width;
        return {boxWidth, static_cast<uint32_t>(std::max<uint64_t>(1, std::min<uint64_t>(h, boxHeight)))};
    }
    const uint64_t w = (uint64_t{width} * boxHeight + height / 2) / height;
    return {static_cast<uint32_t>(std::max<uint64_t>(1, std::min<uint64_t>(w, boxWidth))), boxHeight};
}

// Colours are weighted by their alpha, so that a transparent pixel's colour
// does not bleed into its neighbours.
bool ScaleImage(const Image& source, uint32_t width, uint32_t height, Image& scaled) {
    if (source.Empty() || width == 0 || height == 0) return false;
    try {
        const std::vector<Share> across = SharesAlong(source.width, width);
        const std::vector<Share> down = SharesAlong(source.height, height);
        // Each source row made narrow first: four premultiplied sums a pixel.
        std::vector<float> narrow(size_t{source.height} * width * 4, 0.0f);
        for (uint32_t y = 0; y < source.height; ++y) {
            const uint8_t* row = source.Pixel(0, y);
            float* out = &narrow[size_t{y} * width * 4];
            for (uint32_t x = 0; x < width; ++x, out += 4) {
                const Share& s = across[x];
                for (size_t k = 0; k < s.weights.size(); ++k) {
                    const uint8_t* p = row + (size_t{s.from} + k) * 4;
                    const float a = p[3] * s.weights[k];
                    out[0] += p[0] * a;
                    out[1] += p[1] * a;
                    out[2] += p[2] * a;
                    out[3] += a;
                }
            }
        }
        if (!AllocateImage(scaled, width, height)) return false;
        scaled.hasAlpha = source.hasAlpha;
        for (uint32_t y = 0; y < height; ++y) {
            const Share& s = down[y];
            for (uint32_t x = 0; x < width; ++x) {
                float sum[4] = {0, 0, 0, 0};
                for (size_t k = 0; k < s.weights.size(); ++k) {
                    const float* p = &narrow[((size_t{s.from} + k) * width + x) * 4];
                    for (int c = 0; c < 4; ++c) sum[c] += p[c] * s.weights[k];
                }
                uint8_t* out = scaled.Pixel(x, y);
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<uint8_t>(sum[3] > 0 ? std::min(255.0f, sum[c] / sum[3] + 0.5f) : 0);
                out[3] = static_cast<uint8_t>(std::min(255.0f, sum[3] + 0.5f));
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool FitImage(const Image& source, uint32_t boxWidth, uint32_t boxHeight, bool enlarge, Image& fitted) {
    const ImageSize size = FitInside(source.width, source.height, boxWidth, boxHeight);
    const bool fits = source.width <= boxWidth && source.height <= boxHeight;
    if ((fits && !enlarge) || (size.width == source.width && size.height == source.height)) {
        try {
            fitted = source;
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    return ScaleImage(source, size.width, size.height, fitted);
}

} // namespace kst
