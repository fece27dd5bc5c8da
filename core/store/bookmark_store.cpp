#include "store/bookmark_store.h"

#include "common/sjis.h"
#include "platform/clock.h"
#include "store/exports.h"

namespace sorvanto {

BookmarkStore::BookmarkStore(std::string index_path)
    : CategoryStore(Category::kBookmark, std::move(index_path), std::string()) {}

bool BookmarkStore::Register(const std::string& title, const std::string& url, int flag, int* key) {
    auto item = std::make_unique<BookmarkItem>();
    item->flag = flag;
    item->title = sjis::CutBytes(title, 259);
    item->url = sjis::CutBytes(url, 259);
    item->entry_time = clock::Now();
    const int k = AddRegistered(std::move(item));
    if (key) *key = k;
    return true;
}

bool BookmarkStore::ImportShortcut(const std::string& path, int* key) {
    const auto url = ReadInternetShortcut(path);
    if (!url) return false;
    // Paths from the desktop use '/', paths in the Windows form '\'.
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos || path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext != ".url" || path.size() - 4 < slash + 1) return false;
    return Register(path.substr(slash + 1, path.size() - 4 - slash - 1), *url, 0, key);
}

bool BookmarkStore::SetComment(int key, const std::string& comment) {
    BookmarkItem* item = FindMutable(key);
    if (!item) return false;
    item->comment = sjis::CutBytes(comment, 259);
    Touch(key);
    return true;
}

bool BookmarkStore::ReadItem(const IniFile& index, const std::string& section, BookmarkItem& item) {
    item.title = ReadText(index, section, "Title", 259);
    item.url = ReadText(index, section, "Address", 259);
    item.comment = ReadText(index, section, "Comment", 255);
    item.set_time = index.GetInt(section, "SetTime");
    item.entry_time = index.GetInt(section, "EntryTime");
    item.flag = index.GetInt(section, "Flag");
    return true;
}

void BookmarkStore::WriteItem(IniFile& index, const std::string& section, const BookmarkItem& item) const {
    index.SetString(section, "Title", item.title);
    index.SetString(section, "Address", item.url);
    index.SetString(section, "Comment", item.comment);
    index.SetInt(section, "SetTime", item.set_time);
    index.SetInt(section, "EntryTime", item.entry_time);
    index.SetInt(section, "Flag", item.flag);
}

}  // namespace sorvanto
