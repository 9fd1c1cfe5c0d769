// A process's mandatory integrity level, as the RID of its label
// (0x1000 low, 0x2000 medium, 0x3000 high).
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/unknown_level.h"

namespace kst {

inline uint32_t IntegrityLevelOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return kUnknownIntegrityLevel;
    BYTE buffer[64];
    DWORD size = 0;
    uint32_t level = kUnknownIntegrityLevel;
    if (GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
        level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
    }
    CloseHandle(token);
    return level;
}

} // namespace kst
