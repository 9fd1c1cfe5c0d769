#include "history/wide_companion.h"

#include <array>
#include <cstring>

#include "history/history_file.h"

namespace kst {
namespace {

constexpr char kMagic[4] = {'K', 'S', 'T', 'W'};
constexpr unsigned char kVersion = 2;
constexpr unsigned char kOldVersion = 1;
constexpr size_t kHeaderSize = 4 + 1 + 4; // version 1's; version 2 adds the file's sum
constexpr size_t kFileSumSize = 8 + 4;
constexpr size_t kRecordHeaderBytes = 1 + 4 + 4 + 4;
constexpr size_t kCrcSize = 4;

// Eight tables: the checksum takes eight bytes a step ("slice by 8"), as a
// companion of many long texts is checked byte by byte at every save.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

CrcTables MakeCrcTables() {
    CrcTables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

void AppendBigEndian(std::string& out, uint32_t value, int n) {
    unsigned char bytes[4];
    PackBigEndian(bytes, value, n);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndianHost = true;
#else
constexpr bool kLittleEndianHost = false;
#endif

void AppendLittleEndian(std::string& out, const std::u16string& text) {
    const size_t at = out.size();
    out.resize(at + text.size() * 2);
    if (kLittleEndianHost) {
        memcpy(&out[at], text.data(), text.size() * 2);
        return;
    }
    for (size_t u = 0; u < text.size(); ++u) {
        out[at + 2 * u] = static_cast<char>(text[u] & 0xFF);
        out[at + 2 * u + 1] = static_cast<char>(text[u] >> 8);
    }
}

std::u16string ReadLittleEndian(const unsigned char* data, size_t units) {
    std::u16string text(units, u'\0');
    if (kLittleEndianHost) {
        memcpy(&text[0], data, units * 2);
        return text;
    }
    for (size_t u = 0; u < units; ++u) text[u] = static_cast<char16_t>(data[2 * u] | (data[2 * u + 1] << 8));
    return text;
}

} // namespace

uint32_t Crc32Update(uint32_t crc, const char* data, size_t size) {
    static const CrcTables t = MakeCrcTables();
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (; size >= 8; size -= 8, p += 8) {
        const uint32_t lo = c ^ (p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
            t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; size > 0; --size, ++p) c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t Crc32(const char* data, size_t size) { return Crc32Update(0, data, size); }

namespace {

void AppendFileSum(std::string& out, const HistoryFileSum& file) {
    AppendBigEndian(out, static_cast<uint32_t>(file.length >> 32), 4);
    AppendBigEndian(out, static_cast<uint32_t>(file.length & 0xFFFFFFFFu), 4);
    AppendBigEndian(out, file.crc, 4);
}

void AppendRecordHeader(std::string& out, const WideRecordRef& r) {
    out += static_cast<char>(r.index);
    AppendBigEndian(out, r.cp932Length, 4);
    AppendBigEndian(out, r.cp932Crc, 4);
    AppendBigEndian(out, static_cast<uint32_t>(r.text->size()), 4);
}

} // namespace

// storage: the file's header, each record's header (and on a big-endian
// host its units), then the checksum; pieces point into it and at the texts.
std::vector<FilePiece> WideCompanionPieces(const std::vector<WideRecordRef>& records, const HistoryFileSum& file,
                                           std::string& storage) {
    storage.assign(kMagic, sizeof kMagic);
    storage += static_cast<char>(kVersion);
    AppendFileSum(storage, file);
    AppendBigEndian(storage, static_cast<uint32_t>(records.size()), 4);
    std::vector<size_t> ends{storage.size()};
    for (const WideRecordRef& r : records) {
        AppendRecordHeader(storage, r);
        if (!kLittleEndianHost) AppendLittleEndian(storage, *r.text);
        ends.push_back(storage.size());
    }
    const size_t bodyEnd = storage.size();
    storage.resize(bodyEnd + kCrcSize); // no more growth: the pieces may point into it now
    std::vector<FilePiece> pieces{{storage.data(), ends[0]}};
    for (size_t k = 0; k < records.size(); ++k) {
        pieces.push_back({storage.data() + ends[k], ends[k + 1] - ends[k]});
        const std::u16string& text = *records[k].text;
        if (kLittleEndianHost && !text.empty())
            pieces.push_back({reinterpret_cast<const char*>(text.data()), text.size() * 2});
    }
    uint32_t crc = 0;
    for (const FilePiece& piece : pieces) crc = Crc32Update(crc, piece.data, piece.size);
    PackBigEndian(reinterpret_cast<unsigned char*>(&storage[bodyEnd]), crc, 4);
    pieces.push_back({storage.data() + bodyEnd, kCrcSize});
    return pieces;
}

std::string EncodeWideCompanion(const std::vector<WideRecord>& records, const HistoryFileSum& file) {
    std::vector<WideRecordRef> refs;
    for (const WideRecord& r : records) refs.push_back({r.index, r.cp932Length, r.cp932Crc, &r.text});
    std::string storage;
    std::string out;
    for (const FilePiece& piece : WideCompanionPieces(refs, file, storage)) out.append(piece.data, piece.size);
    return out;
}

WideCompanion DecodeWideCompanion(const unsigned char* data, size_t size) {
    WideCompanion companion;
    if (size < kHeaderSize + kCrcSize || memcmp(data, kMagic, sizeof kMagic) != 0) return companion;
    const unsigned char version = data[4];
    const size_t header = version == kVersion ? kHeaderSize + kFileSumSize : kHeaderSize;
    if ((version != kVersion && version != kOldVersion) || size < header + kCrcSize) return companion;
    const size_t body = size - kCrcSize;
    if (Crc32(reinterpret_cast<const char*>(data), body) != UnpackBigEndian(data + body, 4)) return companion;
    size_t pos = 5;
    if (version == kVersion) {
        companion.boundToFile = true;
        companion.file.length = uint64_t{UnpackBigEndian(data + pos, 4)} << 32 | UnpackBigEndian(data + pos + 4, 4);
        companion.file.crc = UnpackBigEndian(data + pos + 8, 4);
        pos += kFileSumSize;
    }
    const uint32_t count = UnpackBigEndian(data + pos, 4);
    pos += 4;
    std::vector<WideRecord>& records = companion.records;
    for (uint32_t k = 0; k < count; ++k) {
        if (body - pos < kRecordHeaderBytes) return {};
        WideRecord r;
        r.index = data[pos];
        r.cp932Length = UnpackBigEndian(data + pos + 1, 4);
        r.cp932Crc = UnpackBigEndian(data + pos + 5, 4);
        const uint32_t units = UnpackBigEndian(data + pos + 9, 4);
        pos += kRecordHeaderBytes;
        if (units > (body - pos) / 2) return {};
        r.text = ReadLittleEndian(data + pos, units);
        pos += size_t{units} * 2;
        records.push_back(std::move(r));
    }
    if (pos != body) return {};
    return companion;
}

bool BelongsTo(const WideCompanion& companion, const HistoryFileSum& file) {
    return !companion.boundToFile || (companion.file.length == file.length && companion.file.crc == file.crc);
}

bool BindsTo(const WideRecord& record, const std::string& cp932) {
    return record.cp932Length == cp932.size() && record.cp932Crc == Crc32(cp932.data(), cp932.size());
}

} // namespace kst
