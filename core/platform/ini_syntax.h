#pragma once

#include <cstddef>
#include <string_view>

// The line rules that IniFile and IniView share, so that a file reads the same through both.
namespace sorvanto::ini_syntax {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next line of the bytes from pos, without its LF and one CR before it; false at the end.
inline bool NextLine(std::string_view bytes, std::size_t& pos, std::string_view& line) {
    if (pos >= bytes.size()) return false;
    auto end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

// Blanks and stray CRs at both ends go.
inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

inline bool IsHeader(std::string_view raw) {
    const std::string_view s = Trim(raw);
    return !s.empty() && s.front() == '[';
}

// The name in a header line "[name]", trimmed, its letter case kept; a header without ']'
// names everything after '['.
inline std::string_view HeaderName(std::string_view raw) {
    const std::string_view s = Trim(raw);
    const auto close = s.find(']');
    return Trim(s.substr(1, close == std::string_view::npos ? s.size() - 1 : close - 1));
}

// A value as read: trimmed, one pair of surrounding double quotes dropped.
inline std::string_view ValueOf(std::string_view text) {
    std::string_view v = Trim(text);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

// A key line "key = value": the key trimmed, the value as ValueOf reads it. False for blank
// lines, comments (';') and lines with no key before '='.
inline bool SplitKeyLine(std::string_view raw, std::string_view& key, std::string_view& value) {
    const std::string_view t = Trim(raw);
    if (t.empty() || t.front() == ';') return false;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    key = Trim(t.substr(0, eq));
    value = ValueOf(t.substr(eq + 1));
    return true;
}

// Equal apart from the case of ASCII letters.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// An optional '-' and the digits that follow, saturated at the int range; no digits gives 0.
inline int ParseInt(std::string_view v) {
    std::size_t i = 0;
    const bool negative = i < v.size() && v[i] == '-';
    if (negative) ++i;
    long long n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        n = n * 10 + (v[i] - '0');
        if (n > 0x7FFFFFFFLL) n = 0x7FFFFFFFLL;  // saturate rather than overflow
    }
    return static_cast<int>(negative ? -n : n);
}

}  // namespace sorvanto::ini_syntax
