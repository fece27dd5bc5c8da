#include "pictograph/pictograph_text.h"

#include "common/sjis.h"
#include "pictograph/emoji_map.h"

namespace sorvanto::pictograph_text {

void AppendUtf8(std::string& out, char32_t p) {
    if (p > 0x10FFFF || (p >= 0xD800 && p <= 0xDFFF)) p = 0xFFFD;
    if (p < 0x80) {
        out.push_back(static_cast<char>(p));
    } else if (p < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (p >> 6)));
        out.push_back(static_cast<char>(0x80 | (p & 0x3F)));
    } else if (p < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (p >> 12)));
        out.push_back(static_cast<char>(0x80 | ((p >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (p & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (p >> 18)));
        out.push_back(static_cast<char>(0x80 | ((p >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((p >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (p & 0x3F)));
    }
}

std::u32string DecodeUtf8(std::string_view s, bool* ok) {
    std::u32string out;
    out.reserve(s.size());
    bool good = true;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t p = 0;
        char32_t min = 0;
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1, p = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2, p = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3, p = c & 0x07, min = 0x10000;
        } else {
            good = false;
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k <= n && i + k < s.size(); ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) break;
            p = (p << 6) | (d & 0x3F);
        }
        if (k <= n || p < min || p > 0x10FFFF || (p >= 0xD800 && p <= 0xDFFF)) {
            good = false;
            out.push_back(0xFFFD);
            i += k;  // the lead byte and the continuation bytes that belonged to it
            continue;
        }
        out.push_back(p);
        i += n + 1;
    }
    if (ok) *ok = good;
    return out;
}

std::string ToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    std::size_t run_start = 0;
    std::size_t i = 0;
    auto flush = [&](std::size_t end) {
        if (end > run_start) out += sjis::ToUtf8(sjis.substr(run_start, end - run_start));
    };
    while (i < sjis.size()) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        if (!sjis::IsLeadByte(lead) || i + 1 >= sjis.size()) {
            ++i;
            continue;
        }
        const auto code = static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(sjis[i + 1]));
        const std::u32string_view emoji = EmojiMap::EmojiOf(code);
        if (!emoji.empty()) {
            flush(i);
            for (char32_t p : emoji) AppendUtf8(out, p);
            run_start = i + 2;
        }
        i += 2;
    }
    flush(sjis.size());
    return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    bool ok = true;
    const std::u32string points = DecodeUtf8(utf8, &ok);
    if (!ok) return std::nullopt;
    std::string out;
    std::string run;  // UTF-8 of the characters between pictographs
    auto flush = [&]() {
        if (run.empty()) return true;
        const auto bytes = sjis::FromUtf8(run);
        if (!bytes) return false;
        out += *bytes;
        run.clear();
        return true;
    };
    for (std::size_t i = 0; i < points.size();) {
        if (const auto match = EmojiMap::MatchAt(std::u32string_view(points).substr(i))) {
            if (!flush()) return std::nullopt;
            out.push_back(static_cast<char>(match->code >> 8));
            out.push_back(static_cast<char>(match->code & 0xFF));
            i += match->length;
            continue;
        }
        if (points[i] != 0xFE0E && points[i] != 0xFE0F) AppendUtf8(run, points[i]);
        ++i;
    }
    if (!flush()) return std::nullopt;
    return out;
}

std::vector<EmojiSpan> EmojiSpans(std::u32string_view points) {
    std::vector<EmojiSpan> spans;
    for (std::size_t i = 0; i < points.size();) {
        const auto match = EmojiMap::MatchAt(points.substr(i));
        if (!match) {
            ++i;
            continue;
        }
        if (!EmojiMap::IsStandIn(match->code)) spans.push_back({i, match->length});
        i += match->length;
    }
    return spans;
}

}  // namespace sorvanto::pictograph_text
