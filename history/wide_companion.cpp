#include "history/wide_companion.h"

#include <array>
#include <cstring>

#include "history/history_file.h"

namespace kst {
namespace {

constexpr char kMagic[4] = {'K', 'S', 'T', 'W'};
constexpr unsigned char kVersion = 1;
constexpr size_t kHeaderSize = 4 + 1 + 4;
constexpr size_t kRecordHeaderBytes = 1 + 4 + 4 + 4;
constexpr size_t kCrcSize = 4;

std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void AppendBigEndian(std::string& out, uint32_t value, int n) {
    unsigned char bytes[4];
    PackBigEndian(bytes, value, n);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

} // namespace

uint32_t Crc32(const char* data, size_t size) {
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string EncodeWideCompanion(const std::vector<WideRecord>& records) {
    std::string out(kMagic, sizeof kMagic);
    out += static_cast<char>(kVersion);
    AppendBigEndian(out, static_cast<uint32_t>(records.size()), 4);
    for (const WideRecord& r : records) {
        out += static_cast<char>(r.index);
        AppendBigEndian(out, r.cp932Length, 4);
        AppendBigEndian(out, r.cp932Crc, 4);
        AppendBigEndian(out, static_cast<uint32_t>(r.text.size()), 4);
        for (char16_t unit : r.text) {
            out += static_cast<char>(unit & 0xFF);
            out += static_cast<char>(unit >> 8);
        }
    }
    AppendBigEndian(out, Crc32(out.data(), out.size()), 4);
    return out;
}

std::vector<WideRecord> DecodeWideCompanion(const unsigned char* data, size_t size) {
    std::vector<WideRecord> records;
    if (size < kHeaderSize + kCrcSize || memcmp(data, kMagic, sizeof kMagic) != 0 || data[4] != kVersion)
        return records;
    const size_t body = size - kCrcSize;
    if (Crc32(reinterpret_cast<const char*>(data), body) != UnpackBigEndian(data + body, 4)) return records;
    const uint32_t count = UnpackBigEndian(data + 5, 4);
    size_t pos = kHeaderSize;
    for (uint32_t k = 0; k < count; ++k) {
        if (body - pos < kRecordHeaderBytes) return {};
        WideRecord r;
        r.index = data[pos];
        r.cp932Length = UnpackBigEndian(data + pos + 1, 4);
        r.cp932Crc = UnpackBigEndian(data + pos + 5, 4);
        const uint32_t units = UnpackBigEndian(data + pos + 9, 4);
        pos += kRecordHeaderBytes;
        if (units > (body - pos) / 2) return {};
        r.text.resize(units);
        for (uint32_t u = 0; u < units; ++u, pos += 2)
            r.text[u] = static_cast<char16_t>(data[pos] | (data[pos + 1] << 8));
        records.push_back(std::move(r));
    }
    if (pos != body) return {};
    return records;
}

bool BindsTo(const WideRecord& record, const std::string& cp932) {
    return record.cp932Length == cp932.size() && record.cp932Crc == Crc32(cp932.data(), cp932.size());
}

} // namespace kst
