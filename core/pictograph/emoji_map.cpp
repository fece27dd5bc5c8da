#include "pictograph/emoji_map.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "pictograph/emoji_table.h"

namespace sorvanto {

namespace {

using pictograph::EmojiTableEntry;

bool IsVariationSelector(char32_t c) { return c == 0xFE0E || c == 0xFE0F; }

const EmojiTableEntry* Find(std::uint16_t code) {
    const auto table = pictograph::EmojiTable();
    // Most characters of a text are no pictograph: one look at the table's ends settles them.
    if (table.empty() || code < table.front().code || code > table.back().code) return nullptr;
    const auto it = std::lower_bound(table.begin(), table.end(), code,
                                     [](const EmojiTableEntry& e, std::uint16_t c) { return e.code < c; });
    return it != table.end() && it->code == code ? &*it : nullptr;
}

// Entries by their first code point, longest emoji first.
const std::unordered_map<char32_t, std::vector<const EmojiTableEntry*>>& ByFirstPoint() {
    static const auto map = [] {
        std::unordered_map<char32_t, std::vector<const EmojiTableEntry*>> m;
        for (const EmojiTableEntry& e : pictograph::EmojiTable()) m[e.points[0]].push_back(&e);
        for (auto& [point, list] : m)
            std::stable_sort(list.begin(), list.end(),
                             [](const EmojiTableEntry* a, const EmojiTableEntry* b) { return a->length > b->length; });
        return m;
    }();
    return map;
}

// Code points of text taken by entry e at its start, or 0 when e does not match.
std::size_t MatchLength(const EmojiTableEntry& e, std::u32string_view text) {
    std::size_t pos = 0;
    for (std::size_t k = 0; k < e.length; ++k) {
        if (k > 0)
            while (pos < text.size() && IsVariationSelector(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] != e.points[k]) return 0;
        ++pos;
    }
    while (pos < text.size() && IsVariationSelector(text[pos])) ++pos;
    return pos;
}

}  // namespace

bool EmojiMap::IsPictograph(std::uint16_t code) { return Find(code) != nullptr; }

std::optional<char32_t> EmojiMap::PrivateUseOf(std::uint16_t code) {
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (lead < 0xF0 || lead > 0xF9) return std::nullopt;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return std::nullopt;
    const unsigned column = trail < 0x80 ? trail - 0x40 : trail - 0x41;
    return char32_t(0xE000 + (lead - 0xF0) * 188 + column);
}

std::optional<std::uint16_t> EmojiMap::CodeOfPrivateUse(char32_t point) {
    if (point < 0xE000 || point >= 0xE000 + 10 * 188) return std::nullopt;
    const unsigned offset = point - 0xE000;
    const unsigned column = offset % 188;
    const unsigned trail = column < 0x3F ? column + 0x40 : column + 0x41;
    return std::uint16_t(((0xF0 + offset / 188) << 8) | trail);
}

std::u32string_view EmojiMap::EmojiOf(std::uint16_t code) {
    const EmojiTableEntry* e = Find(code);
    if (!e) return {};
    return std::u32string_view(e->points, e->length);
}

bool EmojiMap::IsStandIn(std::uint16_t code) {
    const EmojiTableEntry* e = Find(code);
    return e && e->stand_in;
}

std::optional<EmojiMap::Match> EmojiMap::MatchAt(std::u32string_view text) {
    if (text.empty()) return std::nullopt;
    const auto& map = ByFirstPoint();
    const auto it = map.find(text[0]);
    if (it == map.end()) return std::nullopt;
    for (const EmojiTableEntry* e : it->second)
        if (const std::size_t n = MatchLength(*e, text)) return Match{e->code, n};
    return std::nullopt;
}

}  // namespace sorvanto
