#include "history/file_io.h"

#include <cstdio>
#include <memory>

#include <sys/stat.h>

namespace kst {

namespace {
struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
} // namespace

// Closed however the reading ends: a string that cannot grow throws, and a
// file left open could not be replaced or removed afterwards.
bool ReadWholeFile(const std::string& path, std::string& content) {
    const std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "rb"));
    if (!file) return false;
    content.clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, n);
    return !ferror(file.get());
}

bool WriteFileReplacing(const std::string& path, const std::string& content) {
    return WriteFileReplacing(path, std::vector<FilePiece>{{content.data(), content.size()}});
}

bool DeleteFileIfPresent(const std::string& path) { return remove(path.c_str()) == 0; }

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

} // namespace kst
