#include "search/duplicate_tidy.h"

#include <cstdio>
#include <vector>

#include "common/time_text.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "search/category_names.h"
#include "store/exports.h"
#include "store/store_texts.h"

namespace sorvanto {

namespace {

const char* PictureExtension(int type) { return type == 1 ? ".jpg" : type == 2 ? ".gif" : ".bmp"; }

// The export of one item into target (without extension); the file written, or nullopt.
std::optional<std::string> ExportOne(const StoreRefs& s, Category c, int key, const std::string& base) {
    auto done = [](bool ok, std::string path) { return ok ? std::optional(std::move(path)) : std::nullopt; };
    switch (c) {
    case Category::kMelody:
        if (const MelodyItem* m = s.melody ? s.melody->Find(key) : nullptr)
            return done(ExportDataFile(m->path, base + ".mld"), base + ".mld");
        break;
    case Category::kPicture:
    case Category::kMyPic: {
        const PictureStore* store = c == Category::kPicture ? s.picture : s.my_pic;
        if (const PictureItem* p = store ? store->Find(key) : nullptr) {
            const std::string target = base + PictureExtension(p->type);
            return done(ExportDataFile(p->path, target), target);
        }
        break;
    }
    case Category::kBookmark:
        if (const BookmarkItem* b = s.bookmark ? s.bookmark->Find(key) : nullptr)
            return done(WriteInternetShortcut(b->url, base + ".url"), base + ".url");
        break;
    case Category::kOutMail:
    case Category::kInMail: {
        const MailStore* store = c == Category::kInMail ? s.in_mail : s.out_mail;
        if (const MailItem* m = store ? store->Find(key) : nullptr)
            return done(ExportMailFile(*m, c == Category::kInMail, base + ".eml"), base + ".eml");
        break;
    }
    case Category::kAddress:
        // The vCard carries every number and address only when the entry file can be read.
        if (const AddressItem* a = s.address ? s.address->Find(key) : nullptr)
            if (ReadAddressEntry(a->path)) return done(ExportVCard(*a, base + ".vcf"), base + ".vcf");
        break;
    }
    return std::nullopt;
}

template <class Store>
bool DeleteAll(Store* store, const std::vector<int>& keys) {
    if (!store) return false;
    bool ok = true;
    for (int key : keys) ok = store->Delete(key) && ok;
    return ok;
}

}  // namespace

std::string DuplicateTidy::NewBackupFolder(std::int64_t now) {
    std::tm t{};
    if (!LocalTime(now, t)) t = std::tm{};
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    std::string folder = std::string("Backup\\") + stamp;
    for (int n = 2; fs::Exists(folder); ++n) folder = std::string("Backup\\") + stamp + "-" + std::to_string(n);
    return folder + "\\";
}

bool DuplicateTidy::Backup(const DuplicateGroup& group, const std::string& folder) {
    if (!fs::CreateFolder("Backup\\") || !fs::IsDirectory("Backup\\") || !fs::CreateFolder(folder) ||
        !fs::IsDirectory(folder))
        return false;
    std::vector<std::string> written;
    bool ok = true;
    for (std::size_t i = 0; i < group.keys.size() && ok; ++i) {
        char name[48];
        std::snprintf(name, sizeof name, "%s-%04d", std::string(CategoryName(group.category)).c_str(),
                      group.positions[i]);
        const auto file = ExportOne(stores_, group.category, group.keys[i], folder + name);
        if (file) written.push_back(*file);
        ok = file.has_value();
    }
    if (ok) return true;
    for (const std::string& file : written) fs::DeleteFile(file);
    fs::DeleteEmptyFolder(folder);
    return false;
}

DuplicateTidy::Outcome DuplicateTidy::Tidy(const DuplicateGroup& group, MergeLimits limits) {
    Outcome out;
    out.message = Texts().failure;
    CategoryStoreBase* base = stores_.Of(group.category);
    if (!base || group.keys.size() < 2 || group.keys.size() != group.positions.size()) return out;

    std::optional<AddressMergePlan> plan;
    if (group.category == Category::kAddress) {
        auto made = MakeAddressMergePlan(*stores_.address, group, limits);
        if (!made.plan) {
            out.message = made.refusal;
            return out;
        }
        plan = std::move(made.plan);
    }
    const std::string folder = NewBackupFolder(clock::Now());
    if (!Backup(group, folder)) return out;
    out.backup_folder = folder;

    const std::vector<int> extra(group.keys.begin() + 1, group.keys.end());
    BatchScope batch(*base);
    bool ok = false;
    switch (group.category) {
    case Category::kAddress:
        // The copies go only once the kept entry holds everything they had.
        ok = stores_.address->Rewrite(plan->keep_key, plan->merged) && DeleteAll(stores_.address, extra);
        break;
    case Category::kMelody: ok = DeleteAll(stores_.melody, extra); break;
    case Category::kPicture: ok = DeleteAll(stores_.picture, extra); break;
    case Category::kBookmark: ok = DeleteAll(stores_.bookmark, extra); break;
    case Category::kOutMail: ok = DeleteAll(stores_.out_mail, extra); break;
    case Category::kInMail: ok = DeleteAll(stores_.in_mail, extra); break;
    case Category::kMyPic: ok = DeleteAll(stores_.my_pic, extra); break;
    }
    out.ok = ok;
    if (ok) out.message.clear();
    return out;
}

}  // namespace sorvanto
