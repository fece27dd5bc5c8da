#pragma once

#include <optional>
#include <string>

#include "search/store_refs.h"

namespace sorvanto {

// Whether an object the handset pushed is identical to an item already stored in its
// category; the title its log line names when it is, nullopt when it is not (or cannot be
// read, and then the registration reports it as usual).
// - an address entry: every key of the entry is equal (name, kana, numbers and addresses with
//   their kinds and icons, postal code, address, memo);
// - a mail: the same box and status, address line, subject, date, attachment flag and body;
// - a bookmark: the same title and URL (as the store cuts them);
// - a melody or picture: the same bytes.
class IncomingDuplicates {
public:
    static std::optional<std::string> Address(const AddressStore& store, const std::string& source);
    static std::optional<std::string> Mail(const MailStore& store, const std::string& source, int status);
    static std::optional<std::string> Bookmark(const BookmarkStore& store, const std::string& title,
                                               const std::string& url);
    static std::optional<std::string> Melody(const MelodyStore& store, const std::string& source);
    static std::optional<std::string> Picture(const PictureStore& store, const std::string& source,
                                              const std::string& title);
};

}  // namespace sorvanto
