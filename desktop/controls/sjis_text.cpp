#include "controls/sjis_text.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QList>
#include <vector>

#include "pictograph/pictograph_text.h"

namespace sorvanto::sjis_text {

QString ToQString(std::string_view sjis) {
    const std::string utf8 = pictograph_text::ToUtf8(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> FromQString(const QString& text) {
    // Through code points, so a lone surrogate becomes U+FFFD (which code page 932 refuses)
    // whatever QString's own UTF-8 encoder would make of it.
    std::string utf8;
    utf8.reserve(std::size_t(text.size()) * 3);
    for (const uint point : text.toUcs4()) pictograph_text::AppendUtf8(utf8, char32_t(point));
    return pictograph_text::FromUtf8(utf8);
}

QList<EmojiRange> EmojiRanges(const QString& text) {
    QList<EmojiRange> ranges;
    // Code points and where each starts in UTF-16 units.
    std::u32string points;
    std::vector<int> starts;
    points.reserve(std::size_t(text.size()));
    starts.reserve(std::size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size();) {
        starts.push_back(int(i));
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(c, text[i + 1]));
            i += 2;
        } else {
            points.push_back(c.unicode());
            ++i;
        }
    }
    starts.push_back(int(text.size()));
    for (const auto& span : pictograph_text::EmojiSpans(points))
        ranges.push_back({starts[span.start], starts[span.start + span.length] - starts[span.start]});
    return ranges;
}

#ifdef Q_OS_WIN
namespace {

// Qt's GDI font engine falls over on a face that holds bitmaps only (a colour emoji face such
// as Noto Color Emoji, which wine offers from the host and a user may install): it reads
// outline metrics that GDI cannot give. Fonts that ask for no hinting are drawn through
// DirectWrite, which handles such faces and draws the colour emoji faces in colour. Set on
// the application font as soon as the application exists, before any widget takes its font.
void DrawTextThroughDirectWrite() {
    QFont font = QGuiApplication::font();
    font.setHintingPreference(QFont::PreferNoHinting);
    QGuiApplication::setFont(font);
}
Q_COREAPP_STARTUP_FUNCTION(DrawTextThroughDirectWrite)

}  // namespace
#endif

QString EmojiFontFamily() {
#ifdef Q_OS_WIN
    // Windows' own colour emoji face. Noto Color Emoji, where one is installed there (wine
    // offers the host's), holds bitmaps only: Qt's GDI font engine takes it for an outline
    // font and reads outline metrics that GDI cannot give, and the program falls over on the
    // first emoji drawn in it.
    return QStringLiteral("Segoe UI Emoji");
#else
    return QStringLiteral("Noto Color Emoji");
#endif
}

QList<QTextLayout::FormatRange> EmojiFormats(const QString& text) {
    QList<QTextLayout::FormatRange> formats;
    const QList<EmojiRange> ranges = EmojiRanges(text);
    if (ranges.isEmpty()) return formats;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{EmojiFontFamily()});
    for (const EmojiRange& range : ranges) formats.push_back({range.start, range.length, format});
    return formats;
}

QString WithCrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

}  // namespace sorvanto::sjis_text
