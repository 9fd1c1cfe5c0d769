#include "history/clip_formats.h"

#include <cstdio>
#include <new>

#include "history/history_texts.h"
#include "image/deflate_bytes.h"
#include "image/image_scale.h"
#include "image/png_codec.h"

namespace kst {

constexpr int kFormatCompression = 6; // formatted text is small: the smaller the better

const StoredFormat* ClipFormats::Find(FormatKind kind) const {
    for (const StoredFormat& part : parts)
        if (part.kind == kind) return &part;
    return nullptr;
}

uint64_t ClipFormats::PlainBytes() const {
    uint64_t bytes = 0;
    for (const StoredFormat& part : parts) {
        if (part.kind == FormatKind::kPicture) bytes += Image::BytesOf(part.width, part.height);
        else if (part.kind != FormatKind::kThumbnail) bytes += part.plainSize;
    }
    return bytes;
}

uint64_t ClipFormats::StoredBytes() const {
    uint64_t bytes = 0;
    for (const StoredFormat& part : parts) bytes += part.stored.size();
    return bytes;
}

std::string PictureEntryText(uint32_t width, uint32_t height) {
    char text[64];
    snprintf(text, sizeof text, kPictureEntryTextFormat, width, height);
    return text;
}

std::string PictureLabel(uint32_t width, uint32_t height) {
    char text[64];
    snprintf(text, sizeof text, kPictureLabelFormat, width, height);
    return text;
}

bool AddPicture(const Image& picture, const std::string* png, ClipFormats& formats) {
    try {
        StoredFormat full{FormatKind::kPicture, picture.width, picture.height, 0, {}};
        if (png) full.stored = *png;
        else if (!EncodePng(picture, kPictureCompression, full.stored)) return false;
        // A picture no larger than the box is its own thumbnail's source.
        Image small;
        if (!FitImage(picture, kThumbnailSourceWidth, kThumbnailSourceHeight, false, small)) return false;
        StoredFormat thumbnail{FormatKind::kThumbnail, small.width, small.height, 0, {}};
        if (!EncodePng(small, kFormatCompression, thumbnail.stored)) return false;
        formats.parts.push_back(std::move(full));
        formats.parts.push_back(std::move(thumbnail));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool AddDeflated(FormatKind kind, const std::string& plain, ClipFormats& formats) {
    if (plain.size() > UINT32_MAX) return false;
    try {
        StoredFormat part{kind, 0, 0, static_cast<uint32_t>(plain.size()), {}};
        if (!DeflateBytes(plain.data(), plain.size(), kFormatCompression, part.stored)) return false;
        formats.parts.push_back(std::move(part));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool Inflated(const StoredFormat& format, std::string& plain) {
    return InflateBytes(format.stored.data(), format.stored.size(), format.plainSize, plain);
}

bool DecodePicture(const StoredFormat& format, Image& image) {
    return DecodePng(format.stored.data(), format.stored.size(), image, uint64_t{format.width} * format.height) &&
           image.width == format.width &&
           image.height == format.height;
}

} // namespace kst
