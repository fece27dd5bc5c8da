#include "archive/bookmark_file.h"

#include "archive/html_text.h"

namespace sorvanto {

std::string BookmarkFileOf(const std::string& folder_title, const std::vector<ArchiveBookmark>& bookmarks) {
    using html_text::Escaped;
    std::string out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n"
        "<DL><p>\n";
    out += "    <DT><H3>" + Escaped(folder_title) + "</H3>\n    <DL><p>\n";
    for (const ArchiveBookmark& b : bookmarks) {
        const std::string title = Escaped(b.title.empty() ? b.url : b.title);
        const std::string added =
            b.added > 0 ? " ADD_DATE=\"" + std::to_string(b.added) + "\"" : std::string();
        if (html_text::IsWebUrl(b.url))
            out += "        <DT><A HREF=\"" + Escaped(b.url) + "\"" + added + ">" + title + "</A>\n";
        else
            out += "        <DT>" + title + " (" + Escaped(b.url) + ")\n";
    }
    out += "    </DL><p>\n</DL><p>\n";
    return out;
}

}  // namespace sorvanto
