// sorvanto-cli export CATEGORY INDEX... [FILE]: the PC file the list window's "保存" writes for
// each item (list positions), under FILE or the name the save dialog proposes.
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>

#include "command.h"
#include "pictograph/pictograph_text.h"
#include "platform/fs.h"
#include "store/category_stores.h"
#include "store/item_export.h"

namespace sorvanto::cli {
namespace {

namespace stdfs = std::filesystem;

std::optional<Category> CategoryOf(const std::string& name) {
    static const std::pair<const char*, Category> kNames[] = {
        {"melody", Category::kMelody},   {"picture", Category::kPicture}, {"bookmark", Category::kBookmark},
        {"outmail", Category::kOutMail}, {"inmail", Category::kInMail},   {"address", Category::kAddress},
        {"mypic", Category::kMyPic}};
    for (const auto& [n, c] : kNames)
        if (name == n) return c;
    return std::nullopt;
}

// "3" or "0,2": list positions; nullopt when the text is no such list.
std::optional<std::vector<int>> Positions(const std::string& text) {
    std::vector<int> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        out.push_back(std::stoi(part));
        start = comma + 1;
    }
    return out;
}

// The proposed name in the folder the tool was started from (or in folder), made unique among
// the files of this run: the save dialog would ask before replacing, the tool does not.
std::string ProposedTarget(const std::string& proposed, const std::string& folder,
                           std::set<std::string>& used) {
    const stdfs::path p = fs::Utf8Path(proposed);
    const std::string stem = p.stem().string();
    const std::string ext = p.extension().string();
    std::string name = proposed;
    for (int n = 2; used.count(name); ++n) name = stem + " (" + std::to_string(n) + ")" + ext;
    used.insert(name);
    return folder.empty() ? UserPath(name) : (fs::Utf8Path(folder) / fs::Utf8Path(name)).string();
}

int Export(const GlobalOptions&, std::vector<std::string>& args) {
    if (args.size() < 2) return kUsage;
    const auto category = CategoryOf(args[0]);
    if (!category) {
        PrintError("unknown category: " + args[0]);
        return kUsage;
    }
    std::vector<int> positions;
    std::string file;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (auto p = Positions(args[i])) {
            positions.insert(positions.end(), p->begin(), p->end());
        } else if (i + 1 == args.size() && i > 1) {
            file = UserPath(args[i]);
        } else {
            PrintError("not a list position: " + args[i]);
            return kUsage;
        }
    }
    const bool into_folder = !file.empty() && fs::IsDirectory(file);
    if (positions.size() > 1 && !file.empty() && !into_folder) {
        PrintError("several items need a folder, not a file: " + file);
        return kUsage;
    }
    CategoryStores stores;
    CategoryStoreBase& store = stores.Of(*category);
    store.SetReadOnly(true);  // exporting never changes the store
    if (!store.Load()) {
        PrintError("cannot read " + store.IndexPath());
        return kFailure;
    }
    int rc = kOk;
    std::set<std::string> used;
    for (int position : positions) {
        if (position < 0 || position >= store.Count()) {
            PrintError("no item at position " + std::to_string(position));
            rc = kFailure;
            continue;
        }
        const int key = store.KeyAt(position);
        std::string proposed = pictograph_text::ToUtf8(ProposedExportName(store, key));
        if (proposed.empty() || proposed[0] == '.') proposed = args[0] + std::to_string(position) + proposed;
        const std::string target =
            (file.empty() || into_folder) ? ProposedTarget(proposed, into_folder ? file : "", used) : file;
        if (!ExportItem(store, key, target)) {
            PrintError("cannot write " + target);
            rc = kFailure;
            continue;
        }
        std::cout << target << '\n';
    }
    return rc;
}

Registrar export_command({"export",
                          "export CATEGORY INDEX... [FILE]     write items as the list window's 保存 does",
                          Export});

}  // namespace
}  // namespace sorvanto::cli
