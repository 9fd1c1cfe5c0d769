// The capture time of an entry: the eight 16-bit fields of the system's
// SYSTEMTIME, in its order, so the Windows side can fill it directly.
#pragma once

#include <cstdint>

namespace kst {

struct LocalTime {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
static_assert(sizeof(LocalTime) == 16, "laid out as SYSTEMTIME");

} // namespace kst
