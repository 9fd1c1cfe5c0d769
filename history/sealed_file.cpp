#include "history/sealed_file.h"

#include <cstdio>
#include <cstring>

namespace kst {
namespace {

constexpr char kHeader[] = {'\0', 'K', 'S', 'T', 'S', 'E', 'A', 'L', '\1'};
constexpr size_t kHeaderSize = sizeof kHeader;
constexpr int kMostAsideNames = 100;

} // namespace

bool IsSealed(const std::string& content) {
    return content.size() >= kHeaderSize && memcmp(content.data(), kHeader, kHeaderSize) == 0;
}

FileRead ReadPlainFile(const std::string& path, const FileSealer* sealer, std::string& plain) {
    std::string content;
    if (!ReadWholeFile(path, content)) return FileRead::kMissing;
    if (!IsSealed(content)) {
        plain.swap(content);
        return FileRead::kPlain;
    }
    if (!sealer || !sealer->Unseal(content.data() + kHeaderSize, content.size() - kHeaderSize, plain))
        return FileRead::kLocked;
    return FileRead::kUnsealed;
}

bool WritePossiblySealed(const std::string& path, const std::vector<FilePiece>& pieces, const FileSealer* sealer) {
    if (!sealer) return WriteFileReplacing(path, pieces);
    std::string sealed;
    if (!sealer->Seal(pieces, sealed)) return false;
    return WriteFileReplacing(path, std::vector<FilePiece>{{kHeader, kHeaderSize}, {sealed.data(), sealed.size()}});
}

std::string KeepAside(const std::string& path) {
    for (int n = 1; n <= kMostAsideNames; ++n) {
        const std::string aside = path + kLockedSuffix + (n == 1 ? "" : std::to_string(n));
        if (FileExists(aside)) continue;
        return rename(path.c_str(), aside.c_str()) == 0 ? aside : std::string();
    }
    return std::string();
}

} // namespace kst
