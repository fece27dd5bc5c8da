#include "archive/katakana.h"

namespace sorvanto {

namespace {

// U+FF61..U+FF9F in order.
constexpr char16_t kFullOfHalf[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

// The plain kana whose voiced form follows them: カ..チ every other code, ツ テ ト, and ハ..ホ
// every third.
bool Voiceable(char32_t k) {
    return (k >= 0x30AB && k <= 0x30C1 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 ||
           k == 0x30C8 || (k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0);
}
bool HalfVoiceable(char32_t k) {
    return k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0;
}

}  // namespace

std::u32string FullWidthKatakana(std::u32string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x3041 && c <= 0x3096) {
            out.push_back(c + 0x60);  // hiragana to katakana
            continue;
        }
        if (c < 0xFF61 || c > 0xFF9F) {
            out.push_back(c);
            continue;
        }
        const char32_t full = kFullOfHalf[c - 0xFF61];
        // A half-width sound mark joins the kana before it when that kana takes it.
        if (full == 0x309B && !out.empty()) {
            char32_t& prev = out.back();
            if (Voiceable(prev)) {
                ++prev;
                continue;
            }
            if (prev == 0x30A6) {
                prev = 0x30F4;  // ヴ
                continue;
            }
            if (prev == 0x30EF || prev == 0x30F2) {
                prev = prev == 0x30EF ? 0x30F7 : 0x30FA;
                continue;
            }
        }
        if (full == 0x309C && !out.empty() && HalfVoiceable(out.back())) {
            out.back() += 2;
            continue;
        }
        out.push_back(full);
    }
    return out;
}

}  // namespace sorvanto
