// A category's index file and the data file its first item names, as the store loads them at
// start: the first byte picks the category, the rest is split at the first NUL into the
// index and the data file "Data\F".
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/fs.h"
#include "store/category_stores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool home = [] {
        const auto dir = std::filesystem::temp_directory_path() / "sorvanto-fuzz-store-index";
        std::filesystem::create_directories(dir / "Data");
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)home;
    if (size == 0) return 0;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = rest.find('\0');
    sorvanto::CategoryStores stores;
    auto& store = stores.Of(static_cast<sorvanto::Category>(data[0] % 7));
    sorvanto::fs::WriteFile(store.IndexPath(), rest.substr(0, cut));
    sorvanto::fs::WriteFile("Data\\F", cut == std::string::npos ? std::string() : rest.substr(cut + 1));
    store.Load();
    store.WriteBack();
    return 0;
}
