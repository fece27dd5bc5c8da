#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "formats/base64.h"
#include "formats/encoded_word.h"
#include "formats/mail_date.h"
#include "platform/clock.h"

namespace sorvanto {
namespace {

// 2004-01-02 09:05:07 in Tokyo, where the tests run (TZ=Asia/Tokyo).
constexpr std::int64_t kFriMorning = 1073001907;

TEST(EncodedWordTest, SubjectLines) {
    EXPECT_EQ(encoded_word::EncodeSubjectLine("abc"), "Subject:=?shift-jis?B?YWJj?=");
    EXPECT_EQ(encoded_word::EncodeSubjectLine(""), "Subject:");
    // The run is cut at 1,560 characters: a subject of 1,170 bytes, not one more.
    const std::string line = encoded_word::EncodeSubjectLine(std::string(2000, 's'));
    EXPECT_EQ(line.size(), encoded_word::kSubjectPrefix.size() + 1560 + 2);
}

TEST(EncodedWordTest, DecodeDropsThePrefixAndStopsAtTheQuestionMark) {
    const std::size_t n = encoded_word::kSubjectPrefix.size();
    EXPECT_EQ(encoded_word::DecodeSubject("Subject:=?shift-jis?B?YWJj?=\n", n), "abc");
    EXPECT_EQ(encoded_word::DecodeSubject("Subject:=?shift-jis?B?", n), "");
    const std::string sjis = "\x83\x65\x83\x58\x83\x67";  // "テスト"
    EXPECT_EQ(encoded_word::DecodeSubject(encoded_word::EncodeSubjectLine(sjis), n), sjis);
    EXPECT_EQ(encoded_word::DecodeSubject("Subject: =?Shift_JIS?B?YWJj?=",
                                          encoded_word::kSpacedSubjectPrefix.size()),
              "abc");
    // The decode capacity of the importers holds.
    const std::string long_word = std::string(encoded_word::kSubjectPrefix) +
                                  base64::Encode(std::string(3000, 'w'), 1 << 20) + "?=";
    EXPECT_LE(encoded_word::DecodeSubject(long_word, n).size(), encoded_word::kDecodeCapacity + 2);
}

class MailDateTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock::UseJapanTimeForTesting();
    }
};

TEST_F(MailDateTest, OutgoingForms) {
    EXPECT_EQ(mail_date::FormA(kFriMorning), "Date: 02 Jan 2004 09:05:07 +0900");
    EXPECT_EQ(mail_date::FormB(kFriMorning), "Date:Fri, 02 Jan 2004 09:05:07 +0900");
    EXPECT_EQ(mail_date::FormB(kFriMorning + 86400 * 330 + 3600 * 14),
              "Date:Sat, 27 Nov 2004 23:05:07 +0900");
}

TEST_F(MailDateTest, ParsesReceivedLines) {
    EXPECT_EQ(mail_date::ParseReceived("Date:Fri, 2 Jan 2004 09:05:07 +0900\n"), kFriMorning);
    // Our own form A parses too, and the zone is ignored.
    EXPECT_EQ(mail_date::ParseReceived("Date: 02 Jan 2004 09:05:07 -0500"), kFriMorning);
    EXPECT_EQ(mail_date::ToTime(mail_date::ParseDateFromDay("2 Jan 2004 09:05:07 +0900")), kFriMorning);
    // The time word is read by position: "1x" and "2:" are no numbers, "45" is.
    const mail_date::DateFields f = mail_date::ParseDateLine("Date:Fri, 2 Dec 2004 1x:2:345");
    EXPECT_EQ(f.month, 12);
    EXPECT_EQ(f.hours, 0);
    EXPECT_EQ(f.minutes, 0);
    EXPECT_EQ(f.seconds, 45);
}

TEST_F(MailDateTest, UnknownMonthAndOutOfRangeFieldsGiveNoDate) {
    const mail_date::DateFields foo = mail_date::ParseDateLine("Date:Fri, 2 Foo 2004 09:05:07 +0900");
    EXPECT_EQ(foo.month, 0);
    EXPECT_EQ(foo.day, 2);
    EXPECT_EQ(foo.year, 2004);
    EXPECT_EQ(foo.hours, 9);
    EXPECT_EQ(mail_date::ToTime(foo), 0);
    EXPECT_EQ(mail_date::MonthFromName("jan"), 0);  // exact case only
    EXPECT_EQ(mail_date::MonthFromName("Dec"), 12);

    for (const char* line : {"Date:Fri, 30 Feb 2004 09:05:07", "Date:Fri, 0 Jan 2004 09:05:07",
                             "Date:Fri, 2 Jan 2004 24:05:07", "Date:Fri, 2 Jan 2004 09:60:07",
                             "Date:Fri, 2 Jan 1969 09:05:07", "Date:Fri, 2 Jan 99999999999 09:05:07",
                             "Date:Fri, -2 Jan 2004 09:05:07", "Date:", "Date: Fri, 2 Jan 2004 09:05:07", ""}) {
        EXPECT_EQ(mail_date::ParseReceived(line), 0) << line;
    }
    EXPECT_NE(mail_date::ParseReceived("Date:Sun, 29 Feb 2004 00:00:00"), 0);
}

}  // namespace
}  // namespace sorvanto
