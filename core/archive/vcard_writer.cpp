#include "archive/vcard_writer.h"

#include <utility>
#include <vector>

#include "archive/katakana.h"
#include "pictograph/pictograph_text.h"

namespace sorvanto {

namespace {

using pictograph_text::AppendUtf8;

std::string Utf8Of(const std::u32string& points) {
    std::string out;
    for (char32_t p : points) AppendUtf8(out, p);
    return out;
}

// Text as a vCard value: the separators and line ends escaped.
std::string Escaped(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// The family and the given part, split at the first blank (half- or full-width).
std::pair<std::u32string, std::u32string> SplitName(const std::u32string& name) {
    std::size_t start = 0;
    while (start < name.size() && (name[start] == U' ' || name[start] == U'\u3000')) ++start;
    const std::u32string trimmed = name.substr(start);
    const std::size_t blank = trimmed.find_first_of(U" \u3000");
    if (blank == std::u32string::npos) return {trimmed, {}};
    std::size_t given = blank;
    while (given < trimmed.size() && (trimmed[given] == U' ' || trimmed[given] == U'\u3000')) ++given;
    std::u32string rest = trimmed.substr(given);
    while (!rest.empty() && (rest.back() == U' ' || rest.back() == U'\u3000')) rest.pop_back();
    return {trimmed.substr(0, blank), rest};
}

// Folds a content line at 75 octets, never inside a UTF-8 sequence.
void AddLine(std::string& out, std::string_view line) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t n = 1;
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0xF0)
            n = 4;
        else if (c >= 0xE0)
            n = 3;
        else if (c >= 0xC0)
            n = 2;
        n = std::min(n, line.size() - i);
        if (width + n > 75) {
            out += "\r\n ";
            width = 1;
        }
        out.append(line.substr(i, n));
        width += n;
        i += n;
    }
    out += "\r\n";
}

// The kinds before the ':' of a stored number or address ("HOME;VOICE:03..." -> HOME, VOICE)
// and the value after it.
std::pair<std::vector<std::string>, std::string> KindsAndValue(std::string_view stored) {
    std::vector<std::string> kinds;
    const std::size_t colon = stored.find(':');
    if (colon == std::string_view::npos) return {kinds, std::string(stored)};
    std::string_view types = stored.substr(0, colon);
    while (!types.empty()) {
        const std::size_t semi = types.find(';');
        std::string kind(types.substr(0, semi));
        for (char& c : kind)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (kind.rfind("TYPE=", 0) == 0) kind = kind.substr(5);
        if (!kind.empty()) kinds.push_back(kind);
        types = semi == std::string_view::npos ? std::string_view() : types.substr(semi + 1);
    }
    return {kinds, std::string(stored.substr(colon + 1))};
}

std::string TypeParam(const std::vector<std::string>& kinds, VCardVersion version,
                      std::initializer_list<std::string_view> known) {
    std::string list;
    for (const std::string& k : kinds) {
        bool ok = false;
        for (auto known_kind : known) ok = ok || k == known_kind;
        if (!ok || list.find(k) != std::string::npos) continue;
        std::string shown = k;
        if (version == VCardVersion::k40)
            for (char& c : shown) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        list += (list.empty() ? "" : ",") + shown;
    }
    return list.empty() ? std::string() : ";TYPE=" + list;
}

}  // namespace

std::string VCardOf(const AddressEntry& entry, VCardVersion version) {
    const bool v4 = version == VCardVersion::k40;
    std::string out;
    AddLine(out, "BEGIN:VCARD");
    AddLine(out, v4 ? "VERSION:4.0" : "VERSION:3.0");
    const auto [family, given] = SplitName(pictograph_text::DecodeUtf8(pictograph_text::ToUtf8(entry.name)));
    const std::string family8 = Utf8Of(family);
    const std::string given8 = Utf8Of(given);
    const std::string full = given8.empty() ? family8 : family8 + " " + given8;
    AddLine(out, "FN:" + Escaped(full));
    AddLine(out, "N:" + Escaped(family8) + ";" + Escaped(given8) + ";;;");
    const std::u32string kana =
        FullWidthKatakana(pictograph_text::DecodeUtf8(pictograph_text::ToUtf8(entry.kana)));
    const auto [kana_family, kana_given] = SplitName(kana);
    if (!kana_family.empty()) AddLine(out, "X-PHONETIC-LAST-NAME:" + Escaped(Utf8Of(kana_family)));
    if (!kana_given.empty()) AddLine(out, "X-PHONETIC-FIRST-NAME:" + Escaped(Utf8Of(kana_given)));
    for (const std::string& tel : entry.tels) {
        const auto [kinds, number] = KindsAndValue(tel);
        if (number.empty()) continue;
        const std::string types =
            v4 ? TypeParam(kinds, version, {"CELL", "HOME", "WORK", "FAX", "VOICE", "PAGER", "VIDEO", "TEXT"})
               : TypeParam(kinds, version,
                           {"CELL", "HOME", "WORK", "FAX", "VOICE", "PAGER", "MSG", "PREF", "VIDEO", "CAR",
                            "BBS", "MODEM", "ISDN", "PCS"});
        AddLine(out, "TEL" + types + ":" + Escaped(pictograph_text::ToUtf8(number)));
    }
    for (const std::string& mail : entry.mails) {
        const auto [kinds, address] = KindsAndValue(mail);
        if (address.empty()) continue;
        const std::string types =
            v4 ? TypeParam(kinds, version, {"HOME", "WORK"})
               : TypeParam(kinds, version, {"INTERNET", "X400", "PREF", "HOME", "WORK"});
        AddLine(out, "EMAIL" + types + ":" + Escaped(pictograph_text::ToUtf8(address)));
    }
    if (!entry.adr.empty() || !entry.adr_no.empty())
        AddLine(out, std::string(v4 ? "ADR;TYPE=home" : "ADR;TYPE=HOME") + ":;;" +
                         Escaped(pictograph_text::ToUtf8(entry.adr)) + ";;;" +
                         Escaped(pictograph_text::ToUtf8(entry.adr_no)) + ";");
    if (!entry.note.empty()) AddLine(out, "NOTE:" + Escaped(pictograph_text::ToUtf8(entry.note)));
    AddLine(out, "END:VCARD");
    return out;
}

}  // namespace sorvanto
