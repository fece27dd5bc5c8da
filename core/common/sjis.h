#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Shift_JIS (code page 932) helpers. All stored text is Shift_JIS bytes; conversion to Unicode
// happens only where text meets a person.
namespace sorvanto::sjis {

// Lead byte of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The longest prefix of at most max_bytes bytes that does not split a double-byte character.
std::string CutBytes(std::string_view text, std::size_t max_bytes);
// Number of characters (a double-byte character counts once).
std::size_t CharCount(std::string_view text);

// Code page 932 to UTF-8. Bytes that do not convert become U+FFFD; never fails.
std::string ToUtf8(std::string_view sjis);
// UTF-8 to code page 932; nullopt when a character has no code page 932 form (the caller
// tells the user instead of storing '?').
std::optional<std::string> FromUtf8(std::string_view utf8);

// The program's own Japanese texts are written in the source as UTF-8 and turned into
// Shift_JIS once, here. Every such text has a code page 932 form (tests check the ones used).
std::string Lit(std::string_view utf8);

}  // namespace sorvanto::sjis
