#pragma once

#include <set>
#include <string>
#include <string_view>

namespace sorvanto {

// File names made from titles and names, safe on Windows and Linux alike and unique within one
// folder: no path separators, no characters Windows refuses, no reserved device names, no
// leading dot or trailing dot or blank, at most kMaxStemBytes of UTF-8 before the extension.
// Uniqueness ignores ASCII case, as Windows folders do.
class SafeFileNames {
public:
    static constexpr std::size_t kMaxStemBytes = 80;

    // A name "stem.ext" (ext without the dot, may be empty) not yet given by this object;
    // " (2)", " (3)", ... is added to the stem while the name is taken. fallback stands in for
    // a stem that is empty once cleaned.
    std::string Take(std::string_view utf8_stem, std::string_view ext,
                     std::string_view fallback = "untitled");
    // Claims a fixed name (ASCII), so no later Take returns it.
    void Reserve(std::string_view name);

    // The stem alone, cleaned (exposed for the tests and the fuzzer).
    static std::string Clean(std::string_view utf8_stem, std::string_view fallback);

private:
    std::set<std::string> taken_;  // folded to lower case
};

}  // namespace sorvanto
