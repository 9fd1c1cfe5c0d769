#include "store/run_entry.h"

#include "reform/cp932_path.h"

namespace kst {

std::string RunValueFor(const std::string& programPath) { return "\"" + programPath + "\""; }

// A quotation mark is never a byte of a double-byte character (their second
// bytes start at 0x40), so the search needs no stepping.
std::string ProgramOfRunValue(const std::string& value) {
    const size_t start = value.find_first_not_of(' ');
    if (start == std::string::npos) return "";
    if (value[start] == '"') {
        const size_t end = value.find('"', start + 1);
        return value.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    }
    const size_t end = value.find_last_not_of(' ');
    return value.substr(start, end - start + 1);
}

bool RunValueNames(const std::string& value, const std::string& programPath) {
    return !programPath.empty() && SamePath(ProgramOfRunValue(value).c_str(), programPath.c_str());
}

bool RunValueNeedsUpdate(bool present, const std::string& value, const std::string& programPath) {
    return present && !programPath.empty() && !RunValueNames(value, programPath);
}

} // namespace kst
