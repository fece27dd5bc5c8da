#include "store/address_store.h"

#include "common/sjis.h"
#include "store/address_entry_file.h"
#include "store/stored_path.h"

namespace sorvanto {

AddressStore::AddressStore(std::string index_path)
    : CategoryStore(Category::kAddress, std::move(index_path), std::string(FilesOf(Category::kAddress).default_dir)) {}

bool AddressStore::Register(const std::string& source, int flag, int* key) {
    auto item = std::make_unique<AddressItem>();
    item->flag = flag;
    return RegisterCopy(source, std::move(item), key,
                        [](AddressItem& copied) { return ReadAddressItem(copied.path, copied); });
}

bool AddressStore::Reload(int key) {
    AddressItem* item = FindMutable(key);
    if (!item) return false;
    AddressItem fresh = *item;
    if (!ReadAddressItem(item->path, fresh)) return false;
    *item = std::move(fresh);
    Touch(key);
    return true;
}

bool AddressStore::Rewrite(int key, const AddressEntry& entry) {
    const AddressItem* item = Find(key);
    if (!item || !WriteAddressEntry(item->path, entry)) return false;
    return Reload(key);
}

bool AddressStore::GetAddressEntry(int position, int mail_index, std::string& name, std::string& address) const {
    const AddressItem* item = At(position);
    if (!item) return false;
    name = item->name;
    IniFile entry(item->path);
    address = AfterColon(sjis::CutBytes(entry.GetString("System", "Mail" + std::to_string(mail_index)), 519));
    return true;
}

bool AddressStore::ReadItem(const IniFile& index, const std::string& section, AddressItem& item) {
    item.path = ReadText(index, section, "File", 258);
    item.set_time = index.GetInt(section, "SetTime");
    item.entry_time = index.GetInt(section, "EntryTime");
    item.flag = index.GetInt(section, "Flag");
    return !item.path.empty() && IsInsideWorkingFolder(item.path) && ReadAddressItem(item.path, item);
}

void AddressStore::WriteItem(IniFile& index, const std::string& section, const AddressItem& item) const {
    index.SetString(section, "File", item.path);
    index.SetInt(section, "SetTime", item.set_time);
    index.SetInt(section, "EntryTime", item.entry_time);
    index.SetInt(section, "Flag", item.flag);
}

}  // namespace sorvanto
