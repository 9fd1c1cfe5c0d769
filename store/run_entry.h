// The program's entry among the user's start-up programs: the value
// "Kestrane" under the user's Run key, holding the program's full path in
// quotation marks. No Windows headers: the decisions are tested natively.
#pragma once

#include <string>

namespace kst {

constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValueName[] = "Kestrane";

// What the value holds for the program at this path.
std::string RunValueFor(const std::string& programPath);
// The program a value starts: the quoted path, else the whole value.
std::string ProgramOfRunValue(const std::string& value);
// Whether the value starts the program at this path (as the system compares
// paths, code page 932).
bool RunValueNames(const std::string& value, const std::string& programPath);
// At start: a value that names another place (the folder was moved) is
// written anew with this one; none is never added.
bool RunValueNeedsUpdate(bool present, const std::string& value, const std::string& programPath);

} // namespace kst
