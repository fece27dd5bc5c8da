#include "search/item_files.h"

#include "platform/fs.h"

namespace sorvanto {

std::string_view NumberOf(std::string_view stored) {
    const auto colon = stored.find(':');
    return colon == std::string_view::npos ? stored : stored.substr(colon + 1);
}

std::optional<std::string> MailFileBody(std::string_view stored_path) {
    auto bytes = fs::ReadFile(stored_path);
    if (!bytes) return std::nullopt;
    std::size_t at = 0;
    for (int line = 0; line < 5; ++line) {
        const auto lf = bytes->find('\n', at);
        if (lf == std::string::npos) return std::nullopt;
        at = lf + 1;
    }
    return bytes->substr(at);
}

}  // namespace sorvanto
