#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvanto {

// A search text typed by a person (UTF-8) as the Shift_JIS bytes the store holds: emoji become
// the pictographs they stand for, variation selectors are dropped. nullopt when a character
// has no Shift_JIS form, so it cannot occur in any stored item.
std::optional<std::string> SearchTextFromUtf8(std::string_view utf8);

}  // namespace sorvanto
