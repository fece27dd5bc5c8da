#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvanto {

// One object on its way through an importer, held in memory: the bytes a file of it would
// hold, and the same bytes read in text mode (CR LF as LF), made once on first use. A single
// object is the received file itself; an object cut out of a box is the text of its lines,
// which a split file would have held written in text mode.
class ReceivedObject {
public:
    static ReceivedObject FromFileBytes(std::string raw);
    static ReceivedObject FromText(std::string text);

    // What a file of the object holds (read untranslated).
    std::string_view Raw() const;
    // The object read as text.
    std::string_view Text() const;

private:
    mutable std::optional<std::string> raw_;
    mutable std::optional<std::string> text_;
};

}  // namespace sorvanto
