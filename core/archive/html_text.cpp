#include "archive/html_text.h"

namespace sorvanto::html_text {

std::string Escaped(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    for (char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
                if (c == 0x7F) break;
                out += c;
        }
    }
    return out;
}

bool IsWebUrl(std::string_view url) {
    std::string head;
    for (std::size_t i = 0; i < url.size() && i < 8; ++i)
        head.push_back(static_cast<char>(url[i] >= 'A' && url[i] <= 'Z' ? url[i] - 'A' + 'a' : url[i]));
    const bool scheme = head.rfind("http://", 0) == 0 || head.rfind("https://", 0) == 0;
    if (!scheme) return false;
    // Blanks, quotes and control characters have no place in a link a browser follows.
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == '"' || c == '\'' || c == '<' || c == '>' ||
            c == '\\' || c == 0x7F)
            return false;
    return true;
}

std::string RelativeHref(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace sorvanto::html_text
