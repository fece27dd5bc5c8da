#include "platform/clock.h"

#include <windows.h>

namespace sorvanto::clock {

namespace {

// FILETIME counts 100 ns steps from 1601; the program counts seconds from 1970.
constexpr std::int64_t kEpochDifference = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

int DayOfYear(int year, int month0, int day) {
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kBefore[month0] + day - 1 + (leap && month0 > 1 ? 1 : 0);
}

}  // namespace

// Through the system's time-zone calls rather than the C runtime's localtime, which would read a
// POSIX-style TZ variable its own way.
bool ToLocal(std::int64_t seconds, std::tm& out) {
    if (seconds < 0) return false;
    const std::int64_t ticks = (seconds + kEpochDifference) * kTicksPerSecond;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME utc, local;
    if (!::FileTimeToSystemTime(&ft, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
    out = std::tm{};
    out.tm_year = local.wYear - 1900;
    out.tm_mon = local.wMonth - 1;
    out.tm_mday = local.wDay;
    out.tm_hour = local.wHour;
    out.tm_min = local.wMinute;
    out.tm_sec = local.wSecond;
    out.tm_wday = local.wDayOfWeek;
    out.tm_yday = DayOfYear(local.wYear, local.wMonth - 1, local.wDay);
    out.tm_isdst = -1;
    return true;
}

std::int64_t FromLocal(const std::tm& tm) {
    if (tm.tm_year < 70 || tm.tm_mon < 0 || tm.tm_mon > 11) return -1;
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(tm.tm_year + 1900);
    local.wMonth = static_cast<WORD>(tm.tm_mon + 1);
    local.wDay = static_cast<WORD>(tm.tm_mday);
    local.wHour = static_cast<WORD>(tm.tm_hour);
    local.wMinute = static_cast<WORD>(tm.tm_min);
    local.wSecond = static_cast<WORD>(tm.tm_sec);
    SYSTEMTIME utc;
    FILETIME ft;
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &ft)) return -1;
    const std::int64_t ticks = (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return ticks / kTicksPerSecond - kEpochDifference;
}

void UseJapanTimeForTesting() {}

}  // namespace sorvanto::clock
