#include "platform/clock.h"

#include <cstdlib>
#include <ctime>
#include <optional>

namespace sorvanto::clock {

bool ToLocal(std::int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &out) != nullptr;
}

namespace {

bool SameFields(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday && a.tm_hour == b.tm_hour &&
           a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

long OffsetAt(std::time_t t) {
    std::tm r{};
    return localtime_r(&t, &r) ? r.tm_gmtoff : 0;
}

// The one reading of a local time where the zone's offset is the same a day either side;
// nullopt where that is not so, or the fields are out of range, or tm_isdst disagrees.
std::optional<std::time_t> UniqueReading(const std::tm& local) {
    // The offset of the last reading: one batch's mails are mostly sent in one season.
    static thread_local long offset = 0;
    std::tm utc = local;
    const std::time_t as_utc = timegm(&utc);
    if (!SameFields(utc, local)) return std::nullopt;
    std::tm r{};
    std::time_t t = as_utc - offset;
    for (int tries = 0; tries < 2; ++tries) {
        if (!localtime_r(&t, &r)) return std::nullopt;
        if (r.tm_gmtoff == offset) break;
        offset = r.tm_gmtoff;
        t = as_utc - offset;
    }
    if (r.tm_gmtoff != offset || !SameFields(r, local)) return std::nullopt;
    if (local.tm_isdst >= 0 && (local.tm_isdst > 0) != (r.tm_isdst > 0)) return std::nullopt;
    if (OffsetAt(t - 86400) != offset || OffsetAt(t + 86400) != offset) return std::nullopt;
    return t;
}

}  // namespace

std::int64_t FromLocal(const std::tm& local) {
    // glibc's mktime asks the file system whether /etc/localtime changed at every call when TZ
    // is not set: a thousand received mails cost a thousand stats. localtime_r does not, so a
    // time away from any change of the zone's offset is read by arithmetic and checked with it;
    // mktime keeps the rest (offset changes, fields out of range).
    if (const auto t = UniqueReading(local)) return static_cast<std::int64_t>(*t);
    std::tm tm = local;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

void UseJapanTimeForTesting() {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
}

}  // namespace sorvanto::clock
