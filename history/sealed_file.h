// A history file protected for its user: the same name, and a header that
// says so. Layout: a zero byte (the count an older version then reads: an
// empty history), "KSTSEAL", a version byte 1, then the sealed bytes. The
// sealing itself is the system's (for the user's account alone); this layer
// only knows that it can fail. No Windows headers: tested natively.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "history/file_io.h"

namespace kst {

class FileSealer {
  public:
    virtual ~FileSealer() = default;
    // false: nothing sealed (the file is then not written).
    virtual bool Seal(const std::vector<FilePiece>& plain, std::string& sealed) const = 0;
    // false: these bytes are not for this user or machine, or damaged.
    virtual bool Unseal(const char* data, size_t size, std::string& plain) const = 0;
};

constexpr char kLockedSuffix[] = ".locked";

bool IsSealed(const std::string& content);

enum class FileRead { kMissing, kPlain, kUnsealed, kLocked };
// The file's plain bytes: as they are, or unsealed. kLocked: sealed bytes
// that this user cannot unseal (or no sealer to try).
FileRead ReadPlainFile(const std::string& path, const FileSealer* sealer, std::string& plain);

// Replaces the file as WriteFileReplacing does; sealed when a sealer is given.
bool WritePossiblySealed(const std::string& path, const std::vector<FilePiece>& pieces, const FileSealer* sealer);

// A file that cannot be unsealed is moved aside, never written over: to
// path + ".locked" (then ".locked2", ...). The name it got; empty when it
// could not be moved.
std::string KeepAside(const std::string& path);

} // namespace kst
