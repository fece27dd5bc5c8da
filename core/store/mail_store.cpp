#include "store/mail_store.h"

#include "platform/clock.h"
#include "store/mail_text_file.h"
#include "store/stored_path.h"

namespace sorvanto {

namespace {

constexpr std::string_view kScratch = ".\\mail.tmp";

MailText FromRecord(const MailRecord& r, bool received) {
    MailText m;
    (received ? m.from : m.to) = FieldText(r.address);
    m.subject = FieldText(r.subject);
    m.date = clock::Now();
    m.attachment = r.attachment;
    m.body = FieldText(r.body);
    return m;
}

}  // namespace

MailStore::MailStore(Category category, std::string index_path)
    : CategoryStore(category, index_path.empty() ? std::string(FilesOf(category).index_path) : std::move(index_path),
                    std::string(FilesOf(category).default_dir)) {}

bool MailStore::Register(const std::string& source, int status, int flag, int* key) {
    const auto bytes = fs::ReadFile(source);
    return bytes ? RegisterBytes(*bytes, status, flag, key) : SourceUnreadable();
}

bool MailStore::RegisterBytes(std::string_view mail, int status, int flag, int* key) {
    auto item = std::make_unique<MailItem>();
    item->flag = flag;
    item->status = status;
    return RegisterData(mail, std::move(item), key, [this, mail](MailItem& item) {
        return ReadMailItemBytes(mail, IsReceived(), item) == MailFileRead::kOk;
    });
}

bool MailStore::SaveComposed(const MailRecord& record) {
    if (record.key == -1) {
        if (!WriteMailText(kScratch, FromRecord(record, IsReceived()))) {
            ReportFailure();  // the composed mail would be lost without a word
            return false;
        }
        const bool ok = Register(std::string(kScratch), 0, 0);
        fs::DeleteFile(kScratch);
        return ok;
    }
    MailItem* item = FindMutable(record.key);
    if (!item) return false;
    MailItem fresh = *item;
    if (!WriteMailText(item->path, FromRecord(record, IsReceived())) || ReadMailItem(item->path, IsReceived(), fresh) == MailFileRead::kUnreadable) {
        ReportFailure();
        return false;
    }
    fresh.status = 0;
    *item = std::move(fresh);
    Touch(record.key);
    return true;
}

bool MailStore::ReadItem(const IniFile& index, const std::string& section, MailItem& item) {
    item.path = ReadText(index, section, "File", 259);
    item.set_time = index.GetInt(section, "SetTime");
    item.entry_time = index.GetInt(section, "EntryTime");
    item.flag = index.GetInt(section, "Flag");
    item.status = index.GetInt(section, "Status");
    // A stored mail cut short still shows what it has; only a missing file drops the item.
    return !item.path.empty() && IsInsideWorkingFolder(item.path) &&
           ReadMailItem(item.path, IsReceived(), item) != MailFileRead::kUnreadable;
}

void MailStore::WriteItem(IniFile& index, const std::string& section, const MailItem& item) const {
    index.SetString(section, "File", item.path);
    index.SetInt(section, "SetTime", item.set_time);
    index.SetInt(section, "EntryTime", item.entry_time);
    index.SetInt(section, "Flag", item.flag);
    index.SetInt(section, "Status", item.status);
}

}  // namespace sorvanto
