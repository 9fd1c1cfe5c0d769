// The integrity levels of this process and of the application in front.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kst {

bool ProcessIsElevated();
// The level's RID (0x2000 medium, 0x3000 high); kUnknownIntegrityLevel
// when the system will not say.
uint32_t OwnIntegrityLevel();
uint32_t ForegroundIntegrityLevel();

} // namespace kst
