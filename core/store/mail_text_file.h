#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/items.h"

namespace sorvanto {

// The mail text file of received and sent mail: five header lines (sender, recipient,
// subject, date in seconds, attachment flag), then the body.
struct MailText {
    std::string from;  // empty for sent mail
    std::string to;    // ignored for received mail
    std::string subject;
    std::int64_t date = 0;
    int attachment = 0;
    std::string body;
};

enum class MailFileRead {
    kOk,
    kShort,       // opened, but it ends before the fifth line
    kUnreadable,  // missing or cannot be opened
};

// Fills the record's texts from the file: the sender (received) or the recipient (sent), up to
// 518 bytes; the subject up to 258; the date; the attachment flag; up to 1559 bytes of body.
// Header lines are read as text (CR LF counts as LF) whole and cut, so a long line never shifts
// the lines after it; the body is taken byte for byte.
MailFileRead ReadMailItem(std::string_view stored_path, bool received, MailItem& item);

// Writes the file without line-end translation, atomically. CR and LF inside the header lines
// would shift the layout and become blanks; the body is written unchanged.
bool WriteMailText(std::string_view stored_path, const MailText& mail);

}  // namespace sorvanto
