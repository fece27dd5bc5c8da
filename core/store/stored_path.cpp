#include "store/stored_path.h"

namespace sorvanto {

bool IsInsideWorkingFolder(std::string_view p) {
    if (p.empty()) return true;
    if (p.front() == '\\' || p.front() == '/') return false;
    if (p.find(':') != std::string_view::npos) return false;  // "C:\x", "C:x", streams
    std::size_t start = 0;
    while (start <= p.size()) {
        std::size_t end = p.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = p.size();
        if (p.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace sorvanto
