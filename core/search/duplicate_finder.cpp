#include "search/duplicate_finder.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_map>

#include "platform/fs.h"
#include "search/item_files.h"
#include "search/text_fold.h"
#include "store/address_entry_file.h"

namespace sorvanto {

namespace {

// Union-find over list positions.
class Sets {
public:
    explicit Sets(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), std::size_t{0}); }
    std::size_t Root(std::size_t i) {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void Join(std::size_t a, std::size_t b) {
        a = Root(a);
        b = Root(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);  // the earlier item leads
    }

private:
    std::vector<std::size_t> parent_;
};

// Joins every position that shares a value with the first position that had it.
template <class Value>
class Joiner {
public:
    explicit Joiner(Sets& sets) : sets_(sets) {}
    void Add(const Value& value, std::size_t position) {
        const auto [it, fresh] = first_.try_emplace(value, position);
        if (!fresh) sets_.Join(it->second, position);
    }

private:
    Sets& sets_;
    std::unordered_map<Value, std::size_t> first_;
};

// Groups of two or more from the sets, for the positions that took part.
std::vector<DuplicateGroup> Collect(Category c, Sets& sets, const std::vector<int>& keys,
                                    const std::vector<char>& took_part) {
    std::map<std::size_t, DuplicateGroup> by_root;  // ordered by the root, the group's first position
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!took_part[i]) continue;
        auto& g = by_root.try_emplace(sets.Root(i), DuplicateGroup{c, {}, {}}).first->second;
        g.keys.push_back(keys[i]);
        g.positions.push_back(static_cast<int>(i));
    }
    std::vector<DuplicateGroup> groups;
    for (auto& [root, g] : by_root)
        if (g.keys.size() > 1) groups.push_back(std::move(g));
    return groups;
}

// Groups by a whole-value identity: the items whose identity is the same, among those that
// have one.
template <class Store, class IdentityOf>
std::vector<DuplicateGroup> ByIdentity(const Store& store, IdentityOf identity_of) {
    const std::vector<int> keys = store.Keys();
    Sets sets(keys.size());
    std::vector<char> took_part(keys.size(), 0);
    Joiner<std::string> joiner(sets);
    std::size_t i = 0;
    store.Items().ForEach([&](const auto& node) {
        if (const std::optional<std::string> id = identity_of(*node.data)) {
            took_part[i] = 1;
            joiner.Add(*id, i);
        }
        ++i;
    });
    return Collect(store.GetCategory(), sets, keys, took_part);
}

// Data files compared on their bytes: only files of equal size are read.
template <class Store>
std::vector<DuplicateGroup> BySameBytes(const Store& store) {
    std::unordered_map<std::int64_t, int> sizes;
    std::vector<std::int64_t> size_of;
    store.Items().ForEach([&](const auto& node) {
        const std::int64_t size = fs::FileSize(node.data->path);
        size_of.push_back(size);
        if (size >= 0) ++sizes[size];
    });
    std::size_t i = 0;
    return ByIdentity(store, [&](const auto& item) -> std::optional<std::string> {
        const std::int64_t size = size_of[i++];
        if (size < 0 || sizes[size] < 2) return std::nullopt;
        return fs::ReadFile(item.path);
    });
}

}  // namespace

std::vector<DuplicateGroup> DuplicateFinder::Addresses(const AddressStore& store) {
    const std::vector<int> keys = store.Keys();
    Sets sets(keys.size());
    std::vector<char> took_part(keys.size(), 0);
    Joiner<text_fold::Folded> names(sets), mails(sets);
    Joiner<std::string> numbers(sets);
    std::size_t i = 0;
    store.Items().ForEach([&](const auto& node) {
        const std::size_t at = i++;
        const auto entry = ReadAddressEntry(node.data->path);
        if (!entry) return;
        took_part[at] = 1;
        text_fold::Folded name = text_fold::Fold(entry->name);
        const text_fold::Folded kana = text_fold::Fold(entry->kana);
        if (!name.empty() || !kana.empty()) {
            name.push_back(text_fold::kFieldBreak);
            names.Add(name + kana, at);
        }
        for (const std::string& tel : entry->tels) {
            const std::string digits = text_fold::PhoneDigits(NumberOf(tel));
            if (!digits.empty()) numbers.Add(digits, at);
        }
        for (const std::string& mail : entry->mails) {
            const text_fold::Folded address = text_fold::Fold(NumberOf(mail));
            if (!address.empty()) mails.Add(address, at);
        }
    });
    return Collect(Category::kAddress, sets, keys, took_part);
}

std::vector<DuplicateGroup> DuplicateFinder::Mails(const MailStore& store) {
    return ByIdentity(store, [](const MailItem& m) -> std::optional<std::string> {
        // The body as stored, not the part the record holds: two long mails may differ late.
        const auto body = MailFileBody(m.path);
        if (!body) return std::nullopt;
        std::string id = std::to_string(m.status) + '\x1F' + m.from_or_to + '\x1F' + m.subject + '\x1F' +
                         std::to_string(m.mail_date) + '\x1F' + std::to_string(m.attachment) + '\x1F';
        return id + *body;
    });
}

std::vector<DuplicateGroup> DuplicateFinder::Bookmarks(const BookmarkStore& store) {
    return ByIdentity(store, [](const BookmarkItem& b) -> std::optional<std::string> {
        if (b.url.empty()) return std::nullopt;
        return b.url;
    });
}

std::vector<DuplicateGroup> DuplicateFinder::Melodies(const MelodyStore& store) { return BySameBytes(store); }
std::vector<DuplicateGroup> DuplicateFinder::Pictures(const PictureStore& store) { return BySameBytes(store); }

std::vector<DuplicateGroup> DuplicateFinder::Find(const StoreRefs& stores, std::optional<Category> only) {
    std::vector<DuplicateGroup> all;
    for (Category c : kAllCategories) {
        if (only && *only != c) continue;
        std::vector<DuplicateGroup> groups;
        switch (c) {
        case Category::kMelody:
            if (stores.melody) groups = Melodies(*stores.melody);
            break;
        case Category::kPicture:
            if (stores.picture) groups = Pictures(*stores.picture);
            break;
        case Category::kBookmark:
            if (stores.bookmark) groups = Bookmarks(*stores.bookmark);
            break;
        case Category::kOutMail:
            if (stores.out_mail) groups = Mails(*stores.out_mail);
            break;
        case Category::kInMail:
            if (stores.in_mail) groups = Mails(*stores.in_mail);
            break;
        case Category::kAddress:
            if (stores.address) groups = Addresses(*stores.address);
            break;
        case Category::kMyPic:
            if (stores.my_pic) groups = Pictures(*stores.my_pic);
            break;
        }
        for (auto& g : groups) all.push_back(std::move(g));
    }
    return all;
}

}  // namespace sorvanto
