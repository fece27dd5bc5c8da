#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// A kana reading as address books expect it: full-width katakana. Half-width katakana become
// full-width with their sound marks composed (ﾀﾞ -> ダ, ﾊﾟ -> パ), hiragana become katakana;
// everything else stays.
std::u32string FullWidthKatakana(std::u32string_view text);

}  // namespace sorvanto
