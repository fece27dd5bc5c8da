#include "search/text_fold.h"

#include <vector>

#include "common/sjis.h"

namespace sorvanto::text_fold {

namespace {

// Half-width katakana A1..DF as their full-width Shift_JIS codes (the marks ﾞ ﾟ as ゛ ゜).
constexpr char16_t kHalfWidthKana[0xDF - 0xA1 + 1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,  // ｡｢｣､･ｦｧｨｩｪｫ
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349,          // ｬｭｮｯｰｱｲｳｴｵ
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C,          // ｶｷｸｹｺｻｼｽｾｿ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D,          // ﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉ
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382,          // ﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓ
    0x8384, 0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393,          // ﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ
    0x814A, 0x814B,                                                                          // ﾞﾟ
};

constexpr char16_t kVoicedMark = 0x814A;      // ゛
constexpr char16_t kSemiVoicedMark = 0x814B;  // ゜
constexpr char16_t kRemoved = 0;

// The letter with the mark composed, or 0 when the pair has no composed form.
char16_t Compose(char16_t letter, char16_t mark) {
    const bool ha_row = letter == 0x836E || letter == 0x8371 || letter == 0x8374 || letter == 0x8377 ||
                        letter == 0x837A;  // ハヒフヘホ
    if (mark == kSemiVoicedMark) return ha_row ? static_cast<char16_t>(letter + 2) : 0;
    if (ha_row) return static_cast<char16_t>(letter + 1);
    if (letter == 0x8345) return 0x8394;  // ウ -> ヴ
    // カ..ト: the voiced letter follows its plain one; ッ (8362) sits among them unvoiced.
    if (letter >= 0x834A && letter <= 0x8367 && letter != 0x8362) {
        const bool plain = letter <= 0x8361 ? (letter - 0x834A) % 2 == 0 : (letter - 0x8363) % 2 == 0;
        return plain ? static_cast<char16_t>(letter + 1) : 0;
    }
    return 0;
}

std::string Utf8Of(char32_t c) {
    std::string s;
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
    return s;
}

// What every character code folds to, for single bytes and double-byte codes alike.
std::vector<char16_t> BuildMap() {
    std::vector<char16_t> map(0x10000);
    for (std::size_t u = 0; u < map.size(); ++u) map[u] = static_cast<char16_t>(u);
    for (char16_t c = 'A'; c <= 'Z'; ++c) map[c] = static_cast<char16_t>(c - 'A' + 'a');
    for (unsigned b = 0xA1; b <= 0xDF; ++b) map[b] = kHalfWidthKana[b - 0xA1];
    // Hiragana ぁ..み and む..ん onto katakana ァ..ミ and ム..ン (katakana skip the code 837F);
    // ゝゞ onto ヽヾ.
    for (unsigned h = 0x829F; h <= 0x82DD; ++h) map[h] = static_cast<char16_t>(h - 0x829F + 0x8340);
    for (unsigned h = 0x82DE; h <= 0x82F1; ++h) map[h] = static_cast<char16_t>(h - 0x82DE + 0x8380);
    map[0x8154] = 0x8152;
    map[0x8155] = 0x8153;
    // Full-width ASCII, found through the code page's own table (some sit in the NEC and IBM
    // rows, like ＂ at FA57).
    for (char32_t wide = 0xFF01; wide <= 0xFF5E; ++wide) {
        const auto bytes = sjis::FromUtf8(Utf8Of(wide));
        if (!bytes || bytes->size() != 2) continue;
        const unsigned code = static_cast<unsigned char>((*bytes)[0]) << 8 | static_cast<unsigned char>((*bytes)[1]);
        map[code] = map[wide - 0xFF01 + 0x21];
    }
    // The long-vowel mark and the hyphens: ー ‐ − (and ｰ through its full-width form).
    for (unsigned dash : {0x815Bu, 0x815Du, 0x817Cu}) map[dash] = '-';
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        if (map[b] == 0x815B) map[b] = '-';
    for (unsigned blank : {0x20u, 0x09u, 0x0Au, 0x0Bu, 0x0Cu, 0x0Du, 0x8140u}) map[blank] = kRemoved;
    return map;
}

const std::vector<char16_t>& Map() {
    static const std::vector<char16_t> map = BuildMap();
    return map;
}

}  // namespace

void FoldAppend(std::string_view sjis, Folded& out) {
    const auto& map = Map();
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < sjis.size();) {
        const auto b = static_cast<unsigned char>(sjis[i]);
        char16_t unit = b;
        if (sjis::IsLeadByte(b) && i + 1 < sjis.size()) {
            unit = static_cast<char16_t>(b << 8 | static_cast<unsigned char>(sjis[i + 1]));
            i += 2;
        } else {
            ++i;
        }
        // A NUL byte would otherwise vanish with the removed blanks: it stays a character.
        const char16_t folded = unit == 0 ? 0 : map[unit];
        if (unit != 0 && folded == kRemoved) continue;
        if ((folded == kVoicedMark || folded == kSemiVoicedMark) && out.size() > start) {
            if (const char16_t composed = Compose(out.back(), folded)) {
                out.back() = composed;
                continue;
            }
        }
        out.push_back(folded);
    }
}

Folded Fold(std::string_view sjis) {
    Folded out;
    out.reserve(sjis.size());
    FoldAppend(sjis, out);
    return out;
}

std::string PhoneDigits(std::string_view sjis) {
    const Folded f = Fold(sjis);
    std::string digits;
    for (char16_t u : f)
        if (u >= '0' && u <= '9') digits += static_cast<char>(u);
    std::size_t first = 0;
    while (first < f.size() && !(f[first] >= '0' && f[first] <= '9') && f[first] != '+') ++first;
    if (first < f.size() && f[first] == '+') {
        if (digits.rfind("81", 0) != 0) return "+" + digits;
        std::string rest = digits.substr(2);
        if (!rest.empty() && rest[0] == '0') rest.erase(0, 1);  // "+81 (0)90 ..."
        return "0" + rest;
    }
    return digits;
}

bool LooksLikePhoneNumber(std::string_view sjis) {
    bool digit = false;
    for (char16_t u : Fold(sjis)) {
        if (u >= '0' && u <= '9') {
            digit = true;
        } else if (u != '-' && u != '+' && u != '(' && u != ')' && u != '.') {
            return false;
        }
    }
    return digit;
}

}  // namespace sorvanto::text_fold
