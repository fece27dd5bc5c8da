#include "search/search_text.h"

#include "pictograph/pictograph_text.h"

namespace sorvanto {

// The same mapping the lists use to show pictographs as emoji, so what a person sees in a row
// can be typed back as a search text.
std::optional<std::string> SearchTextFromUtf8(std::string_view utf8) { return pictograph_text::FromUtf8(utf8); }

}  // namespace sorvanto
