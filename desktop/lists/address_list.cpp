#include "lists/address_list.h"

#include "formats/address_send_job.h"
#include "formats/send_request_table.h"
#include "platform/fs.h"
#include "store/item_export.h"
#include "store/exports.h"

namespace sorvanto {

namespace {
CAddressList::AddressEditor& Editor() {
    static CAddressList::AddressEditor editor;
    return editor;
}
}  // namespace

void CAddressList::SetAddressEditor(AddressEditor editor) { Editor() = std::move(editor); }

CAddressList::CAddressList(ModelSource model, QObject* main_window, QWidget* parent)
    : CategoryListOf(Category::kAddress, std::make_unique<AddressStore>(), std::move(model), main_window, parent) {}

void CAddressList::ImportFile(const std::string& path) { PostImport(path); }

int CAddressList::GetAddressEntry(int position, int mail_index, std::string* name, std::string* address) {
    std::string n, a;
    if (!TypedStore().GetAddressEntry(position, mail_index, n, a)) return 0;
    if (name) *name = n;
    if (address) *address = a;
    return 1;
}

void CAddressList::SendCommand() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    const std::string single = ObjectFileOf(SendRequestTable::kAddress);
    std::string name;
    if (rows.size() == 1) {
        const AddressItem* item = ItemOfRow(rows.front());
        if (!item) return;
        AddressSendJob job(CurrentModel(), 0);
        FinishSend(job.BuildAddress(item->path, single, name) == 1, SendRequestTable::kAddress, name);
        return;
    }
    if (!GetPrompt().Ask(this, MultiSendQuestion(), Prompt::Icon::kExclamation)) return;
    const std::string collection = ObjectFileOf(SendRequestTable::kAddressBook);
    AddressSendJob job(CurrentModel(), 0);
    bool ok = true;
    int index = 0;
    for (int row : rows) {
        const AddressItem* item = ItemOfRow(row);
        if (!item) continue;
        std::string entry_name;
        // A book with a missing entry would replace the handset's whole book wrongly: stop.
        if (job.BuildAddress(item->path, single, entry_name) != 1 ||
            job.AddToCollection(index++, single, collection, name) != 1) {
            ok = false;
            break;
        }
    }
    FinishSend(ok && index > 0, SendRequestTable::kAddressBook, name);
}

void CAddressList::DeleteCommand() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() <= 1) {
        CategoryListOf::DeleteCommand();
        return;
    }
    if (!GetPrompt().Ask(this, MultiDeleteQuestion(), Prompt::Icon::kExclamation)) return;
    // Keys first: every delete removes a row and moves the ones below it up.
    std::vector<int> keys;
    for (int row : rows) keys.push_back(KeyOfRow(row));
    BatchScope batch(TypedStore());
    for (int key : keys) TypedStore().Delete(key);
}

void CAddressList::EditCommand() {
    const int key = CurrentKey();
    const AddressItem* item = CurrentItem();
    if (!item) return;
    if (RunAddressEditor(item->path, false)) TypedStore().Reload(key);
}

void CAddressList::NewCommand() {
    fs::DeleteFile(kNewEntryFile);
    if (RunAddressEditor(kNewEntryFile, true)) TypedStore().Register(kNewEntryFile, 0);
}

void CAddressList::SaveCommand() {
    const AddressItem* item = CurrentItem();
    if (!item) return;
    if (auto target = AskSavePath(item->name, SaveSpecOf(Category::kAddress))) ExportItem(TypedStore(), CurrentKey(), *target);
}

bool CAddressList::RunAddressEditor(const std::string& entry_path, bool new_entry) {
    return Editor() ? Editor()(this, entry_path, new_entry) : false;
}

}  // namespace sorvanto
