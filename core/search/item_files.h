#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvanto {

// A stored number or mail value is its kind, ':' and the number or address; a value without
// ':' is taken whole.
std::string_view NumberOf(std::string_view stored);

// The body of a mail text file as stored: everything after its five header lines. nullopt when
// the file cannot be read or ends before its fifth line.
std::optional<std::string> MailFileBody(std::string_view stored_path);

}  // namespace sorvanto
