// Which entries the user pinned, kept in a file beside the history file,
// which itself stays as it always was (an older version reads it and never
// sees a pin). Bound like the Unicode companion: to the whole history file
// it was written after (its length and CRC-32), and each record to its
// entry's place and the length and CRC-32 of that entry's text.
//
// Layout: "KSTP", version 1, the history file's 8-byte length and 4-byte
// CRC-32, a 4-byte record count, the records (1-byte entry index, 4-byte
// text length, 4-byte text CRC-32), then a 4-byte CRC-32 of everything
// before it. Integers big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/history_file.h"

namespace kst {

constexpr char kPinCompanionSuffix[] = ".pins";

struct PinRecord {
    size_t index; // the entry's place in the history file
    uint32_t textLength;
    uint32_t textCrc;
};

struct PinCompanion {
    HistoryFileSum file;
    std::vector<PinRecord> records;
};

std::string PinCompanionPath(const std::string& historyPath);
PinRecord PinRecordOf(size_t index, const std::string& text);
std::string EncodePinCompanion(const std::vector<PinRecord>& records, const HistoryFileSum& file);
// false when any of it is damaged (then no pin is taken).
bool DecodePinCompanion(const unsigned char* data, size_t size, PinCompanion& companion);
// The places of the entries (their texts, in file order) that a companion
// read beside the history file of this sum pins.
std::vector<size_t> PinnedPlaces(const PinCompanion& companion, const HistoryFileSum& file,
                                 const std::vector<const std::string*>& texts);

} // namespace kst
