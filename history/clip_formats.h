// What a copy carried beside its text (formatted text, a picture), or the
// picture of a picture entry, kept compressed and never changed once made:
// the picture as PNG with a small PNG that thumbnails are made from, the
// formatted texts deflated. Shared by the entry and the saves.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/image.h"

namespace kst {

enum class FormatKind : uint8_t { kPicture = 1, kThumbnail = 2, kHtml = 3, kRtf = 4 };

struct StoredFormat {
    FormatKind kind;
    uint32_t width = 0, height = 0; // of a picture or thumbnail
    uint32_t plainSize = 0;         // what a deflated format inflates to
    std::string stored;             // PNG, or deflated bytes
};

struct ClipFormats {
    bool pictureEntry = false; // the entry is this picture; its text only names it
    std::vector<StoredFormat> parts;

    const StoredFormat* Find(FormatKind kind) const;
    const StoredFormat* Picture() const { return Find(FormatKind::kPicture); }
    // What they hold uncompressed (a picture as 4 bytes a pixel): the bound's measure.
    uint64_t PlainBytes() const;
    // The bytes they take in memory.
    uint64_t StoredBytes() const;
};

// The thumbnails' source fits in this box: enough for rows up to 360 DPI.
constexpr uint32_t kThumbnailSourceWidth = 192;
constexpr uint32_t kThumbnailSourceHeight = 64;
// How hard pictures are compressed (zlib's level): a screenshot in tens of
// milliseconds.
constexpr int kPictureCompression = 3;

// The text record of a picture entry, which a version without pictures
// shows ("[画像 1920×1080]"), and the label of its row ("画像 1920×1080").
std::string PictureEntryText(uint32_t width, uint32_t height);
std::string PictureLabel(uint32_t width, uint32_t height);

// The picture and its thumbnail source; png: the bytes it was copied as,
// kept as they are (null: encoded here). false when memory lacks.
bool AddPicture(const Image& picture, const std::string* png, ClipFormats& formats);
bool AddDeflated(FormatKind kind, const std::string& plain, ClipFormats& formats);
// The bytes of a deflated format as they were copied.
bool Inflated(const StoredFormat& format, std::string& plain);
// A picture or thumbnail's pixels.
bool DecodePicture(const StoredFormat& format, Image& image);

} // namespace kst
