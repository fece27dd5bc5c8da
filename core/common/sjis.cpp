#include "common/sjis.h"

#include "platform/cp932.h"

namespace sorvanto::sjis {

std::string CutBytes(std::string_view text, std::size_t max_bytes) {
    if (text.size() <= max_bytes) return std::string(text);  // nothing to cut, no character to split
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + width > max_bytes) break;
        i += width;
    }
    return std::string(text.substr(0, i));
}

std::size_t CharCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++n)
        i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    return n;
}

std::string ToUtf8(std::string_view text) { return cp932::ToUtf8(text); }

std::optional<std::string> FromUtf8(std::string_view text) { return cp932::FromUtf8(text); }

std::string Lit(std::string_view utf8) {
    auto converted = FromUtf8(utf8);
    return converted ? *converted : std::string(utf8);
}

}  // namespace sorvanto::sjis
