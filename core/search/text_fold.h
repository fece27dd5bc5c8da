#pragma once

#include <string>
#include <string_view>

// Folding of Shift_JIS text for matching the way a Japanese reader does: two texts match when
// their folded forms are equal. The fold works on the stored bytes themselves, without a trip
// through Unicode, so it is cheap enough to fold a whole store.
//
// A folded text is a string of character codes, one unit per character: a single byte as its
// value, a double-byte character as lead << 8 | trail. A search for one folded text inside
// another can therefore never match half of a double-byte character, as a byte search would.
namespace sorvanto::text_fold {

using Folded = std::u16string;

// Units that never come out of Fold: callers separate fields and items with them.
inline constexpr char16_t kFieldBreak = 0xFFFF;
inline constexpr char16_t kItemBreak = 0xFFFE;

// - half-width katakana become full-width, with a following voiced or semi-voiced mark
//   composed into the letter (ﾀﾞ -> ダ, ﾊﾟ -> パ); a full-width mark after a letter likewise;
// - hiragana become katakana;
// - full-width ASCII becomes ASCII, and ASCII letters lower case;
// - the long-vowel mark and the hyphen variants (ー − ‐ - ｰ) become '-';
// - blanks (space, tab, line ends, the full-width space) are removed;
// - everything else, the pictographs among it, stays the character it is.
Folded Fold(std::string_view sjis);
void FoldAppend(std::string_view sjis, Folded& out);

// The digits of a phone number, the way it is dialled from Japan: full-width digits count,
// everything but digits is dropped, and a leading "+81" (with a "(0)" or "0" after it) becomes
// the trunk prefix "0". "090-1234-5678", "09012345678" and "+81 90 1234 5678" all give
// "09012345678".
std::string PhoneDigits(std::string_view sjis);

// Whether a search text reads as (part of) a phone number: digits with only blanks, hyphens,
// '+', parentheses or dots between them, and at least one digit.
bool LooksLikePhoneNumber(std::string_view sjis);

}  // namespace sorvanto::text_fold
