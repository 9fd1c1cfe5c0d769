#include "history/pin_companion.h"

#include <cstring>

#include "history/wide_companion.h"

namespace kst {
namespace {

constexpr char kMagic[4] = {'K', 'S', 'T', 'P'};
constexpr unsigned char kVersion = 1;
constexpr size_t kHeaderSize = 4 + 1 + 8 + 4 + 4;
constexpr size_t kRecordSize = 1 + 4 + 4;
constexpr size_t kCrcSize = 4;

void Append(std::string& out, uint32_t value, int n) {
    unsigned char bytes[4];
    PackBigEndian(bytes, value, n);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

} // namespace

std::string PinCompanionPath(const std::string& historyPath) { return historyPath + kPinCompanionSuffix; }

PinRecord PinRecordOf(size_t index, const std::string& text) {
    return {index, static_cast<uint32_t>(text.size()), Crc32(text.data(), text.size())};
}

std::string EncodePinCompanion(const std::vector<PinRecord>& records, const HistoryFileSum& file) {
    std::string out(kMagic, sizeof kMagic);
    out += static_cast<char>(kVersion);
    Append(out, static_cast<uint32_t>(file.length >> 32), 4);
    Append(out, static_cast<uint32_t>(file.length & 0xFFFFFFFFu), 4);
    Append(out, file.crc, 4);
    Append(out, static_cast<uint32_t>(records.size()), 4);
    for (const PinRecord& r : records) {
        out += static_cast<char>(r.index);
        Append(out, r.textLength, 4);
        Append(out, r.textCrc, 4);
    }
    Append(out, Crc32(out.data(), out.size()), 4);
    return out;
}

bool DecodePinCompanion(const unsigned char* data, size_t size, PinCompanion& companion) {
    companion = PinCompanion{};
    if (size < kHeaderSize + kCrcSize || memcmp(data, kMagic, sizeof kMagic) != 0 || data[4] != kVersion)
        return false;
    const size_t body = size - kCrcSize;
    if (Crc32(reinterpret_cast<const char*>(data), body) != UnpackBigEndian(data + body, 4)) return false;
    companion.file.length = uint64_t{UnpackBigEndian(data + 5, 4)} << 32 | UnpackBigEndian(data + 9, 4);
    companion.file.crc = UnpackBigEndian(data + 13, 4);
    const uint32_t count = UnpackBigEndian(data + 17, 4);
    if (count > (body - kHeaderSize) / kRecordSize || kHeaderSize + size_t{count} * kRecordSize != body) {
        companion = PinCompanion{};
        return false;
    }
    for (size_t pos = kHeaderSize; pos < body; pos += kRecordSize)
        companion.records.push_back(
            {data[pos], UnpackBigEndian(data + pos + 1, 4), UnpackBigEndian(data + pos + 5, 4)});
    return true;
}

std::vector<size_t> PinnedPlaces(const PinCompanion& companion, const HistoryFileSum& file,
                                 const std::vector<const std::string*>& texts) {
    std::vector<size_t> places;
    if (companion.file.length != file.length || companion.file.crc != file.crc) return places;
    for (const PinRecord& r : companion.records) {
        if (r.index >= texts.size()) continue;
        const std::string& text = *texts[r.index];
        if (r.textLength == text.size() && r.textCrc == Crc32(text.data(), text.size())) places.push_back(r.index);
    }
    return places;
}

} // namespace kst
