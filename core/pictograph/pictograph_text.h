#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Shift_JIS bytes <-> UTF-8 where text meets a person (the terminal, the widgets, files written
// for other programs). The i-mode pictographs are shown as their standard Unicode emoji (the few
// without one as visible stand-ins) and emoji typed or pasted map back to the pictograph codes,
// so the bytes that are stored and sent stay the handset's own. The desktop wraps these into
// QString; the command-line tool and the archive use them as they are.
namespace sorvanto::pictograph_text {

// Never fails: bytes that code page 932 cannot read become U+FFFD.
std::string ToUtf8(std::string_view sjis);
// nullopt when the text holds a character that code page 932 cannot hold. Emoji variation
// selectors are dropped: they only choose a look and have no Shift_JIS form. Invalid UTF-8
// gives nullopt too.
std::optional<std::string> FromUtf8(std::string_view utf8);

// Where the pictographs' emoji sit in a text of code points (variation selectors and keycap
// marks included). The visible stand-ins are left out: they are no emoji and text fonts draw
// them.
struct EmojiSpan {
    std::size_t start = 0;
    std::size_t length = 0;
};
std::vector<EmojiSpan> EmojiSpans(std::u32string_view points);

// UTF-8 <-> code points. Decoding turns a malformed sequence into U+FFFD (ok=false tells).
std::u32string DecodeUtf8(std::string_view utf8, bool* ok = nullptr);
void AppendUtf8(std::string& out, char32_t point);

}  // namespace sorvanto::pictograph_text
