// No Windows headers: the native tests use it too.
#pragma once

#include <cstdint>

namespace kst {

// An integrity level that could not be read counts as the highest.
constexpr uint32_t kUnknownIntegrityLevel = 0xFFFFFFFFu;

} // namespace kst
