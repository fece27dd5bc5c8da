#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

// Shift_JIS bytes <-> QString where text meets a person. The i-mode pictographs are shown as
// their standard Unicode emoji (a few as visible stand-ins) and emoji typed or pasted are
// mapped back to the pictograph codes, so the bytes that are stored and sent stay the
// handset's own.
namespace sorvanto::sjis_text {

// Never fails: bytes that code page 932 cannot read become U+FFFD.
QString ToQString(std::string_view sjis);
// nullopt when the text holds a character that code page 932 cannot hold. Emoji variation
// selectors are dropped: they only choose a look and have no Shift_JIS form.
std::optional<std::string> FromQString(const QString& text);

}  // namespace sorvanto::sjis_text
