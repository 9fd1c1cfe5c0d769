#include "history/history_file.h"

#include <cstring>

#include "history/file_io.h"
#include "history/formats_companion.h"
#include "history/pin_companion.h"
#include "history/sealed_file.h"
#include "history/wide_companion.h"

namespace kst {

void PackBigEndian(unsigned char* out, uint32_t value, int n) {
    for (int i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(value >> (8 * (n - 1 - i)));
}

uint32_t UnpackBigEndian(const unsigned char* in, int n) {
    uint32_t value = 0;
    for (int i = 0; i < n; ++i) value |= uint32_t{in[i]} << (8 * (n - 1 - i));
    return value;
}

void EncodeRecordHeader(unsigned char* header, size_t length, int rank, const LocalTime& time) {
    PackBigEndian(header, static_cast<uint32_t>(length), 4);
    header[4] = static_cast<unsigned char>(rank >= 0 && rank < int(kUnrankedByte) ? rank : kUnrankedByte);
    PackBigEndian(header + 5, time.wYear, 2);
    header[7] = static_cast<unsigned char>(time.wMonth);
    header[8] = static_cast<unsigned char>(time.wDay);
    header[9] = static_cast<unsigned char>(time.wHour);
    header[10] = static_cast<unsigned char>(time.wMinute);
}

void EncodeRecord(std::string& file, const char* text, size_t length, int rank, const LocalTime& time) {
    unsigned char header[kRecordHeaderSize];
    EncodeRecordHeader(header, length, rank, time);
    file.append(reinterpret_cast<const char*>(header), sizeof header);
    file.append(text, length);
}

std::string WideCompanionPath(const std::string& historyPath) { return historyPath + kWideCompanionSuffix; }

std::vector<std::string> CompanionPaths(const std::string& historyPath) {
    return {WideCompanionPath(historyPath), PinCompanionPath(historyPath), FormatsCompanionPath(historyPath)};
}

namespace {

// A file that must go and stays is a failed save: what it holds would
// outlive the history that no longer has it.
bool RemoveFile(const std::string& path) {
    DeleteFileIfPresent(path);
    return !FileExists(path);
}

HistoryFileSum SumOfPieces(const std::vector<FilePiece>& pieces) {
    HistoryFileSum sum;
    for (const FilePiece& piece : pieces) {
        sum.length += piece.size;
        sum.crc = Crc32Update(sum.crc, piece.data, piece.size);
    }
    return sum;
}

// The history file's checksum, made only where a companion needs it.
class LazySum {
  public:
    explicit LazySum(const std::vector<FilePiece>& pieces) : pieces_(pieces) {}
    const HistoryFileSum& Get() {
        if (!made_) sum_ = SumOfPieces(pieces_);
        made_ = true;
        return sum_;
    }

  private:
    const std::vector<FilePiece>& pieces_;
    HistoryFileSum sum_;
    bool made_ = false;
};

// Written after the history file, bound to what that file now holds: should
// this write fail, the old companion binds to no history file but its own.
bool WriteCompanion(const std::string& path, const HistorySnapshot& entries, size_t first, LazySum& file,
                    const FileSealer* sealer) {
    std::vector<WideRecordRef> records;
    for (size_t k = first; k < entries.size(); ++k) {
        const SavedEntry& e = entries[k];
        if (!e.wide) continue;
        records.push_back({k - first, static_cast<uint32_t>(e.text->size()), Crc32(e.text->data(), e.text->size()),
                           e.wide.get()});
    }
    if (records.empty()) return RemoveFile(WideCompanionPath(path));
    std::string storage;
    return WritePossiblySealed(WideCompanionPath(path), WideCompanionPieces(records, file.Get(), storage), sealer);
}

bool WritePins(const std::string& path, const HistorySnapshot& entries, size_t first, LazySum& file,
               const FileSealer* sealer) {
    std::vector<PinRecord> records;
    for (size_t k = first; k < entries.size(); ++k)
        if (entries[k].pinned) records.push_back(PinRecordOf(k - first, *entries[k].text));
    if (records.empty()) return RemoveFile(PinCompanionPath(path));
    const std::string image = EncodePinCompanion(records, file.Get());
    return WritePossiblySealed(PinCompanionPath(path), {{image.data(), image.size()}}, sealer);
}

bool WriteFormats(const std::string& path, const HistorySnapshot& entries, size_t first, LazySum& file,
                  const FileSealer* sealer) {
    std::vector<FormatsRecord> records;
    for (size_t k = first; k < entries.size(); ++k)
        if (entries[k].formats) records.push_back(FormatsRecordOf(k - first, *entries[k].text, entries[k].formats));
    if (records.empty()) return RemoveFile(FormatsCompanionPath(path));
    std::string storage;
    return WritePossiblySealed(FormatsCompanionPath(path), FormatsCompanionPieces(records, file.Get(), storage), sealer);
}

} // namespace

HistoryFileSum SumOfFile(const std::string& content) {
    return {content.size(), Crc32(content.data(), content.size())};
}

int WriteHistoryFile(const std::string& path, const HistorySnapshot& entries, const FileSealer* sealer) {
    if (entries.empty()) {
        bool gone = true;
        for (const std::string& companion : CompanionPaths(path)) gone = RemoveFile(companion) && gone;
        return RemoveFile(path) && gone ? 1 : 0;
    }
    // The count byte says at most 255: the newest entries are kept. The
    // texts are written from where they are, not copied into one image.
    const size_t first = entries.size() > kMaxFileEntries ? entries.size() - kMaxFileEntries : 0;
    const unsigned char count = static_cast<unsigned char>(entries.size() - first);
    std::vector<unsigned char> headers((entries.size() - first) * kRecordHeaderSize);
    std::vector<FilePiece> pieces{{reinterpret_cast<const char*>(&count), 1}};
    for (size_t k = first; k < entries.size(); ++k) {
        const SavedEntry& entry = entries[k];
        unsigned char* header = headers.data() + (k - first) * kRecordHeaderSize;
        EncodeRecordHeader(header, entry.text->size(), entry.rank, entry.time);
        pieces.push_back({reinterpret_cast<const char*>(header), kRecordHeaderSize});
        pieces.push_back({entry.text->data(), entry.text->size()});
    }
    if (!WritePossiblySealed(path, pieces, sealer)) return 0;
    // The exact texts or the pins not kept is a failed save too.
    LazySum sum(pieces);
    const bool wide = WriteCompanion(path, entries, first, sum, sealer);
    const bool pins = WritePins(path, entries, first, sum, sealer);
    return WriteFormats(path, entries, first, sum, sealer) && pins && wide ? 1 : 0;
}

HistoryRecordReader::HistoryRecordReader(const unsigned char* data, size_t size)
    : data_(data), size_(size), declared_(size >= 1 ? data[0] : 0) {}

bool HistoryRecordReader::Next(HistoryRecord& record) {
    if (read_ >= declared_ || size_ - pos_ < kRecordHeaderSize) return false;
    const unsigned char* header = data_ + pos_;
    const uint32_t length = UnpackBigEndian(header, 4);
    if (length > size_ - pos_ - kRecordHeaderSize) return false;
    pos_ += kRecordHeaderSize;
    record.rank = header[4] == kUnrankedByte ? -1 : header[4];
    record.time = LocalTime{};
    record.time.wYear = static_cast<uint16_t>(UnpackBigEndian(header + 5, 2));
    record.time.wMonth = header[7];
    record.time.wDay = header[8];
    record.time.wHour = header[9];
    record.time.wMinute = header[10];
    // Entries never hold a NUL: text after one is damage.
    const auto* text = reinterpret_cast<const char*>(data_ + pos_);
    const void* nul = memchr(text, 0, length);
    record.text.assign(text, nul ? static_cast<const char*>(nul) - text : length);
    pos_ += length;
    ++read_;
    return true;
}

std::vector<HistoryRecord> DecodeHistoryFile(const unsigned char* data, size_t size) {
    std::vector<HistoryRecord> records;
    HistoryRecordReader reader(data, size);
    HistoryRecord record;
    while (reader.Next(record)) records.push_back(std::move(record));
    return records;
}

} // namespace kst
