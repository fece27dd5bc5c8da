#include "platform/clock.h"

#include <cstdlib>

namespace sorvanto::clock {

bool ToLocal(std::int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &out) != nullptr;
}

std::int64_t FromLocal(const std::tm& local) {
    std::tm tm = local;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

void UseJapanTimeForTesting() {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
}

}  // namespace sorvanto::clock
