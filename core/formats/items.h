#pragma once

#include <cstdint>
#include <string>

// The in-memory records of the seven categories. The store owns them; the builders of
// outgoing objects read them. Texts are Shift_JIS bytes, cut where the stored formats cut them
// (title 259 bytes, picture title 63, address name and kana 63, mail body 1559, ...).
namespace sorvanto {

struct MelodyItem {
    std::string title;
    std::string path;  // data file, stored form ("Melody\0A1B2C3D4E5")
    int bytes = 0;
    std::string comment;
    std::int64_t set_time = 0;
    std::int64_t entry_time = 0;
    int flag = 0;  // 1 = from the handset, 0 = made on the PC
};

// Standby pictures and camera pictures.
struct PictureItem {
    std::string title;
    int bytes = 0;
    int type = 0;  // 0 = BMP, 1 = JPEG, 2 = GIF
    int width = 0;
    int height = 0;
    std::string comment;
    std::string path;
    std::int64_t set_time = 0;
    std::int64_t entry_time = 0;
    int flag = 0;
};

struct BookmarkItem {
    std::string title;
    std::string url;
    std::string comment;
    std::int64_t set_time = 0;
    std::int64_t entry_time = 0;
    int flag = 0;
};

struct AddressItem {
    std::string name;
    std::string kana;
    std::string phone;  // shown: after ':' of the last number
    std::string mail;   // shown: after ':' of the last address
    std::string memo;
    std::string path;   // per-entry address file
    std::int64_t set_time = 0;
    std::int64_t entry_time = 0;
    int flag = 0;
};

// Received and sent mail.
struct MailItem {
    std::string path;       // mail text file
    std::string from_or_to; // sender of a received mail, recipients of a sent one
    std::string subject;
    std::string body;       // body_length is body.size()
    std::int64_t mail_date = 0;
    int status = 0;
    int attachment = 0;
    std::int64_t set_time = 0;
    std::int64_t entry_time = 0;
    int flag = 0;
};

}  // namespace sorvanto
