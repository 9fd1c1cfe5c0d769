#include "history/formats_companion.h"

#include <cstring>
#include <new>

#include "history/wide_companion.h"
#include "image/png_codec.h"

namespace kst {
namespace {

constexpr char kMagic[4] = {'K', 'S', 'T', 'F'};
constexpr unsigned char kVersion = 1;
constexpr size_t kHeaderSize = 4 + 1 + 8 + 4 + 4 + 4;
constexpr size_t kFormatsRecordHeaderSize = 1 + 4 + 4 + 1 + 1;
constexpr size_t kPartHeaderSize = 1 + 4 + 4 + 4 + 4;
constexpr size_t kCrcSize = 4;
constexpr unsigned char kPictureEntryFlag = 1;
constexpr size_t kMostParts = 255;

void Append32(std::string& out, uint32_t value) {
    unsigned char bytes[4];
    PackBigEndian(bytes, value, 4);
    out.append(reinterpret_cast<const char*>(bytes), 4);
}

bool KnownKind(unsigned char kind) { return kind >= 1 && kind <= 4; }

// A picture part must be a PNG of the size it says.
bool SoundPart(const StoredFormat& part) {
    if (part.kind != FormatKind::kPicture && part.kind != FormatKind::kThumbnail) return true;
    uint32_t width = 0, height = 0;
    return part.width && part.height && PngSize(part.stored.data(), part.stored.size(), width, height) &&
           width == part.width && height == part.height;
}

} // namespace

std::string FormatsCompanionPath(const std::string& historyPath) { return historyPath + kFormatsCompanionSuffix; }

FormatsRecord FormatsRecordOf(size_t index, const std::string& text, std::shared_ptr<const ClipFormats> formats) {
    return {index, static_cast<uint32_t>(text.size()), Crc32(text.data(), text.size()), std::move(formats)};
}

// storage: the header, then for each record its header, its parts' headers
// and its checksum; the pieces point into it and at the stored bytes.
std::vector<FilePiece> FormatsCompanionPieces(const std::vector<FormatsRecord>& records, const HistoryFileSum& file,
                                              std::string& storage) {
    storage.assign(kMagic, sizeof kMagic);
    storage += static_cast<char>(kVersion);
    Append32(storage, static_cast<uint32_t>(file.length >> 32));
    Append32(storage, static_cast<uint32_t>(file.length & 0xFFFFFFFFu));
    Append32(storage, file.crc);
    Append32(storage, static_cast<uint32_t>(records.size()));
    Append32(storage, Crc32(storage.data(), storage.size()));
    // The file in order: ranges of storage, or stored bytes kept elsewhere.
    struct Segment {
        size_t begin, end;
        const std::string* stored;
    };
    struct Checked {
        size_t first, last, crcAt; // its segments, and where its checksum goes
    };
    std::vector<Segment> segments{{0, storage.size(), nullptr}};
    std::vector<Checked> checked;
    for (const FormatsRecord& r : records) {
        const size_t first = segments.size();
        size_t start = storage.size();
        const size_t parts = r.formats->parts.size() < kMostParts ? r.formats->parts.size() : kMostParts;
        storage += static_cast<char>(r.index);
        Append32(storage, r.textLength);
        Append32(storage, r.textCrc);
        storage += static_cast<char>(r.formats->pictureEntry ? kPictureEntryFlag : 0);
        storage += static_cast<char>(parts);
        for (size_t k = 0; k < parts; ++k) {
            const StoredFormat& part = r.formats->parts[k];
            storage += static_cast<char>(part.kind);
            Append32(storage, part.width);
            Append32(storage, part.height);
            Append32(storage, part.plainSize);
            Append32(storage, static_cast<uint32_t>(part.stored.size()));
            segments.push_back({start, storage.size(), nullptr});
            segments.push_back({0, 0, &part.stored});
            start = storage.size();
        }
        segments.push_back({start, storage.size(), nullptr});
        checked.push_back({first, segments.size(), storage.size()});
        segments.push_back({storage.size(), storage.size() + kCrcSize, nullptr});
        storage.append(kCrcSize, '\0');
    }
    // No more growth: the pieces may point into it now.
    auto bytesOf = [&storage](const Segment& s) {
        return s.stored ? FilePiece{s.stored->data(), s.stored->size()}
                        : FilePiece{storage.data() + s.begin, s.end - s.begin};
    };
    for (const Checked& c : checked) {
        uint32_t crc = 0;
        for (size_t k = c.first; k < c.last; ++k) {
            const FilePiece piece = bytesOf(segments[k]);
            crc = Crc32Update(crc, piece.data, piece.size);
        }
        PackBigEndian(reinterpret_cast<unsigned char*>(&storage[c.crcAt]), crc, 4);
    }
    std::vector<FilePiece> pieces;
    for (const Segment& s : segments) {
        const FilePiece piece = bytesOf(s);
        if (piece.size) pieces.push_back(piece);
    }
    return pieces;
}

std::string EncodeFormatsCompanion(const std::vector<FormatsRecord>& records, const HistoryFileSum& file) {
    std::string storage, out;
    for (const FilePiece& piece : FormatsCompanionPieces(records, file, storage)) out.append(piece.data, piece.size);
    return out;
}

bool DecodeFormatsCompanion(const unsigned char* data, size_t size, FormatsCompanion& companion) {
    companion = FormatsCompanion{};
    if (size < kHeaderSize || memcmp(data, kMagic, sizeof kMagic) != 0 || data[4] != kVersion) return false;
    if (Crc32(reinterpret_cast<const char*>(data), kHeaderSize - kCrcSize) !=
        UnpackBigEndian(data + kHeaderSize - kCrcSize, 4))
        return false;
    companion.file.length = uint64_t{UnpackBigEndian(data + 5, 4)} << 32 | UnpackBigEndian(data + 9, 4);
    companion.file.crc = UnpackBigEndian(data + 13, 4);
    const uint32_t count = UnpackBigEndian(data + 17, 4);
    size_t pos = kHeaderSize;
    for (uint32_t k = 0; k < count; ++k) {
        const size_t start = pos;
        if (size - pos < kFormatsRecordHeaderSize) break;
        const unsigned char* h = data + pos;
        const size_t parts = h[10];
        pos += kFormatsRecordHeaderSize;
        auto formats = std::make_shared<ClipFormats>();
        formats->pictureEntry = (h[9] & kPictureEntryFlag) != 0;
        bool sound = h[9] <= kPictureEntryFlag;
        bool cut = false;
        for (size_t p = 0; p < parts; ++p) {
            if (size - pos < kPartHeaderSize) {
                cut = true;
                break;
            }
            const unsigned char* ph = data + pos;
            const uint32_t length = UnpackBigEndian(ph + 13, 4);
            pos += kPartHeaderSize;
            if (length > size - pos) {
                cut = true;
                break;
            }
            StoredFormat part{static_cast<FormatKind>(ph[0]), UnpackBigEndian(ph + 1, 4), UnpackBigEndian(ph + 5, 4),
                              UnpackBigEndian(ph + 9, 4),
                              std::string(reinterpret_cast<const char*>(data + pos), length)};
            pos += length;
            sound = sound && KnownKind(ph[0]) && SoundPart(part);
            formats->parts.push_back(std::move(part));
        }
        // Lengths that run past the end leave nothing to read after them.
        if (cut || size - pos < kCrcSize) {
            ++companion.damaged;
            break;
        }
        const uint32_t crc = Crc32(reinterpret_cast<const char*>(data + start), pos - start);
        sound = sound && crc == UnpackBigEndian(data + pos, 4) && (!formats->pictureEntry || formats->Picture());
        pos += kCrcSize;
        if (!sound) {
            ++companion.damaged;
            continue;
        }
        companion.records.push_back(
            {h[0], UnpackBigEndian(h + 1, 4), UnpackBigEndian(h + 5, 4), std::move(formats)});
    }
    return true;
}

bool FormatsBindTo(const FormatsRecord& record, const std::string& text) {
    return record.textLength == text.size() && record.textCrc == Crc32(text.data(), text.size());
}

} // namespace kst
