#include "common/time_text.h"

#include <cstdio>
#include <ctime>

#include "platform/clock.h"

namespace sorvanto {

bool LocalTime(std::int64_t seconds, std::tm& out) {
    return clock::ToLocal(seconds, out);
}

std::string ListTimeText(std::int64_t seconds, bool from_handset) {
    std::tm tm {};
    if (!LocalTime(seconds, tm)) tm = std::tm{};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d %c", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, from_handset ? ' ' : '*');
    return buf;
}

std::string LogPrefix(std::int64_t seconds) {
    std::tm tm {};
    if (!LocalTime(seconds, tm)) tm = std::tm{};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%4d/%02d/%02d %02d:%02d:%02d >", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

}  // namespace sorvanto
