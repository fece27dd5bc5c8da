#include "platform/working_folder.h"

#include <cstdlib>

#include "platform/fs.h"

namespace sorvanto {

std::filesystem::path ResolveWorkingFolder(const std::optional<std::string>& explicit_home) {
    if (explicit_home && !explicit_home->empty())
        return std::filesystem::absolute(fs::Utf8Path(*explicit_home));
    if (const char* home = std::getenv("SORVANTO_HOME"); home && *home) return std::filesystem::absolute(home);
    return DefaultWorkingFolder();
}

bool EnterWorkingFolder(const std::filesystem::path& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec && !std::filesystem::is_directory(folder)) {
        if (error) *error = ec.message();
        return false;
    }
    std::filesystem::current_path(folder, ec);
    if (ec) {
        if (error) *error = ec.message();
        return false;
    }
    return true;
}

}  // namespace sorvanto
