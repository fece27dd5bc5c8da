#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/items.h"

// The column texts of each category's list rows, left to right, shared by the desktop lists
// and the command-line tool. Texts are Shift_JIS bytes.
namespace sorvanto {

// A time column: the list time text, empty for a time below 1. The registration time is
// marked '*' for items made on the PC; the mail date always has the blank mark.
std::string RowTimeText(std::int64_t seconds, bool from_handset);

std::vector<std::string> RowTexts(const MelodyItem& item);
std::vector<std::string> RowTexts(const PictureItem& item);
std::vector<std::string> RowTexts(const BookmarkItem& item);
std::vector<std::string> RowTexts(const AddressItem& item);
// Sent and received mail have the same columns: address, subject, body, mail date,
// attachment, registration time.
std::vector<std::string> RowTexts(const MailItem& item);

// The small image of a mail row: 1/2 (sent, status nonzero/0), 3/4 (received).
int MailRowImage(const MailItem& item, bool received);

}  // namespace sorvanto
