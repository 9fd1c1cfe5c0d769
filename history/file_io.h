// Whole-file reading and a write that replaces a file only once the new
// content is complete, so a failed write never destroys the old file.
#pragma once

#include <string>

namespace kst {

bool ReadWholeFile(const std::string& path, std::string& content);
bool WriteFileReplacing(const std::string& path, const std::string& content);
bool DeleteFileIfPresent(const std::string& path);

} // namespace kst
