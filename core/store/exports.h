#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/items.h"

// Writers of the ordinary PC files a user saves items to. Each writes its target atomically
// (a failed export leaves an existing file as it was) and returns false when it could not.
// Targets are paths the user chose: native absolute paths or stored relative ones.
namespace sorvanto {

// vCard 2.1 of an address entry, CR LF line ends; the numbers and addresses come from the
// entry's file in their stored form.
bool ExportVCard(const AddressItem& item, std::string_view target);

// The mail file (".eml") of a received (sender filled) or sent (recipient filled) mail.
bool ExportMailFile(const MailItem& item, bool received, std::string_view target);

// The date line's text: "%A, %d %b %Y %H:%M:%S +0900" of the local time, with English names
// whatever the process locale is.
std::string MailDateText(std::int64_t seconds);

// An Internet shortcut: section "InternetShortcut", key "URL".
bool WriteInternetShortcut(std::string_view url, std::string_view target);
// The URL of a shortcut (up to 259 bytes); nullopt when the file has no such key.
std::optional<std::string> ReadInternetShortcut(std::string_view path);

// A copy of a melody's or picture's data file.
bool ExportDataFile(std::string_view data_path, std::string_view target);

// A title as a proposed file name: the characters a file name cannot hold are removed. Only
// single bytes are removed, never the second byte of a double-byte character.
std::string ProposedFileName(std::string_view title);

}  // namespace sorvanto
