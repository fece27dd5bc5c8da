#include "irlink/auth_lockout.h"

#include <gtest/gtest.h>

namespace sorvanto {
namespace {

class AuthLockoutTest : public ::testing::Test {
protected:
    std::int64_t now = 1'000'000;
    AuthLockout lockout{AuthLockout::Limits{}, [this] { return now; }};
};

TEST_F(AuthLockoutTest, ThreeWrongAnswersLockTheHostForAMinuteThenEachFurtherOneDoubles) {
    EXPECT_EQ(lockout.Failed("192.0.2.7:40001"), 0);
    EXPECT_EQ(lockout.Failed("192.0.2.7:40002"), 0);
    EXPECT_EQ(lockout.LockedFor("192.0.2.7:40003"), 0);
    // The port changes with every connection; the host is what is counted.
    EXPECT_EQ(lockout.Failed("192.0.2.7:40003"), 60'000);
    EXPECT_EQ(lockout.LockedFor("192.0.2.7:40004"), 60'000);
    EXPECT_EQ(lockout.LockedFor("192.0.2.8:40004"), 0);
    now += 59'999;
    EXPECT_EQ(lockout.LockedFor("192.0.2.7:1"), 1);
    now += 1;
    EXPECT_EQ(lockout.LockedFor("192.0.2.7:1"), 0);
    // After a lock one wrong answer is enough, and every lock lasts twice the one before.
    std::int64_t expected = 120'000;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lockout.Failed("192.0.2.7:2"), expected) << i;
        now += expected;
        expected = std::min<std::int64_t>(expected * 2, 3'600'000);
    }
    EXPECT_EQ(expected, 3'600'000);  // the last ones were cut to an hour
}

TEST_F(AuthLockoutTest, ARightAnswerOrAnHourOfQuietForgetsTheWrongOnes) {
    lockout.Failed("192.0.2.7:1");
    lockout.Failed("192.0.2.7:2");
    lockout.Succeeded("192.0.2.7:3");
    EXPECT_EQ(lockout.Failed("192.0.2.7:4"), 0);
    EXPECT_EQ(lockout.Failed("192.0.2.7:5"), 0);
    EXPECT_EQ(lockout.Failed("192.0.2.7:6"), 60'000);
    now += 60'000 + 3'600'000;
    EXPECT_EQ(lockout.Failed("192.0.2.7:7"), 0);  // a fresh count of three, not a doubled lock
}

TEST_F(AuthLockoutTest, LimitsFromTheSettingsAndUnusableOnesKeepTheGuard) {
    lockout.SetLimits(AuthLockout::FromSettings(1, 7200));
    EXPECT_EQ(lockout.Failed("198.51.100.1:5"), 7'200'000);
    now += 7'200'000;
    EXPECT_EQ(lockout.Failed("198.51.100.1:5"), 7'200'000);  // the first lock is longer than an hour
    lockout.SetLimits({0, 0, 0});
    EXPECT_GT(lockout.Failed("198.51.100.2:5"), 0);
}

TEST_F(AuthLockoutTest, HostsOfPeerTexts) {
    EXPECT_EQ(AuthLockout::HostOf("127.0.0.2:5120"), "127.0.0.2");
    EXPECT_EQ(AuthLockout::HostOf("[2001:db8::1]:5120"), "2001:db8::1");
    EXPECT_EQ(AuthLockout::HostOf("2001:db8::1"), "2001:db8::1");
    EXPECT_EQ(AuthLockout::HostOf("[broken"), "broken");
    EXPECT_EQ(AuthLockout::HostOf(""), "");
}

TEST_F(AuthLockoutTest, TheTableStaysBoundedAndKeepsTheLockedHosts) {
    lockout.SetLimits({1, 60'000, 60'000});
    lockout.Failed("203.0.113.1:1");  // locked
    now += 1;
    lockout.SetLimits({3, 60'000, 60'000});
    for (std::size_t i = 0; i < AuthLockout::kMaxHosts + 10; ++i) lockout.Failed("10.0." + std::to_string(i) + ":1");
    EXPECT_GT(lockout.LockedFor("203.0.113.1:1"), 0);
}

}  // namespace
}  // namespace sorvanto
