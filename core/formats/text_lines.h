#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvanto {

// Reads text held in memory the way TextReader reads a file: line by line with an fgets
// buffer, or a block of bytes. The text is taken as already read in text mode (see
// FromTextMode), so what a converter sees is the same whether its object came from a file or
// from a piece of a split box.
class TextLines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}

    // Like fgets with a buffer of buffer_size bytes: at most buffer_size - 1 bytes, ending
    // after the first LF. False at the end with nothing read.
    bool ReadLine(std::string& line, std::size_t buffer_size);
    // Like fread: up to max_bytes of what is left.
    std::string Read(std::size_t max_bytes);
    bool AtEnd() const { return pos_ >= text_.size(); }

    // The bytes a text-mode read of a file holding raw gives: CR LF becomes LF, a lone CR stays.
    static std::string FromTextMode(std::string_view raw);
    // The bytes a text-mode write of text puts into a file: every LF goes out as CR LF.
    static std::string ToTextMode(std::string_view text);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace sorvanto
