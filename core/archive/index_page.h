#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/bookmark_file.h"
#include "archive/mime_mail.h"
#include "store/address_entry_file.h"

namespace sorvanto {

// The archive's index.html: one self-contained UTF-8 page (no outside resources, no script)
// with a section per category. Every text is escaped; only http and https bookmarks become
// links; the archive's own files are linked by relative paths.
class IndexPage {
public:
    struct Melody {
        std::string title;
        std::string mld;  // relative paths; empty when not written
        std::string mid;
        std::string wav;
        std::vector<std::string> info;  // the information lines
    };

    void AddContact(const AddressEntry& entry);
    void BeginMailBox(std::string_view heading, const std::string& mbox);
    void AddMail(const MimeMail& mail, const std::string& eml, const std::vector<std::string>& attachments);
    void SetBookmarks(const std::vector<ArchiveBookmark>& bookmarks);
    void AddMelody(const Melody& melody);
    void BeginPictures(std::string_view heading);
    void AddPicture(const std::string& title, const std::string& path, int width, int height);
    void SetSkipped(const std::vector<std::string>& lines);

    std::string Html(bool with_wav) const;

private:
    std::string contacts_;
    int contact_count_ = 0;
    std::string mail_;
    int mail_count_ = 0;
    std::string bookmarks_;
    int bookmark_count_ = 0;
    std::string melodies_;
    int melody_count_ = 0;
    std::string pictures_;
    bool pictures_open_ = false;
    std::string skipped_;
};

}  // namespace sorvanto
