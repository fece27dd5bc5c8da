#include "formats/mail_date.h"

#include <climits>
#include <cstdio>
#include <ctime>

#include "platform/clock.h"

namespace sorvanto::mail_date {

namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The words of the local time, as the fixed-layout time text splits into them.
struct TimeWords {
    std::string weekday, month, day, time, year;
};

TimeWords WordsOf(std::int64_t seconds) {
    std::tm tm{};
    clock::ToLocal(seconds, tm);
    char day[16], time[32], year[16];
    std::snprintf(day, sizeof day, "%02d", tm.tm_mday);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::snprintf(year, sizeof year, "%d", tm.tm_year + 1900);
    return {kWeekdays[tm.tm_wday % 7], kMonths[tm.tm_mon % 12], day, time, year};
}

// sscanf's conversions over a view: each skips leading white space first.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool Word(std::string_view& word) {
        SkipSpace();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
        word = text_.substr(start, pos_ - start);
        return !word.empty();
    }

    bool Int(int& value) {
        SkipSpace();
        std::size_t at = pos_;
        bool negative = false;
        if (at < text_.size() && (text_[at] == '-' || text_[at] == '+')) negative = text_[at++] == '-';
        if (at >= text_.size() || !IsDigit(text_[at])) return false;
        long long v = 0;
        for (; at < text_.size() && IsDigit(text_[at]); ++at) {
            // Saturate: an absurd year or day is refused later, never overflows here.
            if (v < INT_MAX) v = v * 10 + (text_[at] - '0');
        }
        if (v > INT_MAX) v = INT_MAX;
        value = static_cast<int>(negative ? -v : v);
        pos_ = at;
        return true;
    }

private:
    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Two characters of the time word at `at` as a number; characters that are missing or not
// digits leave the field 0.
int TwoDigits(std::string_view word, std::size_t at) {
    if (at + 2 > word.size() || !IsDigit(word[at]) || !IsDigit(word[at + 1])) return 0;
    return (word[at] - '0') * 10 + (word[at + 1] - '0');
}

void ReadTime(std::string_view word, DateFields& fields) {
    fields.hours = TwoDigits(word, 0);
    fields.minutes = TwoDigits(word, 3);
    fields.seconds = TwoDigits(word, 6);
}

// Day, month name, year, time: the common tail of both parses.
void ParseFromDay(Scanner& in, DateFields& fields) {
    std::string_view word;
    if (!in.Int(fields.day)) return;
    if (!in.Word(word)) return;
    fields.month = MonthFromName(word);
    if (!in.Int(fields.year)) return;
    if (!in.Word(word)) return;
    ReadTime(word, fields);
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string FormA(std::int64_t seconds_since_1970) {
    const TimeWords w = WordsOf(seconds_since_1970);
    return "Date: " + w.day + " " + w.month + " " + w.year + " " + w.time + " +0900";
}

std::string FormB(std::int64_t seconds_since_1970) {
    const TimeWords w = WordsOf(seconds_since_1970);
    return "Date:" + w.weekday + ", " + w.day + " " + w.month + " " + w.year + " " + w.time + " +0900";
}

int MonthFromName(std::string_view name) {
    for (int i = 0; i < 12; ++i) {
        if (name == kMonths[i]) return i + 1;
    }
    return 0;
}

DateFields ParseDateLine(std::string_view line) {
    DateFields fields;
    Scanner in(line);
    std::string_view first;
    if (in.Word(first)) ParseFromDay(in, fields);
    return fields;
}

DateFields ParseDateFromDay(std::string_view text) {
    DateFields fields;
    Scanner in(text);
    ParseFromDay(in, fields);
    return fields;
}

std::int64_t ToTime(const DateFields& f) {
    // mktime would quietly roll month 0 into the December before, or day 40 into the next
    // month, and store a date the mail never had. Such a date is stored as "none" instead.
    if (f.month < 1 || f.month > 12 || f.year < 1970 || f.year > 2100) return 0;
    if (f.day < 1 || f.day > DaysIn(f.month, f.year)) return 0;
    if (f.hours < 0 || f.hours > 23 || f.minutes < 0 || f.minutes > 59 || f.seconds < 0 ||
        f.seconds > 59)
        return 0;
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hours;
    tm.tm_min = f.minutes;
    tm.tm_sec = f.seconds;
    tm.tm_isdst = -1;
    const std::int64_t t = clock::FromLocal(tm);
    if (t < 0 || t > INT32_MAX) return 0;
    return t;
}

std::int64_t ParseReceived(std::string_view line) { return ToTime(ParseDateLine(line)); }

}  // namespace sorvanto::mail_date
