#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/store_refs.h"
#include "search/text_fold.h"

namespace sorvanto {

// One item that matched: its category, its record's key (the list row's user value) and its
// position in the item list (what `send` and `export` take).
struct SearchHit {
    Category category;
    int key;
    int position;
};

// The search over every category. It folds each item's searchable texts once (titles,
// comments, names, kana readings, every number and mail address of an address entry, its
// memo and address, mail addresses, subjects, bodies, bookmark URLs) into one buffer per
// category and looks for the folded search text in it; phone-like search texts also match
// the numbers on their digits. A category is folded again only when its store changed (its
// revision moved), so every keystroke after the first costs the scan alone.
class SearchIndex {
public:
    SearchIndex() = default;
    explicit SearchIndex(const StoreRefs& stores) { SetStores(stores); }

    // The stores to search; a store that is replaced or reloaded is folded again.
    void SetStores(const StoreRefs& stores) { stores_ = stores; }

    // The matches of a Shift_JIS search text, category by category in tab order and in list
    // order within one; only those of `only` when given. A text that folds to nothing (empty,
    // blanks alone) matches nothing.
    std::vector<SearchHit> Find(std::string_view sjis_text, std::optional<Category> only = std::nullopt);

    // Whether the item of a key matches as Find would have found it, folding that item alone
    // (a row that arrives while a search is shown costs its own fields, not its category's).
    // False when the category has no store or no item has the key.
    bool Matches(std::string_view sjis_text, Category c, int key) const;

    // Folds every category whose store changed since (the first keystroke's work).
    void Refresh();

private:
    struct Part {
        const CategoryStoreBase* store = nullptr;
        std::uint64_t revision = 0;
        text_fold::Folded text;           // every item's fields, kFieldBreak between, kItemBreak after
        std::vector<std::uint32_t> starts;  // where each item's text starts
        std::string digits;               // every item's phone digits, 'x' between
        std::vector<std::uint32_t> digit_starts;
        std::vector<int> keys;            // in list order
        std::size_t longest = 0;          // the longest field, in units
    };

    void Refresh(Category c, Part& part);
    void Build(Category c, Part& part);

    StoreRefs stores_;
    std::array<Part, 7> parts_;
};

}  // namespace sorvanto
