#pragma once

#include <optional>
#include <string>
#include <string_view>

// The system's code page 932 converter: glibc's iconv "CP932" on Linux, the system's own code
// page 932 on Windows. Both give the same bytes for every code; tests hold them to one table.
namespace sorvanto::cp932 {

// Code page 932 to UTF-8. A byte that does not start a convertible character becomes U+FFFD
// and the conversion goes on with the next byte; never fails.
std::string ToUtf8(std::string_view bytes);
// UTF-8 to code page 932; nullopt for malformed UTF-8 or a character with no code page 932 form.
std::optional<std::string> FromUtf8(std::string_view utf8);

}  // namespace sorvanto::cp932
