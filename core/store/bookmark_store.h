#pragma once

#include <string>

#include "formats/items.h"
#include "store/category_store.h"

namespace sorvanto {

// Bookmarks: ".\bookmk.ini" holds the whole item; there is no data folder.
class BookmarkStore : public CategoryStore<BookmarkItem> {
public:
    explicit BookmarkStore(std::string index_path = std::string(FilesOf(Category::kBookmark).index_path));

    // Title and URL are cut to 259 bytes.
    bool Register(const std::string& title, const std::string& url, int flag, int* key = nullptr);

    // A file dropped on the list: an Internet shortcut whose path ends in ".url" (any case)
    // is registered with flag 0 under the name between the last folder separator and ".url".
    // False when the file is no such shortcut (the caller hands it on).
    bool ImportShortcut(const std::string& path, int* key = nullptr);

    // The comment dialog's text, cut to 259 bytes.
    bool SetComment(int key, const std::string& comment);

protected:
    std::string TitleOf(const BookmarkItem& item) const override { return item.title; }
    bool ReadItem(const IniFile& index, const std::string& section, BookmarkItem& item) override;
    void WriteItem(IniFile& index, const std::string& section, const BookmarkItem& item) const override;
};

}  // namespace sorvanto
