// The captions of the conversions, as the popup's panel and the settings
// page show them (code page 932 in the build).
#pragma once

#include <string>

namespace kst {

// The caption of two-way conversion k (0-3: width, case, comma, full stop)
// in a direction.
const char* TwoWayCaption(int k, bool forward);
std::string WrapCaption(int columnWidth);

} // namespace kst
