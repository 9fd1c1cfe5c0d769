// The start-up entry in the registry (HKEY_CURRENT_USER's Run key).
#pragma once

#include <string>

namespace kst {

// false when there is no value (or it cannot be read).
bool ReadRunValue(std::string& value);
// Writes the program's own path; 1 written, 0 refused.
int WriteRunValue(const std::string& programPath);
// 1 when the value is gone (or was never there).
int RemoveRunValue();
// Whether the entry starts the program at this path.
bool RunEntryNames(const std::string& programPath);
// At start: an entry that starts the program from another place follows it here.
void FollowProgramToItsPlace(const std::string& programPath);

} // namespace kst
