#pragma once

#include <string>
#include <string_view>

namespace sorvanto {

// Collects an outgoing object in memory and writes it in one go. Handsets expect CR LF line
// ends, so Text() sends every LF out as CR LF (as a text-mode stream would); Raw() appends bytes
// untranslated, for parts that already carry their own line ends.
class ObjectTextWriter {
public:
    void Text(std::string_view text);
    void Raw(std::string_view bytes);
    // Text whose lines may already end in CR LF (a stored mail body): every line end becomes
    // exactly one CR LF, never CR CR LF.
    void NormalisedText(std::string_view text);
    // Base64 text broken into lines of width characters, each ended by a line end; width 0
    // writes it as one run with no line end.
    void Wrapped(std::string_view base64, std::size_t width);
    // The Base64 of data, wrapped as Wrapped() does. False (nothing written) when data is
    // larger than the codec encodes in one piece: a cut-off picture or melody would reach the
    // handset as a damaged object.
    bool Base64(std::string_view data, std::size_t width);

    const std::string& Bytes() const { return bytes_; }
    // Creates or truncates the file and writes the object; false when that fails.
    bool Save(std::string_view stored_path) const;

private:
    std::string bytes_;
};

}  // namespace sorvanto
