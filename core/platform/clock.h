#pragma once

#include <cstdint>
#include <functional>

namespace sorvanto::clock {

// Seconds since 1970-01-01 00:00 UTC.
std::int64_t Now();
// Milliseconds since an arbitrary start, like the system tick count.
std::uint32_t TickCount();

// Tests replace the clocks to make "two registrations in one second" repeatable; pass empty
// functions to go back to the real ones.
void SetForTesting(std::function<std::int64_t()> now, std::function<std::uint32_t()> tick);

}  // namespace sorvanto::clock
