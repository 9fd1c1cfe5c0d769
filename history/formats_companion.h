// The formats and pictures of the entries, kept in a file beside the history
// file, which itself stays as it always was: a picture entry's record there
// is the text that names it. Bound like the Unicode companion: to the whole
// history file it was written after (its length and CRC-32), and each record
// to its entry's place and the length and CRC-32 of that entry's text. Each
// record has a checksum of its own: damage loses that record alone.
//
// Layout: "KSTF", version 1, the history file's 8-byte length and 4-byte
// CRC-32, a 4-byte record count, a 4-byte CRC-32 of these, then the records.
// A record: 1-byte entry index, 4-byte text length, 4-byte text CRC-32, a
// flags byte (1: a picture entry), a 1-byte count of parts, the parts (1-byte
// kind, 4-byte width, 4-byte height, 4-byte plain size, 4-byte stored length,
// the stored bytes), then a 4-byte CRC-32 of the record. Integers big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/clip_formats.h"
#include "history/file_io.h"
#include "history/history_file.h"

namespace kst {

constexpr char kFormatsCompanionSuffix[] = ".formats";

struct FormatsRecord {
    size_t index; // the entry's place in the history file
    uint32_t textLength;
    uint32_t textCrc;
    std::shared_ptr<const ClipFormats> formats;
};

struct FormatsCompanion {
    HistoryFileSum file;
    std::vector<FormatsRecord> records;
    size_t damaged = 0; // records whose checksum or content was wrong
};

std::string FormatsCompanionPath(const std::string& historyPath);
FormatsRecord FormatsRecordOf(size_t index, const std::string& text, std::shared_ptr<const ClipFormats> formats);
// The companion as pieces to write one after another: the formats' bytes are
// not copied. storage holds what the pieces point into; keep it alive.
std::vector<FilePiece> FormatsCompanionPieces(const std::vector<FormatsRecord>& records, const HistoryFileSum& file,
                                              std::string& storage);
std::string EncodeFormatsCompanion(const std::vector<FormatsRecord>& records, const HistoryFileSum& file);
// false when its header is damaged (then nothing is taken); a damaged record
// is left out and counted.
bool DecodeFormatsCompanion(const unsigned char* data, size_t size, FormatsCompanion& companion);
// Whether a record may give its formats to the entry of this text.
bool FormatsBindTo(const FormatsRecord& record, const std::string& text);

} // namespace kst
