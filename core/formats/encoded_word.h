#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The Base64 encoded-word of mail subjects. Only a single B-encoded word with a fixed charset
// label is understood, which is all the handsets write.
namespace sorvanto::encoded_word {

// Prefix of an outgoing subject line (and of a family-0 received one).
inline constexpr std::string_view kSubjectPrefix = "Subject:=?shift-jis?B?";
// Prefix the NEC-family and family-4 handsets write.
inline constexpr std::string_view kSpacedSubjectPrefix = "Subject: =?Shift_JIS?B?";
// The Base64 run of an outgoing subject: at most 1,560 characters (a subject of 1,170 bytes).
inline constexpr std::size_t kEncodeCapacity = 1560;
// What the importers decode a received subject into.
inline constexpr std::size_t kDecodeCapacity = 1024;

// "Subject:=?shift-jis?B?" + Base64 + "?=", or "Subject:" alone for an empty subject. No line
// end: the caller adds it.
std::string EncodeSubjectLine(std::string_view subject);

// Drops the first prefix_length bytes of the line (the caller has checked them) and decodes the
// rest as Base64 with the given capacity; the "?" of the closing "?=", a space or a line end
// ends the decoding by itself. A line shorter than the prefix gives an empty subject.
std::string DecodeSubject(std::string_view line, std::size_t prefix_length,
                          std::size_t capacity = kDecodeCapacity);

}  // namespace sorvanto::encoded_word
