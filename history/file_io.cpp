#include "history/file_io.h"

#include <cstdio>

#include <sys/stat.h>

namespace kst {

bool ReadWholeFile(const std::string& path, std::string& content) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    content.clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
    const bool ok = !ferror(file);
    fclose(file);
    return ok;
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
