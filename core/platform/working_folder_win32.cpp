#include "platform/working_folder.h"

#include <windows.h>

#include <vector>

namespace sorvanto {

std::filesystem::path ProgramFolder() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::filesystem::path(std::wstring(buf.data(), n)).parent_path();
        if (buf.size() >= 32768) return {};
        buf.resize(buf.size() * 2);
    }
}

std::filesystem::path DefaultWorkingFolder() {
    const std::filesystem::path folder = ProgramFolder();
    return folder.empty() ? std::filesystem::current_path() : folder;
}

}  // namespace sorvanto
