#include "platform/ini_file.h"

#include "platform/fs.h"

namespace sorvanto {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// "[name]" -> name; false when the line is no section header.
bool ParseHeader(std::string_view raw, std::string& name) {
    std::string_view s = Trim(raw);
    if (s.empty() || s.front() != '[') return false;
    const auto close = s.find(']');
    name = Lower(Trim(s.substr(1, close == std::string_view::npos ? s.size() - 1 : close - 1)));
    return true;
}

std::string CleanValue(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

bool IniFile::Load(std::string_view stored_path) {
    auto bytes = fs::ReadFile(stored_path);
    Parse(bytes ? *bytes : std::string(), stored_path);
    return bytes.has_value();
}

void IniFile::Parse(std::string_view bytes, std::string_view stored_path) {
    path_ = std::string(stored_path);
    sections_.clear();
    sections_.push_back(Section{});
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        auto end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view raw = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        std::string name;
        if (ParseHeader(raw, name)) {
            Section s;
            s.raw = std::string(raw);
            sections_.push_back(std::move(s));
            continue;
        }
        Line line;
        line.raw = std::string(raw);
        std::string_view t = Trim(raw);
        if (!t.empty() && t.front() != ';') {
            const auto eq = t.find('=');
            if (eq != std::string_view::npos && eq > 0) {
                line.key = Lower(Trim(t.substr(0, eq)));
                std::string_view v = Trim(t.substr(eq + 1));
                if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
                line.value = std::string(v);
            }
        }
        sections_.back().lines.push_back(std::move(line));
    }
    Reindex();
}

void IniFile::ReindexSection(Section& s) {
    s.index.clear();
    for (std::size_t i = 0; i < s.lines.size(); ++i) {
        const Line& l = s.lines[i];
        if (!l.deleted && !l.key.empty()) s.index.emplace(l.key, i);
    }
}

void IniFile::Reindex() {
    section_index_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        Section& s = sections_[i];
        ReindexSection(s);
        std::string name;
        ParseHeader(s.raw, name);
        if (!s.deleted) section_index_[name].push_back(i);
    }
    ReindexSection(sections_[0]);
}

IniFile::Section* IniFile::FindSection(std::string_view section) {
    auto it = section_index_.find(Lower(Trim(section)));
    if (it == section_index_.end()) return nullptr;
    for (std::size_t i : it->second)
        if (!sections_[i].deleted) return &sections_[i];
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
    return const_cast<IniFile*>(this)->FindSection(section);
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    const Section* s = FindSection(section);
    if (!s) return std::string(fallback);
    auto it = s->index.find(Lower(Trim(key)));
    if (it == s->index.end()) return std::string(fallback);
    return s->lines[it->second].value;
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
    if (!HasKey(section, key)) return fallback;
    const std::string v = GetString(section, key);
    std::size_t i = 0;
    bool negative = false;
    if (i < v.size() && v[i] == '-') {
        negative = true;
        ++i;
    }
    long long n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        n = n * 10 + (v[i] - '0');
        if (n > 0x7FFFFFFFLL) n = 0x7FFFFFFFLL;  // saturate rather than overflow
    }
    return static_cast<int>(negative ? -n : n);
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    return s && s->index.count(Lower(Trim(key))) > 0;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> out;
    const Section* s = FindSection(section);
    if (!s) return out;
    for (const Line& l : s->lines) {
        if (l.deleted || l.key.empty()) continue;
        const auto eq = l.raw.find('=');
        out.emplace_back(Trim(std::string_view(l.raw).substr(0, eq)));
    }
    return out;
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (sections_[i].deleted) continue;
        std::string_view t = Trim(sections_[i].raw);
        const auto close = t.find(']');
        out.emplace_back(Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1)));
    }
    return out;
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string k = Lower(Trim(key));
    Line line;
    line.raw = std::string(Trim(key)) + "=" + CleanValue(value);
    line.key = k;
    line.value = std::string(Trim(CleanValue(value)));
    if (line.value.size() >= 2 && line.value.front() == '"' && line.value.back() == '"')
        line.value = line.value.substr(1, line.value.size() - 2);

    Section* s = FindSection(section);
    if (!s) {
        Section fresh;
        fresh.lines.reserve(8);  // an index item's keys, without regrowing for each
        fresh.raw = "[";
        fresh.raw += Trim(section);
        fresh.raw += ']';
        sections_.push_back(std::move(fresh));
        const std::size_t idx = sections_.size() - 1;
        section_index_[Lower(Trim(section))].push_back(idx);
        s = &sections_[idx];
    }
    auto it = s->index.find(k);
    if (it != s->index.end()) {
        s->lines[it->second] = std::move(line);
        return;
    }
    // A new key goes after the last key line of its section, before trailing blank lines.
    std::size_t at = s->lines.size();
    while (at > 0 && (s->lines[at - 1].deleted || Trim(s->lines[at - 1].raw).empty())) --at;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    if (at + 1 == s->lines.size()) {
        s->index.emplace(k, at);  // appended: no other line moved
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
    auto it = s->index.find(Lower(Trim(key)));
    if (it == s->index.end()) return;
    s->lines[it->second].deleted = true;
    ReindexSection(*s);
}

void IniFile::DeleteSection(std::string_view section) {
    Section* s = FindSection(section);
    if (s) s->deleted = true;
}

std::string IniFile::Serialize() const {
    std::string out;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        if (s.deleted) continue;
        if (i > 0) out += s.raw + "\r\n";
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
