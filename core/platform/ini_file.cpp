#include "platform/ini_file.h"

#include <algorithm>

#include "platform/fs.h"
#include "platform/ini_syntax.h"

namespace sorvanto {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

using ini_syntax::IsHeader;
using ini_syntax::Trim;

// "[name]" -> name; false when the line is no section header.
bool ParseHeader(std::string_view raw, std::string& name) {
    if (!IsHeader(raw)) return false;
    name = Lower(ini_syntax::HeaderName(raw));
    return true;
}

// Lines longer than this are kept but hold no key (no index file comes near it).
constexpr std::size_t kLongestKeyLine = 0xFFFFFFFFu;

// Sections of this many lines or more keep a key index.
constexpr std::size_t kIndexFrom = 32;

}  // namespace

bool IniFile::Load(std::string_view stored_path) {
    auto bytes = fs::ReadFile(stored_path);
    Parse(bytes ? *bytes : std::string(), stored_path);
    return bytes.has_value();
}

void IniFile::Parse(std::string_view bytes, std::string_view stored_path) {
    path_ = std::string(stored_path);
    sections_.clear();
    last_written_ = kNotFound;
    sections_.push_back(Section{});
    std::size_t pos = 0;
    std::string_view raw;
    while (ini_syntax::NextLine(bytes, pos, raw)) {
        if (IsHeader(raw)) {
            Section s;
            s.raw = std::string(raw);
            sections_.push_back(std::move(s));
            continue;
        }
        Line line;
        line.raw = std::string(raw);
        std::string_view key, value;
        if (raw.size() <= kLongestKeyLine && ini_syntax::SplitKeyLine(raw, key, value)) {
            line.key_at = static_cast<std::uint32_t>(key.data() - raw.data());
            line.key_size = static_cast<std::uint32_t>(key.size());
            line.value_at = static_cast<std::uint32_t>(value.data() - raw.data());
            line.value_size = static_cast<std::uint32_t>(value.size());
        }
        sections_.back().lines.push_back(std::move(line));
    }
    Reindex();
}

void IniFile::ReindexSection(Section& s) {
    if (s.lines.size() < kIndexFrom) {
        s.index.map.reset();
        return;
    }
    if (!s.index.map) s.index.map = std::make_unique<KeyIndex::Map>();
    s.index.map->clear();
    for (std::size_t i = 0; i < s.lines.size(); ++i) {
        const Line& l = s.lines[i];
        if (!l.deleted && l.key_size > 0) s.index.map->emplace(Lower(l.Key()), i);
    }
}

std::size_t IniFile::FindLine(const Section& s, const std::string& key) {
    if (s.index.map) {
        const auto it = s.index.map->find(key);
        return it == s.index.map->end() ? kNotFound : it->second;
    }
    return FindLineByScan(s, key);
}

std::size_t IniFile::FindLineByScan(const Section& s, std::string_view key) {
    for (std::size_t i = 0; i < s.lines.size(); ++i) {
        const Line& l = s.lines[i];
        if (!l.deleted && l.key_size > 0 && ini_syntax::EqualsNoCase(l.Key(), key)) return i;
    }
    return kNotFound;
}

void IniFile::AddToSectionIndex(std::string name, std::size_t i) {
    const auto [it, added] = section_index_.emplace(std::move(name), i);
    if (added) return;
    std::size_t last = it->second;
    while (sections_[last].next_same != kNotFound) last = sections_[last].next_same;
    sections_[last].next_same = i;
}

void IniFile::Reindex() {
    section_index_.clear();
    section_index_.reserve(sections_.size());
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        Section& s = sections_[i];
        ReindexSection(s);
        s.next_same = kNotFound;
        std::string name;
        ParseHeader(s.raw, name);
        if (!s.deleted) AddToSectionIndex(std::move(name), i);
    }
    ReindexSection(sections_[0]);
}

std::size_t IniFile::SectionNumber(std::string_view section) const {
    auto it = section_index_.find(Lower(Trim(section)));
    if (it == section_index_.end()) return kNotFound;
    for (std::size_t i = it->second; i != kNotFound; i = sections_[i].next_same)
        if (!sections_[i].deleted) return i;
    return kNotFound;
}

IniFile::Section* IniFile::FindSection(std::string_view section) {
    // Writers set one section's keys one after another: an index item's five keys cost one
    // look-up, not five. The first live section of a name stays first until it is deleted.
    const std::string_view name = Trim(section);
    if (last_written_ < sections_.size() && !sections_[last_written_].deleted &&
        ini_syntax::EqualsNoCase(name, last_written_name_))
        return &sections_[last_written_];
    const std::size_t i = SectionNumber(name);
    if (i == kNotFound) return nullptr;
    last_written_ = i;
    last_written_name_ = Lower(name);
    return &sections_[i];
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
    const std::size_t i = SectionNumber(section);
    return i == kNotFound ? nullptr : &sections_[i];
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    const Section* s = FindSection(section);
    if (!s) return std::string(fallback);
    const std::size_t i = FindLine(*s, Lower(Trim(key)));
    return std::string(i == kNotFound ? fallback : s->lines[i].Value());
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
    const Section* s = FindSection(section);
    const std::size_t i = s ? FindLine(*s, Lower(Trim(key))) : kNotFound;
    return i == kNotFound ? fallback : ini_syntax::ParseInt(s->lines[i].Value());
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    return s && FindLine(*s, Lower(Trim(key))) != kNotFound;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> out;
    const Section* s = FindSection(section);
    if (!s) return out;
    for (const Line& l : s->lines)
        if (!l.deleted && l.key_size > 0) out.emplace_back(l.Key());
    return out;
}

std::size_t IniFile::KeyCount(std::string_view section) const {
    const Section* s = FindSection(section);
    if (!s) return 0;
    return static_cast<std::size_t>(
        std::count_if(s->lines.begin(), s->lines.end(), [](const Line& l) { return !l.deleted && l.key_size > 0; }));
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (sections_[i].deleted) continue;
        out.emplace_back(ini_syntax::HeaderName(sections_[i].raw));
    }
    return out;
}

void IniFile::SetKeyAndValue(Line& line, std::size_t key_size) {
    const std::string_view v = ini_syntax::ValueOf(std::string_view(line.raw).substr(key_size + 1));
    line.key_at = 0;
    line.key_size = static_cast<std::uint32_t>(key_size);
    line.value_at = static_cast<std::uint32_t>(v.data() - line.raw.data());
    line.value_size = static_cast<std::uint32_t>(v.size());
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view name = Trim(key);
    Line line;
    line.raw.reserve(name.size() + 1 + value.size());
    line.raw += name;
    line.raw += '=';
    line.raw += value;
    for (std::size_t i = name.size() + 1; i < line.raw.size(); ++i)
        if (line.raw[i] == '\r' || line.raw[i] == '\n') line.raw[i] = ' ';
    if (!name.empty() && line.raw.size() <= kLongestKeyLine) SetKeyAndValue(line, name.size());

    Section* s = FindSection(section);
    if (!s) {
        Section fresh;
        fresh.lines.reserve(6);  // an index item's keys (five for a mail): one block per section
        const std::string_view title = Trim(section);
        fresh.raw.reserve(title.size() + 2);
        fresh.raw += '[';
        fresh.raw += title;
        fresh.raw += ']';
        sections_.push_back(std::move(fresh));
        const std::size_t idx = sections_.size() - 1;
        last_written_ = idx;
        last_written_name_ = Lower(title);
        AddToSectionIndex(last_written_name_, idx);
        s = &sections_[idx];
        s->lines.push_back(std::move(line));  // a fresh section: no key to find, too short for an index
        return;
    }
    // The key index holds lower-case keys; a short section is scanned in any letter case.
    std::size_t found = kNotFound;
    if (line.key_size > 0) found = s->index.map ? FindLine(*s, Lower(name)) : FindLineByScan(*s, name);
    if (found != kNotFound) {
        s->lines[found] = std::move(line);
        return;
    }
    // A new key goes after the last key line of its section, before trailing blank lines.
    std::size_t at = s->lines.size();
    while (at > 0 && (s->lines[at - 1].deleted || Trim(s->lines[at - 1].raw).empty())) --at;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    if (!s->index.map && s->lines.size() < kIndexFrom) return;  // still short enough to scan
    if (s->index.map && at + 1 == s->lines.size()) {
        if (s->lines[at].key_size > 0) s->index.map->emplace(Lower(name), at);  // appended: no other line moved
    } else {
        ReindexSection(*s);
    }
}

void IniFile::SetInt(std::string_view section, std::string_view key, long long value) {
    SetString(section, key, std::to_string(value));
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(section);
    if (!s) return;
    const std::size_t i = FindLine(*s, Lower(Trim(key)));
    if (i == kNotFound) return;
    s->lines[i].deleted = true;
    ReindexSection(*s);
}

void IniFile::DeleteSection(std::string_view section) {
    Section* s = FindSection(section);
    if (s) s->deleted = true;
}

std::string IniFile::Serialize() const {
    std::size_t size = 0;
    for (const Section& s : sections_) {
        if (s.deleted) continue;
        size += s.raw.size() + 2;
        for (const Line& l : s.lines) size += l.raw.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        if (s.deleted) continue;
        if (i > 0) {
            out += s.raw;
            out += "\r\n";
        }
        for (const Line& l : s.lines) {
            if (l.deleted) continue;
            out += l.raw;
            out += "\r\n";
        }
    }
    return out;
}

bool IniFile::Save() const {
    if (path_.empty()) return false;
    return fs::WriteFileAtomic(path_, Serialize());
}

}  // namespace sorvanto
