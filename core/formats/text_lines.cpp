#include "formats/text_lines.h"

#include <algorithm>

namespace sorvanto {

bool TextLines::ReadLine(std::string& line, std::size_t buffer_size) {
    line.clear();
    if (buffer_size < 2 || AtEnd()) return false;
    const std::size_t room = std::min(buffer_size - 1, text_.size() - pos_);
    const std::size_t lf = text_.substr(pos_, room).find('\n');
    const std::size_t take = lf == std::string_view::npos ? room : lf + 1;
    line.assign(text_.substr(pos_, take));
    pos_ += take;
    return true;
}

std::string TextLines::Read(std::size_t max_bytes) {
    const std::size_t take = std::min(max_bytes, text_.size() - std::min(pos_, text_.size()));
    std::string out(text_.substr(pos_, take));
    pos_ += take;
    return out;
}

std::string TextLines::FromTextMode(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        out.push_back(raw[i]);
    }
    return out;
}

std::string TextLines::ToTextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

}  // namespace sorvanto
