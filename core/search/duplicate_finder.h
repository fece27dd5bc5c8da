#pragma once

#include <optional>
#include <vector>

#include "search/store_refs.h"

namespace sorvanto {

// Items of one category that are the same. Keys and list positions in list order; the first
// is the item a merge keeps.
struct DuplicateGroup {
    Category category;
    std::vector<int> keys;
    std::vector<int> positions;
};

// Finds the groups of items that are the same:
// - address entries whose folded name and kana are equal, or that share a number (on its
//   digits) or a mail address (folded); sharing is followed through, so A~B and B~C make one
//   group of three;
// - mails of one box with the same status, address line, subject, date, attachment and body;
// - bookmarks with the same URL;
// - melodies and pictures whose data files hold the same bytes.
// Items whose files cannot be read (gone, or no longer an entry or a mail) are in no group:
// nothing can be said about them, and a tidy must not touch them.
class DuplicateFinder {
public:
    // Groups in tab order of their category, then by the position of their first item.
    static std::vector<DuplicateGroup> Find(const StoreRefs& stores, std::optional<Category> only = std::nullopt);

    static std::vector<DuplicateGroup> Addresses(const AddressStore& store);
    static std::vector<DuplicateGroup> Mails(const MailStore& store);
    static std::vector<DuplicateGroup> Bookmarks(const BookmarkStore& store);
    static std::vector<DuplicateGroup> Melodies(const MelodyStore& store);
    static std::vector<DuplicateGroup> Pictures(const PictureStore& store);
};

}  // namespace sorvanto
