#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/byte_source.h"

namespace sorvanto {

// Quoted-printable as the handsets carry melodies and mail bodies. The encoder escapes every
// byte outside 33..126 (and "="), never writes a hard line break, and keeps each line at most
// 75 characters before its soft break "=". The decoder turns any CR or LF into LF, drops soft
// breaks ("=" + CR LF, "=" + LF CR, or "=" + a single line end) and counts bad escapes.
class QuotedPrintableCodec {
public:
    // Result of a decode: the number of escapes that were not two hexadecimal digits.
    struct DecodeStats {
        int errors = 0;
        std::size_t bytes = 0;  // bytes offered to the sink
    };

    // Stream forms. crlf chooses the soft line break's line end: CR LF (true) or LF.
    static void Encode(ByteSource& source, ByteSink& sink, bool crlf);
    static DecodeStats Decode(ByteSource& source, ByteSink& sink);

    // Source read untranslated, target created (mode 1) or appended to (any other mode);
    // soft breaks end in CR LF. 1 on success, 0 when a file cannot be opened.
    static int EncodeFile(std::string_view source_path, std::string_view target_path, int mode);
    // Source read as text (CR LF arrives as LF), target created and written untranslated.
    // 1 on success, 0 when a file cannot be opened.
    static int DecodeFile(std::string_view source_path, std::string_view target_path);

    // Memory forms with a bounded sink of `capacity` bytes: like a NUL-terminated buffer, it
    // keeps at most capacity - 1 bytes and silently drops the rest. A capacity below 2 gives
    // an empty result (the buffer cannot hold text).
    static std::string EncodeMemory(std::string_view data, std::size_t capacity, bool crlf);
    // The line-end flag does not change what the decoder writes; it is kept for the callers'
    // symmetry with EncodeMemory. `errors` receives the bad-escape count when given.
    static std::string DecodeMemory(std::string_view data, std::size_t capacity, bool crlf,
                                    int* errors = nullptr);

    // Longest line before the soft break.
    static constexpr int kMaxLine = 75;
};

}  // namespace sorvanto
