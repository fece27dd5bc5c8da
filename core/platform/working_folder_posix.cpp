#include "platform/working_folder.h"

#include <cstdlib>

namespace sorvanto {

std::filesystem::path DefaultWorkingFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "sorvanto";
    const char* user = std::getenv("HOME");
    return std::filesystem::path(user && *user ? user : ".") / ".local" / "share" / "sorvanto";
}

}  // namespace sorvanto
