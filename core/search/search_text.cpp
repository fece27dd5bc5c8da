#include "search/search_text.h"

#include "common/sjis.h"
#include "pictograph/emoji_map.h"

namespace sorvanto {

namespace {

// UTF-8 to code points; nullopt for a malformed sequence.
std::optional<std::u32string> Decode(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) return std::nullopt;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80) return std::nullopt;
            c = c << 6 | (t & 0x3F);
        }
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::optional<std::string> SearchTextFromUtf8(std::string_view utf8) {
    const auto points = Decode(utf8);
    if (!points) return std::nullopt;
    std::string out, run;
    auto flush = [&] {
        if (run.empty()) return true;
        const auto bytes = sjis::FromUtf8(run);
        if (!bytes) return false;
        out += *bytes;
        run.clear();
        return true;
    };
    for (std::size_t i = 0; i < points->size();) {
        if (const auto match = EmojiMap::MatchAt(std::u32string_view(*points).substr(i))) {
            if (!flush()) return std::nullopt;
            out += static_cast<char>(match->code >> 8);
            out += static_cast<char>(match->code & 0xFF);
            i += match->length;
            continue;
        }
        const char32_t c = (*points)[i++];
        if (c != 0xFE0E && c != 0xFE0F) Encode(c, run);
    }
    if (!flush()) return std::nullopt;
    return out;
}

}  // namespace sorvanto
