// Paths in code page 932. The byte 0x5C is the separator, but also the
// second byte of many double-byte characters (ソ, 表, 予, 能...): every search
// steps over double-byte characters.
#pragma once

#include <cstddef>
#include <string>

namespace kst {

// The offset just past the last separator that is a character of its own
// (0 when there is none): where the file name begins.
size_t FileNameOffset(const char* path, size_t length);
inline size_t FileNameOffset(const std::string& path) { return FileNameOffset(path.data(), path.size()); }

// The path without its last component, keeping the separator before it
// ("C:\data\予定表.txt" gives "C:\data\"); empty when there is no separator.
inline std::string ParentFolder(const std::string& path) { return path.substr(0, FileNameOffset(path)); }
inline std::string FileNameOf(const std::string& path) { return path.substr(FileNameOffset(path)); }

// Equal file names as the system compares them: the case of single-byte
// ASCII letters does not count; the bytes of double-byte characters (whose
// second byte can be a letter) must match exactly.
bool SamePath(const char* a, const char* b);

} // namespace kst
