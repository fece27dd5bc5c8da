// sorvanto-cli list CATEGORY [--numbered]: the rows of a category's list, one line per item in
// list order, the columns separated by tabs as the list window shows them; numbered, each row
// starts with its list position, the number send and export take.
#include "command.h"
#include "store/category_stores.h"
#include "store/row_texts.h"

namespace sorvanto::cli {
namespace {

// A cell on one line: a mail body's line ends and tabs would break the table.
std::string Cell(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return text;
}

// Column texts joined by tabs: an empty first column still gets its tab.
template <class Store>
void PrintTable(const Store& store, bool numbered) {
    int position = 0;
    store.Items().ForEach([&](const auto& node) {
        const auto texts = RowTexts(*node.data);
        std::string line = numbered ? std::to_string(position++) + "\t" : std::string();
        for (std::size_t i = 0; i < texts.size(); ++i) line += (i ? "\t" : "") + Cell(texts[i]);
        PrintLine(line);
    });
}

int List(const GlobalOptions&, std::vector<std::string>& args) {
    const bool numbered = TakeFlag(args, "--numbered");
    if (args.size() != 1) return kUsage;
    const std::string& what = args[0];
    CategoryStores stores;
    auto load = [](CategoryStoreBase& s) {
        if (s.Load()) return true;
        PrintError("cannot read " + s.IndexPath());
        return false;
    };
    // Reading only: nothing is written back, so listing never changes the store.
    if (what == "melody") return load(stores.melody) ? (PrintTable(stores.melody, numbered), kOk) : kFailure;
    if (what == "picture") return load(stores.picture) ? (PrintTable(stores.picture, numbered), kOk) : kFailure;
    if (what == "bookmark") return load(stores.bookmark) ? (PrintTable(stores.bookmark, numbered), kOk) : kFailure;
    if (what == "outmail") return load(stores.out_mail) ? (PrintTable(stores.out_mail, numbered), kOk) : kFailure;
    if (what == "inmail") return load(stores.in_mail) ? (PrintTable(stores.in_mail, numbered), kOk) : kFailure;
    if (what == "address") return load(stores.address) ? (PrintTable(stores.address, numbered), kOk) : kFailure;
    if (what == "mypic") return load(stores.my_pic) ? (PrintTable(stores.my_pic, numbered), kOk) : kFailure;
    PrintError("unknown category: " + what);
    return kUsage;
}

Registrar list_command({"list",
                        "list melody|picture|bookmark|outmail|inmail|address|mypic [--numbered]\n"
                        "                              the rows of a list, tab separated; --numbered starts each\n"
                        "                              with its 0-based list position, as send and export take it",
                        List});

}  // namespace
}  // namespace sorvanto::cli
