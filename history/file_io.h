// Whole-file reading and a write that replaces a file only once the new
// content is complete, so a failed write never destroys the old file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kst {

struct FilePiece {
    const char* data;
    size_t size;
};

bool ReadWholeFile(const std::string& path, std::string& content);
// The new content goes to path + ".tmp" first; the old file is replaced
// only once that is complete and flushed.
bool WriteFileReplacing(const std::string& path, const std::vector<FilePiece>& pieces);
bool WriteFileReplacing(const std::string& path, const std::string& content);
bool DeleteFileIfPresent(const std::string& path);
// A file or folder of that name is there.
bool FileExists(const std::string& path);

} // namespace kst
