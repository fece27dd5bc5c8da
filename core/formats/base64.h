#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/byte_source.h"

// Base64 as the handsets write it: alphabet A-Z a-z 0-9 + /, pad "=". The capacities are the
// limits the callers cut at, kept exact because stored objects depend on them.
namespace sorvanto::base64 {

// Working capacity of the stream operations: at most this many characters are encoded (so
// 983,040 input bytes), and decoding proceeds in chunks of about this many bytes.
inline constexpr std::size_t kFileCapacity = 1'310'720;

// Encodes groups of three bytes while fewer than capacity - 2 characters are written; input
// left after that is not read. The result has no line breaks. With a capacity that is a
// multiple of four the text is at most `capacity` characters long.
std::string Encode(ByteSource& source, std::size_t capacity);
std::string Encode(std::string_view data, std::size_t capacity);

// Encodes at most kFileCapacity characters of the source and writes them to the sink: with
// line_width 0 as one run, otherwise in lines of line_width characters (the last one possibly
// shorter), each followed by "\n". The caller writes the one further "\n" that ends the value.
// Returns the number of Base64 characters (line ends not counted); 0 when the sink failed.
std::size_t EncodeTo(ByteSource& source, ByteSink& sink, int line_width);

// Decodes until the input ends or a byte outside the alphabet appears. CR and LF are skipped;
// bytes 128..255 count as "A" (0); "=", space, "?" and every other byte end the decoding.
// Decoding stops when `capacity` bytes are reached at the start of a group, so a group begun
// below it is finished: the result can be up to capacity + 2 bytes long.
std::string Decode(ByteSource& source, std::size_t capacity);
std::string Decode(std::string_view text, std::size_t capacity);

// The same as one Decode of the whole source with no capacity, written to the sink in chunks.
// Returns the number of bytes written; stops early when the sink refuses bytes.
std::size_t DecodeTo(ByteSource& source, ByteSink& sink);

}  // namespace sorvanto::base64
