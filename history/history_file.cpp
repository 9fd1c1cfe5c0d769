#include "history/history_file.h"

#include <cstring>

#include "history/file_io.h"
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

// Written after the history file, bound to what that file now holds: should
// this write fail, the old companion binds to no history file but its own.
bool WriteCompanion(const std::string& path, const HistorySnapshot& entries, size_t first,
                    const std::vector<FilePiece>& historyFile, const FileSealer* sealer) {
    std::vector<WideRecordRef> records;
    for (size_t k = first; k < entries.size(); ++k) {
        const SavedEntry& e = entries[k];
        if (!e.wide) continue;
        records.push_back({k - first, static_cast<uint32_t>(e.text->size()), Crc32(e.text->data(), e.text->size()),
                           e.wide.get()});
    }
    if (records.empty()) return RemoveFile(WideCompanionPath(path));
    // The history file's checksum only where a companion needs it.
    std::string storage;
    const HistoryFileSum file = SumOfPieces(historyFile);
    return WritePossiblySealed(WideCompanionPath(path), WideCompanionPieces(records, file, storage), sealer);
}

} // namespace

HistoryFileSum SumOfFile(const std::string& content) {
    return {content.size(), Crc32(content.data(), content.size())};
}

int WriteHistoryFile(const std::string& path, const HistorySnapshot& entries, const FileSealer* sealer) {
    if (entries.empty()) {
        const bool companionGone = RemoveFile(WideCompanionPath(path));
        return RemoveFile(path) && companionGone ? 1 : 0;
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
    // The exact texts not kept is a failed save too: they would be lost.
    return WriteCompanion(path, entries, first, pieces, sealer) ? 1 : 0;
}

std::vector<HistoryRecord> DecodeHistoryFile(const unsigned char* data, size_t size) {
    std::vector<HistoryRecord> records;
    if (size < 1) return records;
    const size_t count = data[0];
    size_t pos = 1;
    for (size_t k = 0; k < count; ++k) {
        if (size - pos < kRecordHeaderSize) break;
        const unsigned char* header = data + pos;
        const uint32_t length = UnpackBigEndian(header, 4);
        pos += kRecordHeaderSize;
        if (length > size - pos) break;
        HistoryRecord record;
        record.rank = header[4] == kUnrankedByte ? -1 : header[4];
        record.time = LocalTime{};
        record.time.wYear = static_cast<uint16_t>(UnpackBigEndian(header + 5, 2));
        record.time.wMonth = header[7];
        record.time.wDay = header[8];
        record.time.wHour = header[9];
        record.time.wMinute = header[10];
        // Entries never hold a NUL: text after one is damage.
        const auto* text = reinterpret_cast<const char*>(data + pos);
        const void* nul = memchr(text, 0, length);
        record.text.assign(text, nul ? static_cast<const char*>(nul) - text : length);
        pos += length;
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace kst
