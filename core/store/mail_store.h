#pragma once

#include <string>

#include "common/window_requests.h"
#include "formats/items.h"
#include "store/category_store.h"

namespace sorvanto {

// Received mail (".\inmail.ini", "InMail\") and sent mail (".\outmail.ini", "OutMail\"): one
// mail text file per item.
class MailStore : public CategoryStore<MailItem> {
public:
    // category is Category::kInMail or Category::kOutMail.
    explicit MailStore(Category category, std::string index_path = {});

    bool IsReceived() const { return GetCategory() == Category::kInMail; }

    // Copies the mail file into the data folder and reads it back; a file without its five
    // header lines fails (reported, nothing kept).
    bool Register(const std::string& source, int status, int flag, int* key = nullptr);
    // The same for a mail text file held in memory: written once into the data folder.
    bool RegisterBytes(std::string_view mail, int status, int flag, int* key = nullptr);

    // What the mail window returns. Key -1: the mail is written to ".\mail.tmp" and registered
    // with status 0 and flag 0. Otherwise the item's file is rewritten (dated now), its status
    // becomes 0 and the record is read again. False (and the failure reported) when the file
    // cannot be written; false without a report when no item has the key.
    bool SaveComposed(const MailRecord& record);

protected:
    std::string TitleOf(const MailItem& item) const override { return item.subject; }
    std::string DataPathOf(const MailItem& item) const override { return item.path; }
    bool ReadItem(const IniFile& index, const std::string& section, MailItem& item) override;
    void WriteItem(IniFile& index, const std::string& section, const MailItem& item) const override;
};

}  // namespace sorvanto
