#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

namespace sorvanto::clock {

// Seconds since 1970-01-01 00:00 UTC.
std::int64_t Now();
// Milliseconds since an arbitrary start, like the system tick count.
std::uint32_t TickCount();

// Seconds since 1970 as the PC's local time (the system's time zone; TZ on Linux). False when
// the time cannot be shown.
bool ToLocal(std::int64_t seconds, std::tm& out);
// The inverse, as mktime does it (tm_isdst -1 lets the zone decide); -1 when it has none.
std::int64_t FromLocal(const std::tm& local);

// Tests that expect local-time texts run in Japan's zone. On Linux this sets TZ for the
// process; a Windows process keeps the zone it was started in (the tests' runner starts it
// with TZ=Asia/Tokyo, which wine turns into the system zone).
void UseJapanTimeForTesting();

// Tests replace the clocks to make "two registrations in one second" repeatable; pass empty
// functions to go back to the real ones.
void SetForTesting(std::function<std::int64_t()> now, std::function<std::uint32_t()> tick);

}  // namespace sorvanto::clock
