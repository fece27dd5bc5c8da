#include "pictograph/pictograph_table.h"

#include "platform/ini_file.h"

namespace sorvanto {

namespace {

// The value buffer holds 519 characters with the terminator.
constexpr std::size_t kValueChars = 518;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// What "%x" takes: blanks, an optional sign and "0x", then hex digits. Very long numbers keep
// their low 32 bits, as an unsigned conversion would.
bool ReadHex(std::string_view text, std::size_t& pos, std::uint32_t& out) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        pos + 2 < text.size() && HexDigit(text[pos + 2]) >= 0)
        pos += 2;
    std::uint32_t value = 0;
    const std::size_t start = pos;
    while (pos < text.size() && HexDigit(text[pos]) >= 0) value = value * 16 + std::uint32_t(HexDigit(text[pos++]));
    if (pos == start) return false;
    out = negative ? 0u - value : value;
    return true;
}

std::array<std::uint8_t, 2> CodeBytes(std::uint32_t code) {
    return {std::uint8_t(code >> 8), std::uint8_t(code)};
}

}  // namespace

bool PictographTable::ParseValue(std::string_view value, PictographEntry& entry) {
    std::size_t pos = 0;
    std::uint32_t display = 0;
    if (!ReadHex(value, pos, display)) return false;
    std::uint32_t colour = 0;
    std::uint32_t output = display;
    if (ReadHex(value, pos, colour)) ReadHex(value, pos, output);
    entry.display = CodeBytes(display);
    entry.output = CodeBytes(output);
    entry.colour = colour & 0xFFFFFF;
    return true;
}

std::vector<PictographEntry> PictographTable::Read(const IniFile& ini) {
    std::vector<PictographEntry> entries;
    for (std::size_t i = 0; entries.size() < kMaxEntries; ++i) {
        const std::string key = "Code" + std::to_string(i);
        std::string value = ini.GetString(kSection, key);
        if (value.empty()) break;
        if (value.size() > kValueChars) value.resize(kValueChars);
        PictographEntry entry;
        if (ParseValue(value, entry)) entries.push_back(entry);
    }
    return entries;
}

std::vector<PictographEntry> PictographTable::Load(std::string_view stored_path) {
    IniFile ini;
    if (!ini.Load(stored_path)) return {};
    return Read(ini);
}

}  // namespace sorvanto
