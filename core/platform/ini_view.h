#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace sorvanto {

// Reads INI bytes held elsewhere by IniFile's rules (first matching section and key, names
// without regard to ASCII case, values trimmed and unquoted), without copying a line. For
// the small files that are read once and never written, such as one address entry, where an
// IniFile's string per line costs more than the reading. The bytes must outlive the view.
class IniView {
public:
    explicit IniView(std::string_view bytes);

    std::string_view GetString(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    // As IniFile::GetInt: the missing key gives the fallback.
    int GetInt(std::string_view section, std::string_view key, int fallback = 0) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    std::size_t KeyCount(std::string_view section) const;

private:
    struct Key {
        std::uint32_t section;  // 0: before the first header
        std::string_view name, value;
    };
    // The keys of the first section of that name; an empty range when there is none.
    std::pair<const Key*, const Key*> KeysOf(std::string_view section) const;
    const Key* Find(std::string_view section, std::string_view key) const;

    std::vector<std::string_view> sections_;  // header names; [0] stands for no header
    std::vector<Key> keys_;                   // in file order, so a section's keys are adjacent
};

}  // namespace sorvanto
