#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvanto {

struct ArchiveBookmark {
    std::string title;  // UTF-8
    std::string url;
    std::int64_t added = 0;  // seconds since 1970, 0 when unknown
};

// The bookmark file browsers import ("NETSCAPE-Bookmark-file-1"), UTF-8, one folder named
// folder_title holding every bookmark. Every text is escaped; a URL that is not http or https
// is kept as the entry's text without a link target a browser would follow.
std::string BookmarkFileOf(const std::string& folder_title, const std::vector<ArchiveBookmark>& bookmarks);

}  // namespace sorvanto
