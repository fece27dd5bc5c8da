#pragma once

#include <functional>

#include "lists/category_list_of.h"
#include "store/address_store.h"

namespace sorvanto {

// The address book (multiple selection): send one entry or the whole selection as the
// handset's book, delete one or many, edit and create entries in the address editor, save as
// a vCard, and the entries for the mail composer's address selection.
class CAddressList : public CategoryListOf<AddressStore> {
public:
    // Runs the address editor modally on an entry file; true when it was closed with OK (the
    // editor has then written the file).
    using AddressEditor = std::function<bool(QWidget* parent, const std::string& entry_path, bool new_entry)>;
    // The editor, set once by the application.
    static void SetAddressEditor(AddressEditor editor);

    static constexpr const char* kNewEntryFile = ".\\Addr.tmp";

    CAddressList(ModelSource model, QObject* main_window, QWidget* parent);

    void ImportFile(const std::string& path) override;
    int GetAddressEntry(int position, int mail_index, std::string* name, std::string* address) override;

protected:
    void SendCommand() override;
    void DeleteCommand() override;
    void EditCommand() override;
    void NewCommand() override;
    void SaveCommand() override;

    // The editor; by default the one set above (none: Cancel).
    virtual bool RunAddressEditor(const std::string& entry_path, bool new_entry);
};

}  // namespace sorvanto
