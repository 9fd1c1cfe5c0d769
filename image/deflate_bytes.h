// zlib's deflate and inflate over whole byte strings.
#pragma once

#include <cstddef>
#include <string>

namespace kst {

// level: zlib's 1 (fastest) to 9 (smallest).
bool DeflateBytes(const void* data, size_t size, int level, std::string& out);
// Exactly expected bytes, or false (damaged, shorter or longer).
bool InflateBytes(const void* data, size_t size, size_t expected, std::string& out);

} // namespace kst
