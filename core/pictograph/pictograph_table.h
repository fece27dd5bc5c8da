#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvanto {

class IniFile;

// One cell of the pictograph keyboard.
struct PictographEntry {
    std::array<std::uint8_t, 2> display{};  // Shift_JIS bytes drawn in the grid, lead byte first
    std::array<std::uint8_t, 2> output{};   // bytes sent when the pictograph is chosen
    std::uint32_t colour = 0;               // 0xBBGGRR

    std::string DisplayBytes() const { return {char(display[0]), char(display[1])}; }
    std::string OutputBytes() const { return {char(output[0]), char(output[1])}; }
};

// The pictograph table ".\imoji.ini": section "IMojiCode", keys "Code0", "Code1", ... read in
// order up to the first missing or empty key, each value "display colour [output]" in hex.
class PictographTable {
public:
    static constexpr std::size_t kMaxEntries = 300;
    static constexpr const char* kSection = "IMojiCode";

    // Reads the table file; a missing file or section gives an empty table.
    static std::vector<PictographEntry> Load(std::string_view stored_path);
    static std::vector<PictographEntry> Read(const IniFile& ini);

    // Parses one value into entry. A value with only the display code gives a black entry that
    // sends its display code; false (and no entry) when the first field is not a hex number.
    static bool ParseValue(std::string_view value, PictographEntry& entry);
};

}  // namespace sorvanto
