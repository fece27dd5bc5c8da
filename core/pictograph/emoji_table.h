#pragma once

#include <cstdint>
#include <span>

namespace sorvanto::pictograph {

// One i-mode pictograph and the Unicode text that stands for it on the PC.
struct EmojiTableEntry {
    std::uint16_t code;        // Shift_JIS code, lead byte high (F89F..F9FC)
    char32_t points[3];        // the emoji: `length` code points, the rest 0
    std::uint8_t length;
    bool stand_in;             // no Unicode emoji exists: a visible stand-in outside code page 932
};

// Every i-mode pictograph in code order (generated from Unicode's EmojiSources.txt).
std::span<const EmojiTableEntry> EmojiTable();

}  // namespace sorvanto::pictograph
