#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace sorvanto {

// A list's time column: local time "%04d/%02d/%02d %02d:%02d:%02d %c", the mark a space for
// items from the handset and '*' for items made on the PC.
std::string ListTimeText(std::int64_t seconds, bool from_handset);
// The prefix of a log line: local time "%4d/%02d/%02d %02d:%02d:%02d >".
std::string LogPrefix(std::int64_t seconds);
// Seconds since 1970 to the local calendar fields (struct tm semantics: year 1900-based etc.).
bool LocalTime(std::int64_t seconds, struct std::tm& out);

}  // namespace sorvanto
