#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The date texts of outgoing mail and the parser of received mail dates.
namespace sorvanto::mail_date {

// "Date: 02 Jan 2004 09:05:07 +0900" (form A, the 8-bit mails) for the given time, shown in
// the PC's local time. English names whatever the locale; the zone text is always "+0900".
// The builders pass clock::Now(), so tests can fix the time.
std::string FormA(std::int64_t seconds_since_1970);
// "Date:Fri, 02 Jan 2004 09:05:07 +0900" (form B, the quoted-printable mails).
std::string FormB(std::int64_t seconds_since_1970);

// The fields of a received date as they were read; fields not read stay 0.
struct DateFields {
    int day = 0;
    int month = 0;  // 1..12; 0 for a name that is not one of "Jan".."Dec"
    int year = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

// 1..12 for "Jan".."Dec" (exact, case-sensitive), else 0.
int MonthFromName(std::string_view name);

// A line beginning "Date:" read as "%s %d %s %d %s" over the whole line: a first word (the
// "Date:" and weekday token), day, month name, year, time. The time word gives hours from its
// characters 1-2, minutes from 4-5 and seconds from 7-8. Reading stops at the first field that
// does not match, as sscanf does.
DateFields ParseDateLine(std::string_view line);
// The same from the day on: "%d %s %d %s" (day, month name, year, time). The NEC-family
// importer skips to the first digit of the line and parses from there.
DateFields ParseDateFromDay(std::string_view text);

// The fields as a local calendar time (daylight saving unknown), in seconds since 1970.
// Fields out of range (month 0, day 0 or past the end of its month, hours past 23, minutes or
// seconds past 59, a year before 1970) and times that do not fit 32 bits give 0, the "no date"
// value, rather than a date rolled into another month.
std::int64_t ToTime(const DateFields& fields);

// ToTime(ParseDateLine(line)).
std::int64_t ParseReceived(std::string_view line);

}  // namespace sorvanto::mail_date
