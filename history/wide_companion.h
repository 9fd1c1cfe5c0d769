// The Unicode texts of the entries that code page 932 cannot hold, kept in a
// file beside the history file, which itself stays as it always was. The
// companion is bound to the whole history file it was written after (its
// length and CRC-32): beside any other history file none of its texts is
// taken. Each record also names its entry's place and the length and CRC-32
// of that entry's code page 932 text.
//
// Layout: "KSTW", version 2, the history file's 8-byte length and 4-byte
// CRC-32, a 4-byte record count, the records, then a 4-byte CRC-32 of
// everything before it. A record: 1-byte entry index, 4-byte code page 932
// length, 4-byte CRC-32 of those bytes, 4-byte count of UTF-16 units, the
// units little-endian. Integers other than the units big-endian. Version 1,
// written before, lacks the history file's length and checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/file_io.h"
#include "history/history_file.h"

namespace kst {


constexpr char kWideCompanionSuffix[] = ".utf16";

struct WideRecord {
    size_t index;          // the entry's place in the history file
    uint32_t cp932Length;
    uint32_t cp932Crc;
    std::u16string text;
};

struct WideCompanion {
    bool boundToFile = false; // version 2: only beside the file of `file`
    HistoryFileSum file;
    std::vector<WideRecord> records;
};

uint32_t Crc32(const char* data, size_t size);
// The CRC-32 of what came before (crc) followed by these bytes.
uint32_t Crc32Update(uint32_t crc, const char* data, size_t size);

// A record to write: the text is read where it lies, never copied.
struct WideRecordRef {
    size_t index;
    uint32_t cp932Length;
    uint32_t cp932Crc;
    const std::u16string* text;
};

// The companion as pieces to write one after another: the texts are not
// copied. storage holds the headers the pieces point into; keep it alive.
std::vector<FilePiece> WideCompanionPieces(const std::vector<WideRecordRef>& records, const HistoryFileSum& file,
                                                std::string& storage);
// The companion's bytes in one image.
std::string EncodeWideCompanion(const std::vector<WideRecord>& records, const HistoryFileSum& file);
// The records of a companion image; none when any of it is damaged.
WideCompanion DecodeWideCompanion(const unsigned char* data, size_t size);
// Whether a companion may give its texts to the history file of this sum (a
// version 1 companion, from before files were bound, is taken by its records).
bool BelongsTo(const WideCompanion& companion, const HistoryFileSum& file);
// Whether a record belongs to the entry whose code page 932 text this is.
bool BindsTo(const WideRecord& record, const std::string& cp932);

} // namespace kst
