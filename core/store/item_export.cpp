#include "store/item_export.h"

#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/exports.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"

namespace sorvanto {

namespace {

// Calls fn with the item of the key, typed by the store's category; false when there is none.
template <class Fn>
bool WithItem(const CategoryStoreBase& store, int key, Fn fn) {
    switch (store.GetCategory()) {
        case Category::kMelody:
            if (auto* item = static_cast<const MelodyStore&>(store).Find(key)) return fn(*item), true;
            return false;
        case Category::kPicture:
        case Category::kMyPic:
            if (auto* item = static_cast<const PictureStore&>(store).Find(key)) return fn(*item), true;
            return false;
        case Category::kBookmark:
            if (auto* item = static_cast<const BookmarkStore&>(store).Find(key)) return fn(*item), true;
            return false;
        case Category::kOutMail:
        case Category::kInMail:
            if (auto* item = static_cast<const MailStore&>(store).Find(key)) return fn(*item), true;
            return false;
        case Category::kAddress:
            if (auto* item = static_cast<const AddressStore&>(store).Find(key)) return fn(*item), true;
            return false;
    }
    return false;
}

struct Namer {
    std::string name;
    void operator()(const MelodyItem& i) {
        name = ProposedFileName(i.title) + "." + ExportExtension(Category::kMelody);
    }
    void operator()(const PictureItem& i) {
        name = ProposedFileName(i.title) + "." + ExportExtension(Category::kPicture, i.type);
    }
    void operator()(const BookmarkItem& i) { name = ProposedFileName(i.title) + ".url"; }
    void operator()(const MailItem& i) { name = ProposedFileName(i.subject) + ".eml"; }
    void operator()(const AddressItem& i) { name = ProposedFileName(i.name) + ".vcf"; }
};

struct Writer {
    std::string_view target;
    bool received = false;
    bool ok = false;
    void operator()(const MelodyItem& i) { ok = ExportDataFile(i.path, target); }
    void operator()(const PictureItem& i) { ok = ExportDataFile(i.path, target); }
    void operator()(const BookmarkItem& i) { ok = WriteInternetShortcut(i.url, target); }
    void operator()(const MailItem& i) { ok = ExportMailFile(i, received, target); }
    void operator()(const AddressItem& i) { ok = ExportVCard(i, target); }
};

}  // namespace

std::string ExportExtension(Category category, int picture_type) {
    switch (category) {
        case Category::kMelody:
            return "mld";
        case Category::kPicture:
        case Category::kMyPic:
            return picture_type == 1 ? "jpg" : picture_type == 2 ? "gif" : "bmp";
        case Category::kBookmark:
            return "url";
        case Category::kAddress:
            return "vcf";
        case Category::kOutMail:
        case Category::kInMail:
            return "eml";
    }
    return {};
}

std::string ProposedExportName(const CategoryStoreBase& store, int key) {
    Namer namer;
    return WithItem(store, key, [&](const auto& item) { namer(item); }) ? namer.name : std::string();
}

bool ExportItem(const CategoryStoreBase& store, int key, std::string_view target) {
    Writer writer{target, store.GetCategory() == Category::kInMail};
    return WithItem(store, key, [&](const auto& item) { writer(item); }) && writer.ok;
}

}  // namespace sorvanto
