#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/clock.h"

namespace sorvanto {
namespace {

#ifndef _WIN32
// FromLocal reads most times by arithmetic instead of mktime: it must give mktime's answer in
// zones with and without summer time, on both sides of a change of offset and inside the
// skipped and the repeated hour, for any tm_isdst, and for fields out of range.
TEST(ClockFromLocal, AgreesWithMktimeAcrossOffsetChanges) {
    for (const char* zone : {"Asia/Tokyo", "Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "UTC"}) {
        setenv("TZ", zone, 1);
        tzset();
        SCOPED_TRACE(zone);
        int checked = 0;
        for (int year : {2003, 2024}) {
            for (int mon = 0; mon < 12; ++mon) {
                for (int mday : {1, 3, 6, 7, 10, 27, 31, 32}) {
                    for (int hour : {0, 1, 2, 3, 12, 23, 24}) {
                        for (int isdst : {-1, 0, 1}) {
                            std::tm tm{};
                            tm.tm_year = year - 1900;
                            tm.tm_mon = mon;
                            tm.tm_mday = mday;
                            tm.tm_hour = hour;
                            tm.tm_min = 30;
                            tm.tm_sec = 59;
                            tm.tm_isdst = isdst;
                            std::tm copy = tm;
                            const auto want = static_cast<std::int64_t>(std::mktime(&copy));
                            ASSERT_EQ(clock::FromLocal(tm), want)
                                << year << "-" << mon + 1 << "-" << mday << " " << hour << ":30:59 isdst " << isdst;
                            ++checked;
                        }
                    }
                }
            }
        }
        EXPECT_EQ(checked, 2 * 12 * 8 * 7 * 3);
    }
    clock::UseJapanTimeForTesting();
}
#endif

}  // namespace
}  // namespace sorvanto
