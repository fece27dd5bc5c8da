#pragma once

#include <string>

#include "formats/items.h"
#include "store/address_entry_file.h"
#include "store/category_store.h"

namespace sorvanto {

// The address book: ".\address.ini" and one entry file per item in "Address\".
class AddressStore : public CategoryStore<AddressItem> {
public:
    explicit AddressStore(std::string index_path = std::string(FilesOf(Category::kAddress).index_path));

    // Copies the entry file into the data folder and reads it back; a file that is no entry
    // fails (reported, nothing kept).
    bool Register(const std::string& source, int flag, int* key = nullptr);

    // After the editor rewrote the entry's file: read it into the record again.
    bool Reload(int key);

    // Writes a whole entry into the item's file (atomically) and reads it into the record
    // again, as the editor's 登録 does. False when no item has the key or the file cannot be
    // written; the record is then as it was.
    bool Rewrite(int key, const AddressEntry& entry);

    // For the address selection: the name of the entry at a position of the item list and the
    // text after the first ':' of its "Mail%d" (m). False when there is no such entry.
    bool GetAddressEntry(int position, int mail_index, std::string& name, std::string& address) const;

protected:
    std::string TitleOf(const AddressItem& item) const override { return item.name; }
    std::string DataPathOf(const AddressItem& item) const override { return item.path; }
    bool ReadItem(const IniFile& index, const std::string& section, AddressItem& item) override;
    void WriteItem(IniFile& index, const std::string& section, const AddressItem& item) const override;
};

}  // namespace sorvanto
