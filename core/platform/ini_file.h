#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sorvanto {

// An INI file with the semantics of the Windows private-profile functions, because stored
// files and their readers rely on them: section and key names match without regard to ASCII
// case, the first matching section and key win, values are trimmed and lose one pair of
// surrounding double quotes, ';' starts a comment line. The file is read once, edited in
// memory and saved atomically with CR LF line ends; bytes of values are never touched.
class IniFile {
public:
    IniFile() = default;
    // Loads the file; a missing file is an empty one.
    explicit IniFile(std::string_view stored_path) { Load(stored_path); }

    // False when the file does not exist or cannot be read (the contents are then empty).
    bool Load(std::string_view stored_path);
    // Parses bytes as the contents of a file at stored_path (nothing is read from disk).
    void Parse(std::string_view bytes, std::string_view stored_path = {});
    bool Save() const;
    // The bytes Save writes.
    std::string Serialize() const;

    const std::string& Path() const { return path_; }

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view fallback = {}) const;
    // An optional '-' and the digits that follow; no digits gives 0; a missing key the fallback.
    int GetInt(std::string_view section, std::string_view key, int fallback = 0) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    // Key names of the first matching section, in file order.
    std::vector<std::string> Keys(std::string_view section) const;
    // How many key lines that section has (0 without the section).
    std::size_t KeyCount(std::string_view section) const;
    std::vector<std::string> Sections() const;

    // CR and LF in a value would break the file: they are written as blanks.
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, long long value);
    void DeleteKey(std::string_view section, std::string_view key);
    void DeleteSection(std::string_view section);

private:
    // Index files hold thousands of short sections: a line is its bytes and where its key and
    // value stand within them, so that a key costs one allocation at most.
    struct Line {
        std::string raw;  // the line as it stands in the file
        // The key name (trimmed; size 0 for comments and other lines) and the value as read
        // (trimmed, quotes dropped), as places within raw.
        std::uint32_t key_at = 0, key_size = 0;
        std::uint32_t value_at = 0, value_size = 0;
        bool deleted = false;
        std::string_view Key() const { return std::string_view(raw).substr(key_at, key_size); }
        std::string_view Value() const { return std::string_view(raw).substr(value_at, value_size); }
    };
    // A section's key index, absent while it is short; copied with the file.
    struct KeyIndex {
        using Map = std::unordered_map<std::string, std::size_t>;
        std::unique_ptr<Map> map;
        KeyIndex() = default;
        KeyIndex(const KeyIndex& o) : map(o.map ? std::make_unique<Map>(*o.map) : nullptr) {}
        KeyIndex& operator=(const KeyIndex& o) {
            map = o.map ? std::make_unique<Map>(*o.map) : nullptr;
            return *this;
        }
        KeyIndex(KeyIndex&&) noexcept = default;
        KeyIndex& operator=(KeyIndex&&) noexcept = default;
    };
    struct Section {
        std::string raw;  // header line; empty for the lines before the first section
        std::vector<Line> lines;
        // First live line per lower-case key, kept only for a long section: an index item's few
        // keys are found faster by a scan than by hashing.
        KeyIndex index;
        std::size_t next_same = static_cast<std::size_t>(-1);  // the next section of the same name
        bool deleted = false;
    };
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    // The first live section of that name; kNotFound when there is none.
    std::size_t SectionNumber(std::string_view section) const;
    // The same for editing, remembered for the next edit (the const form remembers nothing, so
    // that readers on several threads share no state).
    Section* FindSection(std::string_view section);
    const Section* FindSection(std::string_view section) const;
    // The first live line of the lower-case key; kNotFound when there is none.
    static std::size_t FindLine(const Section& s, const std::string& key);
    // The same without the key index, in any letter case.
    static std::size_t FindLineByScan(const Section& s, std::string_view key);
    static void ReindexSection(Section& s);
    // Places the key and value of a line written as key (trimmed already), '=' and value.
    static void SetKeyAndValue(Line& line, std::size_t key_size);
    // Makes section i findable under its lower-case name, after those of that name before it.
    void AddToSectionIndex(std::string name, std::size_t i);
    void Reindex();

    std::string path_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> section_index_;  // first section of each name
    std::size_t last_written_ = kNotFound;  // the section the last edit found, and its lower-case name
    std::string last_written_name_;
};

}  // namespace sorvanto
