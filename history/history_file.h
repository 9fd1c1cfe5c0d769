// The history file: a count byte, then big-endian records of text length,
// paste rank, capture minute and text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/local_time.h"

namespace kst {

struct ClipFormats;

constexpr char kHistoryFileName[] = "clipbuf.dat";
constexpr unsigned kUnrankedByte = 0xFF;
constexpr size_t kMaxFileEntries = 255; // what the count byte can say
constexpr size_t kRecordHeaderSize = 11;

struct HistoryRecord {
    std::string text;
    int rank; // -1: not ranked
    LocalTime time;
};

// One entry as the file keeps it. The text is shared with the live entry,
// never changed, so a snapshot can be written on another thread.
struct SavedEntry {
    std::shared_ptr<const std::string> text;
    std::shared_ptr<const std::u16string> wide; // null: none kept
    int rank; // -1: not ranked
    LocalTime time;
    bool pinned = false;
    std::shared_ptr<const ClipFormats> formats; // null: none kept
};
using HistorySnapshot = std::vector<SavedEntry>;

// Writes the snapshot as the history file, replacing the old one only once
// the new one is complete, then the Unicode texts it holds as its companion
// (path + kWideCompanionSuffix; removed when there are none), the pins
// (path + kPinCompanionSuffix, the same) and the formats and pictures (path +
// kFormatsCompanionSuffix, the same), bound to the new history file. An
// empty snapshot removes all three. 1 when the files
// are as the snapshot says, 0 when an old one stayed.
// sealer: seal both files for the user (null: plain, as always).
class FileSealer;
int WriteHistoryFile(const std::string& path, const HistorySnapshot& entries, const FileSealer* sealer = nullptr);

void PackBigEndian(unsigned char* out, uint32_t value, int n);
uint32_t UnpackBigEndian(const unsigned char* in, int n);

// The 11 bytes before a record's text.
void EncodeRecordHeader(unsigned char* header, size_t length, int rank, const LocalTime& time);
// Appends one record to a file image.
void EncodeRecord(std::string& file, const char* text, size_t length, int rank, const LocalTime& time);

std::string WideCompanionPath(const std::string& historyPath);
// The files written beside the history file, which go where it goes.
std::vector<std::string> CompanionPaths(const std::string& historyPath);

// The length and CRC-32 of a whole history file, as written or as read.
struct HistoryFileSum {
    uint64_t length = 0;
    uint32_t crc = 0;
};
HistoryFileSum SumOfFile(const std::string& content);

// Reads the complete records of a file image. Damage ends the reading: a
// record cut short, or a length past the end, and everything after it is
// dropped; nothing is made from bytes that are not there.
std::vector<HistoryRecord> DecodeHistoryFile(const unsigned char* data, size_t size);

// The same a record at a time, so that a reader short of memory keeps the
// records it has.
class HistoryRecordReader {
  public:
    HistoryRecordReader(const unsigned char* data, size_t size);
    // How many records the file says it holds.
    size_t Declared() const { return declared_; }
    // false at the end or at damage.
    bool Next(HistoryRecord& record);

  private:
    const unsigned char* data_;
    size_t size_;
    size_t declared_ = 0;
    size_t read_ = 0;
    size_t pos_ = 1;
};

} // namespace kst
