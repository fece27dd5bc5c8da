// sorvanto-cli search TEXT [--category C]: the items whose texts match, folded the Japanese
// way; one line per item: category, list position (as `send` takes it), the row's texts.
// sorvanto-cli duplicates [--category C]: the groups of items that are the same.
#include "command.h"
#include "search/category_names.h"
#include "search/duplicate_finder.h"
#include "search/search_index.h"
#include "search/search_text.h"
#include "search/store_rows.h"

namespace sorvanto::cli {
namespace {

constexpr const char* kCategories = "melody|picture|bookmark|outmail|inmail|address|mypic";

std::string Cell(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return text;
}

std::string Line(std::string prefix, CategoryStores& stores, Category c, int key, int position) {
    prefix += std::string(CategoryName(c)) + "\t" + std::to_string(position);
    for (const std::string& text : RowTextsOf(StoreRefs::Of(stores), c, key)) prefix += "\t" + Cell(text);
    return prefix;
}

// "--category C" taken off the arguments; false (and a message) for an unknown name.
bool TakeCategory(std::vector<std::string>& args, std::optional<Category>& only, bool& ok) {
    std::string name;
    if (!TakeOption(args, "--category", name, ok)) return ok;
    only = CategoryOfName(name);
    if (!only) {
        PrintError("unknown category: " + name);
        ok = false;
    }
    return ok;
}

// Reading only: nothing is written back, so a search never changes the store.
bool LoadStores(CategoryStores& stores, std::optional<Category> only) {
    for (Category c : kAllCategories) {
        if (only && *only != c) continue;
        if (!stores.Of(c).Load()) {
            PrintError("cannot read " + stores.Of(c).IndexPath());
            return false;
        }
    }
    return true;
}

int Search(const GlobalOptions&, std::vector<std::string>& args) {
    bool ok = true;
    std::optional<Category> only;
    TakeCategory(args, only, ok);
    if (!ok || args.size() != 1) {
        PrintError(std::string("usage: search TEXT [--category ") + kCategories + "]");
        return kUsage;
    }
    const auto text = SearchTextFromUtf8(args[0]);
    if (!text) {
        PrintError("the search text holds characters that Shift_JIS cannot hold, so no item can match it");
        return kFailure;
    }
    if (text_fold::Fold(*text).empty()) {
        PrintError("empty search text");
        return kUsage;
    }
    CategoryStores stores;
    if (!LoadStores(stores, only)) return kFailure;
    SearchIndex index(StoreRefs::Of(stores));
    for (const SearchHit& hit : index.Find(*text, only))
        PrintLine(Line("", stores, hit.category, hit.key, hit.position));
    return kOk;
}

int Duplicates(const GlobalOptions&, std::vector<std::string>& args) {
    bool ok = true;
    std::optional<Category> only;
    TakeCategory(args, only, ok);
    if (!ok || !args.empty()) {
        PrintError(std::string("usage: duplicates [--category ") + kCategories + "]");
        return kUsage;
    }
    CategoryStores stores;
    if (!LoadStores(stores, only)) return kFailure;
    const auto groups = DuplicateFinder::Find(StoreRefs::Of(stores), only);
    int number = 0;
    for (const DuplicateGroup& group : groups) {
        ++number;
        for (std::size_t i = 0; i < group.keys.size(); ++i)
            PrintLine(Line(std::to_string(number) + "\t", stores, group.category, group.keys[i],
                           group.positions[i]));
    }
    return kOk;
}

Registrar search_command({"search", "search TEXT [--category C]       the items whose texts match TEXT", Search});
Registrar duplicates_command({"duplicates", "duplicates [--category C]        groups of items that are the same",
                              Duplicates});

}  // namespace
}  // namespace sorvanto::cli
