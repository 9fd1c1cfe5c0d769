// The system's data protection for the current user: no password, and only
// this user on this machine can open what it sealed.
#pragma once

#include "history/sealed_file.h"

namespace kst {

const FileSealer& UserDataProtection();

} // namespace kst
