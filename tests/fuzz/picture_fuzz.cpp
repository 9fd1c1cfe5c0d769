// The bytes pictures come in: a PNG or a bitmap from the clipboard, and the
// companion file that keeps them. The first byte says which; for a PNG its
// chunks' checksums can be made right first, so that the fuzzer reaches the
// decoder behind them.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history/formats_companion.h"
#include "image/dib_codec.h"
#include "image/image_scale.h"
#include "image/png_codec.h"

namespace {

using namespace kst;

constexpr uint64_t kFuzzPixels = 1 << 16;

void Check(bool condition) {
    if (!condition) abort();
}

uint32_t Read32(const unsigned char* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

std::string WithRightChecksums(std::string png) {
    for (size_t pos = 8; png.size() >= pos + 12;) {
        const uint32_t length = Read32(reinterpret_cast<const unsigned char*>(&png[pos]));
        if (length > png.size() - pos - 12) break;
        const uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(&png[pos + 4]), static_cast<uInt>(length + 4)));
        for (int k = 0; k < 4; ++k) png[pos + 8 + length + k] = static_cast<char>(crc >> (24 - 8 * k));
        pos += size_t{length} + 12;
    }
    return png;
}

// What is read is sound: written again it reads the same.
void Png(const std::string& bytes) {
    Image image;
    if (!DecodePng(bytes.data(), bytes.size(), image, kFuzzPixels)) return;
    Check(image.bgra.size() == size_t{image.width} * image.height * 4);
    std::string again;
    Check(EncodePng(image, 1, again));
    Image back;
    Check(DecodePng(again.data(), again.size(), back, kFuzzPixels));
    if (!image.hasAlpha) Check(back.bgra == image.bgra);
    const ImageSize box = FitInside(image.width, image.height, 48, 15);
    Image small;
    Check(ScaleImage(image, box.width, box.height, small));
}

void Dib(const std::string& bytes) {
    Image image;
    if (!DecodeDib(bytes.data(), bytes.size(), image, kFuzzPixels)) return;
    std::string again;
    Check(EncodeDib(image, again));
    Image back;
    Check(DecodeDib(again.data(), again.size(), back, kFuzzPixels));
    Check(back.width == image.width && back.height == image.height);
    if (!image.hasAlpha) Check(back.bgra == image.bgra);
}

void Companion(const std::string& bytes) {
    FormatsCompanion read;
    if (!DecodeFormatsCompanion(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), read)) return;
    const std::string again = EncodeFormatsCompanion(read.records, read.file);
    FormatsCompanion back;
    Check(DecodeFormatsCompanion(reinterpret_cast<const unsigned char*>(again.data()), again.size(), back));
    Check(back.records.size() == read.records.size() && back.damaged == 0);
    for (const FormatsRecord& r : read.records)
        for (const StoredFormat& part : r.formats->parts) {
            std::string plain;
            Image image;
            if (part.kind == FormatKind::kHtml || part.kind == FormatKind::kRtf) Inflated(part, plain);
            else if (uint64_t{part.width} * part.height <= kFuzzPixels) DecodePicture(part, image);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0: Png(bytes); break;
    case 1: Png(WithRightChecksums(bytes)); break;
    case 2: Dib(bytes); break;
    default: Companion(bytes); break;
    }
    return 0;
}
