#include "search/incoming_duplicates.h"

#include "common/sjis.h"
#include "platform/fs.h"
#include "search/item_files.h"
#include "store/address_entry_file.h"
#include "store/mail_text_file.h"

namespace sorvanto {

namespace {

bool SameEntry(const AddressEntry& a, const AddressEntry& b) {
    return a.name == b.name && a.kana == b.kana && a.tels == b.tels && a.tel_icons == b.tel_icons &&
           a.mails == b.mails && a.mail_icons == b.mail_icons && a.adr_no == b.adr_no && a.adr == b.adr &&
           a.note == b.note;
}

// The first stored item for which same(item) holds, as a yes or no.
template <class Store, class Same>
bool AnyStored(const Store& store, Same same) {
    bool found = false;
    store.Items().ForEach([&](const auto& node) {
        if (!found && same(*node.data)) found = true;
    });
    return found;
}

// Melodies and pictures: the record's byte size picks the candidates, their bytes decide.
template <class Store>
bool SameBytesStored(const Store& store, const std::string& source) {
    const std::int64_t size = fs::FileSize(source);
    if (size < 0) return false;
    std::optional<std::string> bytes;
    return AnyStored(store, [&](const auto& item) {
        if (item.bytes != size) return false;
        if (!bytes) bytes = fs::ReadFile(source);
        return bytes && fs::ReadFile(item.path) == bytes;
    });
}

}  // namespace

std::optional<std::string> IncomingDuplicates::Address(const AddressStore& store, const std::string& source) {
    const auto incoming = ReadAddressEntry(source);
    if (!incoming) return std::nullopt;
    const std::string name = sjis::CutBytes(incoming->name, 63);
    const std::string kana = sjis::CutBytes(incoming->kana, 63);
    const bool stored = AnyStored(store, [&](const AddressItem& item) {
        if (item.name != name || item.kana != kana) return false;
        const auto entry = ReadAddressEntry(item.path);
        return entry && SameEntry(*entry, *incoming);
    });
    return stored ? std::optional(name) : std::nullopt;
}

std::optional<std::string> IncomingDuplicates::Mail(const MailStore& store, const std::string& source,
                                                    int status) {
    MailItem incoming;
    if (ReadMailItem(source, store.IsReceived(), incoming) != MailFileRead::kOk) return std::nullopt;
    const auto body = MailFileBody(source);
    if (!body) return std::nullopt;
    const bool stored = AnyStored(store, [&](const MailItem& m) {
        return m.status == status && m.mail_date == incoming.mail_date && m.attachment == incoming.attachment &&
               m.subject == incoming.subject && m.from_or_to == incoming.from_or_to && m.body == incoming.body &&
               MailFileBody(m.path) == body;
    });
    return stored ? std::optional(incoming.subject) : std::nullopt;
}

std::optional<std::string> IncomingDuplicates::Bookmark(const BookmarkStore& store, const std::string& title,
                                                        const std::string& url) {
    const std::string t = sjis::CutBytes(title, 259), u = sjis::CutBytes(url, 259);
    const bool stored = AnyStored(store, [&](const BookmarkItem& b) { return b.title == t && b.url == u; });
    return stored ? std::optional(t) : std::nullopt;
}

std::optional<std::string> IncomingDuplicates::Melody(const MelodyStore& store, const std::string& source) {
    const auto head = fs::ReadFile(source, 256);
    const auto title = head ? MelodyStore::TitleOf256(*head) : std::nullopt;
    if (!title || !SameBytesStored(store, source)) return std::nullopt;
    return title;
}

std::optional<std::string> IncomingDuplicates::Picture(const PictureStore& store, const std::string& source,
                                                       const std::string& title) {
    if (!SameBytesStored(store, source)) return std::nullopt;
    return sjis::CutBytes(title, 63);
}

}  // namespace sorvanto
