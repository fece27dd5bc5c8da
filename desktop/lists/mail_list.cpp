#include "lists/mail_list.h"

#include "store/item_export.h"
#include "store/exports.h"
#include "store/row_texts.h"

namespace sorvanto {

namespace {
CMailList::MailWindowFactory& Factory() {
    static CMailList::MailWindowFactory factory;
    return factory;
}
}  // namespace

void CMailList::SetMailWindowFactory(MailWindowFactory factory) { Factory() = std::move(factory); }

CMailList::CMailList(Category category, ModelSource model, QObject* main_window, QWidget* parent)
    : CategoryListOf(category, std::make_unique<MailStore>(category), std::move(model), main_window, parent) {}

void CMailList::ImportFile(const std::string& path) { PostImport(path); }

int CMailList::RowImageOf(int key) const {
    const MailItem* item = TypedStore().Find(key);
    return item ? MailRowImage(*item, TypedStore().IsReceived()) : -1;
}

void CMailList::SaveCommand() {
    const MailItem* item = CurrentItem();
    if (!item) return;
    if (auto target = AskSavePath(item->subject, SaveSpecOf(GetCategory())))
        ExportItem(TypedStore(), CurrentKey(), *target);
}

MailRecord CMailList::RecordOf(int row, const std::string& address, const std::string& subject,
                               const std::string& body) const {
    MailRecord record{};
    const MailItem* item = ItemOfRow(row);
    record.key = item ? KeyOfRow(row) : -1;
    record.attachment = item ? item->attachment : 0;
    CopyField(record.address, item ? item->from_or_to : address);
    CopyField(record.subject, item ? item->subject : subject);
    CopyField(record.body, item ? item->body : body);
    return record;
}

QWidget* CMailList::MailWindowOf(int key) const {
    auto it = windows_.find(key);
    return it == windows_.end() ? nullptr : it->second.data();
}

void CMailList::OpenMailWindow(int row, int mode, const MailRecord& record) {
    const int key = KeyOfRow(row);
    if (QWidget* open = key >= 0 ? MailWindowOf(key) : nullptr) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    QWidget* window = CreateMailWindow(record, mode);
    if (!window) return;
    window->show();
    if (key >= 0) windows_[key] = window;
}

QWidget* CMailList::CreateMailWindow(const MailRecord& record, int mode) {
    return Factory() ? Factory()(record, mode, this) : nullptr;
}

}  // namespace sorvanto
