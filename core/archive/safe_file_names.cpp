#include "archive/safe_file_names.h"

#include <array>

#include "pictograph/pictograph_text.h"

namespace sorvanto {

namespace {

std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsReservedDeviceName(std::string_view stem) {
    // Windows refuses these whatever the extension ("con.txt" too).
    const std::string base = Folded(stem.substr(0, stem.find('.')));
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    for (auto r : kPlain)
        if (base == r) return true;
    if (base.size() == 4 && (base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) && base[3] >= '0' &&
        base[3] <= '9')
        return true;
    return false;
}

}  // namespace

std::string SafeFileNames::Clean(std::string_view utf8_stem, std::string_view fallback) {
    const std::u32string points = pictograph_text::DecodeUtf8(utf8_stem);
    std::string out;
    for (char32_t p : points) {
        std::string piece;
        if (p < 0x20 || p == 0x7F || (p >= 0x80 && p < 0xA0))
            piece = " ";
        else if (std::u32string_view(U"<>:\"/\\|?*").find(p) != std::u32string_view::npos)
            piece = "_";
        else if (p == 0xFFFD || (p >= 0xFE00 && p <= 0xFE0F))
            continue;  // nothing worth keeping
        else
            pictograph_text::AppendUtf8(piece, p);
        if (out.size() + piece.size() > kMaxStemBytes) break;  // never half a character
        out += piece;
    }
    // Leading dots would hide the file (and ".." names a folder); trailing dots and blanks
    // Windows drops silently, which would merge two names.
    const std::size_t first = out.find_first_not_of(". ");
    out = first == std::string::npos ? std::string() : out.substr(first);
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    if (out.empty()) out = std::string(fallback);
    if (IsReservedDeviceName(out)) out = "_" + out;
    return out;
}

std::string SafeFileNames::Take(std::string_view utf8_stem, std::string_view ext, std::string_view fallback) {
    const std::string stem = Clean(utf8_stem, fallback);
    const std::string dot_ext = ext.empty() ? std::string() : "." + std::string(ext);
    std::string name = stem + dot_ext;
    for (int n = 2; !taken_.insert(Folded(name)).second; ++n)
        name = stem + " (" + std::to_string(n) + ")" + dot_ext;
    return name;
}

void SafeFileNames::Reserve(std::string_view name) {
    taken_.insert(Folded(name));
}

}  // namespace sorvanto
