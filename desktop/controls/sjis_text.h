#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QList>
#include <QString>
#include <QTextLayout>

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

// Where the pictographs' emoji sit in text, in UTF-16 units as QString and QTextLayout count
// (variation selectors and keycap marks included). The visible stand-ins are left out: they
// are no emoji and the text fonts draw them.
struct EmojiRange {
    int start = 0;
    int length = 0;
};
QList<EmojiRange> EmojiRanges(const QString& text);

// The face the emoji are drawn with. The usual text fonts carry one-colour forms of many of
// them (the sun, the heart, the faces) and would win, so only the emoji get it: digits, '#'
// and the rest of the text keep the widget's font.
QString EmojiFontFamily();
// The emoji ranges of text as formats of the colour emoji font, for QTextLayout and
// QSyntaxHighlighter.
QList<QTextLayout::FormatRange> EmojiFormats(const QString& text);

// Line breaks as CR LF, the way multi-line texts are stored and sent (a QPlainTextEdit gives LF).
QString WithCrLf(QString text);

}  // namespace sorvanto::sjis_text
