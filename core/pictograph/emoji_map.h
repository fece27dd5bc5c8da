#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sorvanto {

// The i-mode pictographs between their three forms: the Shift_JIS code the handsets use (lead
// byte high, F89F..F9FC), the private-use code point code page 932 gives that code (U+E63E
// for F89F), and the standard Unicode emoji shown and typed on the PC.
class EmojiMap {
public:
    // True for a code of the i-mode pictograph set.
    static bool IsPictograph(std::uint16_t code);

    // Code page 932's private-use mapping of the user-defined area F040..F9FC (U+E000..U+E757);
    // nullopt outside it.
    static std::optional<char32_t> PrivateUseOf(std::uint16_t code);
    static std::optional<std::uint16_t> CodeOfPrivateUse(char32_t point);

    // The emoji for a pictograph code; empty when the code is not a pictograph. The few
    // pictographs Unicode has no emoji for get a visible stand-in (IsStandIn) that maps back.
    static std::u32string_view EmojiOf(std::uint16_t code);
    static bool IsStandIn(std::uint16_t code);

    struct Match {
        std::uint16_t code;
        std::size_t length;  // code points taken, variation selectors included
    };
    // The pictograph whose emoji starts the text, longest first ("#" + U+20E3 before "#").
    // Variation selectors (U+FE0E, U+FE0F) inside and right after the emoji are taken too.
    static std::optional<Match> MatchAt(std::u32string_view text);
};

}  // namespace sorvanto
