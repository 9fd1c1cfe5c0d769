// The Unicode texts of the entries that code page 932 cannot hold, kept in a
// file beside the history file, which itself stays as it always was. Each
// text is bound to its entry by the entry's place in the history file and
// the length and checksum of the entry's code page 932 text: a history file
// edited, replaced or written by an older version never gets a wrong text,
// and a missing or damaged companion loses only the Unicode forms.
//
// Layout: "KSTW", version 1, a 4-byte record count, the records, then a
// 4-byte CRC-32 of everything before it. A record: 1-byte entry index, 4-byte
// code page 932 length, 4-byte CRC-32 of those bytes, 4-byte count of UTF-16
// units, the units little-endian. Integers other than the units big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kst {

constexpr char kWideCompanionSuffix[] = ".utf16";

struct WideRecord {
    size_t index;          // the entry's place in the history file
    uint32_t cp932Length;
    uint32_t cp932Crc;
    std::u16string text;
};

uint32_t Crc32(const char* data, size_t size);

// The companion's bytes for the records (in the history file's order).
std::string EncodeWideCompanion(const std::vector<WideRecord>& records);
// The records of a companion image; none when any of it is damaged.
std::vector<WideRecord> DecodeWideCompanion(const unsigned char* data, size_t size);
// Whether a record belongs to the entry whose code page 932 text this is.
bool BindsTo(const WideRecord& record, const std::string& cp932);

} // namespace kst
