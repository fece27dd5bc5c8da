#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/items.h"

namespace sorvanto {

// The per-entry address file: an INI file whose section "System" holds the whole entry.
// Phone and mail values keep their stored form: type text, ':' and the number or address.
struct AddressEntry {
    std::string name;
    std::string kana;
    std::vector<std::string> tels;       // "Tel%d"
    std::vector<std::string> tel_icons;  // "TelIcon%d", "0000" when none
    std::vector<std::string> mails;      // "Mail%d"
    std::vector<std::string> mail_icons; // "MailIcon%d", "00" when none
    std::string adr_no;                  // "AdrNo", "123-4567"
    std::string adr;
    std::string note;
};

// The text after the first ':' of a stored value; empty when there is none.
std::string AfterColon(std::string_view value);

// The whole entry; nullopt when the file cannot be read or its section "System" has no key
// (then it is no address entry). Counts larger than the keys present are cut to them.
std::optional<AddressEntry> ReadAddressEntry(std::string_view stored_path);

// Fills the record's shown fields (name, kana, last phone, last mail, memo) from the file;
// false when it is no address entry. The record's path and times are left alone.
bool ReadAddressItem(std::string_view stored_path, AddressItem& item);
// The same from the bytes of such a file.
bool ReadAddressItemBytes(std::string_view bytes, AddressItem& item);

// Writes the entry into the file, keeping other keys of the file (stale "Tel%d" beyond the new
// count stay, as the editor leaves them). Written atomically; false when it cannot be.
bool WriteAddressEntry(std::string_view stored_path, const AddressEntry& entry);

}  // namespace sorvanto
