#include "search/search_index.h"

#include <algorithm>

#include "search/item_files.h"
#include "store/address_entry_file.h"

namespace sorvanto {

namespace {

// Collects one item's fields into a part's buffers.
class ItemWriter {
public:
    ItemWriter(text_fold::Folded& text, std::string& digits, std::size_t& longest)
        : text_(text), digits_(digits), longest_(longest) {}

    void Field(std::string_view sjis) {
        if (sjis.empty()) return;
        const std::size_t before = text_.size();
        text_fold::FoldAppend(sjis, text_);
        longest_ = std::max(longest_, text_.size() - before);
        text_.push_back(text_fold::kFieldBreak);
    }
    void Number(std::string_view stored) {
        const std::string_view number = NumberOf(stored);
        Field(number);
        const std::string d = text_fold::PhoneDigits(number);
        if (!d.empty()) digits_ += d + 'x';
    }

private:
    text_fold::Folded& text_;
    std::string& digits_;
    std::size_t& longest_;
};

// Each item in list order: f(position, key, item).
template <class Store, class F>
void EachItem(const Store& store, F f) {
    int position = 0;
    store.Items().ForEach([&](const auto& node) { f(position++, node.key, *node.data); });
}

void Fields(ItemWriter& w, const MelodyItem& m) {
    w.Field(m.title);
    w.Field(m.comment);
}
void Fields(ItemWriter& w, const PictureItem& p) {
    w.Field(p.title);
    w.Field(p.comment);
}
void Fields(ItemWriter& w, const BookmarkItem& b) {
    w.Field(b.title);
    w.Field(b.url);
    w.Field(b.comment);
}
void Fields(ItemWriter& w, const MailItem& m) {
    w.Field(m.from_or_to);
    w.Field(m.subject);
    w.Field(m.body);
}
void Fields(ItemWriter& w, const AddressItem& a) {
    w.Field(a.name);
    w.Field(a.kana);
    w.Field(a.memo);
    // Every number and address of the entry, not only the last ones the row shows. An entry
    // file gone unreadable since the load still has the record's texts.
    if (const auto entry = ReadAddressEntry(a.path)) {
        for (const std::string& tel : entry->tels) w.Number(tel);
        for (const std::string& mail : entry->mails) w.Field(NumberOf(mail));
        w.Field(entry->adr);
    } else {
        w.Number(a.phone);
        w.Field(a.mail);
    }
}

template <class Store>
void Fill(const Store& store, text_fold::Folded& text, std::vector<std::uint32_t>& starts, std::string& digits,
          std::vector<std::uint32_t>& digit_starts, std::vector<int>& keys, std::size_t& longest) {
    ItemWriter w(text, digits, longest);
    EachItem(store, [&](int, int key, const auto& item) {
        starts.push_back(static_cast<std::uint32_t>(text.size()));
        digit_starts.push_back(static_cast<std::uint32_t>(digits.size()));
        keys.push_back(key);
        Fields(w, item);
        text.push_back(text_fold::kItemBreak);
    });
}

// The items (indices into starts) whose text holds the needle, each once.
template <class Text>
void Scan(const Text& hay, const Text& needle, const std::vector<std::uint32_t>& starts, std::vector<char>& hit) {
    if (needle.empty() || starts.empty()) return;
    std::size_t pos = 0;
    while ((pos = hay.find(needle, pos)) != Text::npos) {
        const auto it = std::upper_bound(starts.begin(), starts.end(), static_cast<std::uint32_t>(pos));
        if (it == starts.begin()) break;
        const std::size_t item = static_cast<std::size_t>(it - starts.begin()) - 1;
        if (item >= hit.size()) break;
        hit[item] = 1;
        if (item + 1 >= starts.size()) break;
        pos = starts[item + 1];  // the rest of this item cannot add anything
    }
}

// What an item's folded text is searched for: the folded search text, and its digits when it
// reads as a phone number.
struct Needle {
    text_fold::Folded text;
    std::string digits;
    explicit Needle(std::string_view sjis)
        : text(text_fold::Fold(sjis)),
          digits(text_fold::LooksLikePhoneNumber(sjis) ? text_fold::PhoneDigits(sjis) : "") {}
};

template <class Store>
bool ItemMatches(const Store* store, int key, const Needle& needle) {
    const auto* item = store ? store->Find(key) : nullptr;
    if (!item) return false;
    text_fold::Folded text;
    std::string digits;
    std::size_t longest = 0;
    ItemWriter w(text, digits, longest);
    Fields(w, *item);
    const std::vector<std::uint32_t> starts{0};
    std::vector<char> hit(1, 0);
    Scan(text, needle.text, starts, hit);
    Scan(digits, needle.digits, starts, hit);
    return hit[0] != 0;
}

}  // namespace

void SearchIndex::Refresh() {
    for (std::size_t i = 0; i < parts_.size(); ++i) Refresh(kAllCategories[i], parts_[i]);
}

void SearchIndex::Refresh(Category c, Part& part) {
    const CategoryStoreBase* store = stores_.Of(c);
    if (store == part.store && (!store || store->Revision() == part.revision)) return;
    Build(c, part);
}

void SearchIndex::Build(Category c, Part& part) {
    part = Part{};
    part.store = stores_.Of(c);
    if (!part.store) return;
    part.revision = part.store->Revision();
    auto fill = [&](const auto* store) {
        if (store)
            Fill(*store, part.text, part.starts, part.digits, part.digit_starts, part.keys, part.longest);
    };
    switch (c) {
    case Category::kMelody: fill(stores_.melody); break;
    case Category::kPicture: fill(stores_.picture); break;
    case Category::kBookmark: fill(stores_.bookmark); break;
    case Category::kOutMail: fill(stores_.out_mail); break;
    case Category::kInMail: fill(stores_.in_mail); break;
    case Category::kAddress: fill(stores_.address); break;
    case Category::kMyPic: fill(stores_.my_pic); break;
    }
}

std::vector<SearchHit> SearchIndex::Find(std::string_view sjis_text, std::optional<Category> only) {
    std::vector<SearchHit> hits;
    const Needle needle(sjis_text);
    if (needle.text.empty()) return hits;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const Category c = kAllCategories[i];
        if (only && *only != c) continue;
        Part& part = parts_[i];
        Refresh(c, part);
        std::vector<char> hit(part.keys.size(), 0);
        // Nothing longer than the longest field can match (a 10,000-character text costs nothing).
        if (needle.text.size() <= part.longest) Scan(part.text, needle.text, part.starts, hit);
        Scan(part.digits, needle.digits, part.digit_starts, hit);
        for (std::size_t k = 0; k < hit.size(); ++k)
            if (hit[k]) hits.push_back({c, part.keys[k], static_cast<int>(k)});
    }
    return hits;
}

bool SearchIndex::Matches(std::string_view sjis_text, Category c, int key) const {
    const Needle needle(sjis_text);
    if (needle.text.empty()) return false;
    switch (c) {
    case Category::kMelody: return ItemMatches(stores_.melody, key, needle);
    case Category::kPicture: return ItemMatches(stores_.picture, key, needle);
    case Category::kBookmark: return ItemMatches(stores_.bookmark, key, needle);
    case Category::kOutMail: return ItemMatches(stores_.out_mail, key, needle);
    case Category::kInMail: return ItemMatches(stores_.in_mail, key, needle);
    case Category::kAddress: return ItemMatches(stores_.address, key, needle);
    case Category::kMyPic: return ItemMatches(stores_.my_pic, key, needle);
    }
    return false;
}

}  // namespace sorvanto
