#include "shell/integrity.h"

#include "base/integrity_level.h"

namespace kst {

bool ProcessIsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                          elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated;
}

uint32_t OwnIntegrityLevel() { return IntegrityLevelOf(GetCurrentProcess()); }

// No window in front, or a process we may not look into, counts as the
// highest level: a forward from below then does nothing.
uint32_t ForegroundIntegrityLevel() {
    DWORD processId = 0;
    const HWND front = GetForegroundWindow();
    if (!front || !GetWindowThreadProcessId(front, &processId)) return kUnknownIntegrityLevel;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return kUnknownIntegrityLevel;
    const uint32_t level = IntegrityLevelOf(process);
    CloseHandle(process);
    return level;
}

} // namespace kst
