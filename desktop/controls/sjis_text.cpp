#include "controls/sjis_text.h"

#include <QList>
#include <vector>

#include "common/sjis.h"
#include "pictograph/emoji_map.h"

namespace sorvanto::sjis_text {

namespace {

void AppendRun(QString& out, std::string_view run) {
    if (run.empty()) return;
    const std::string utf8 = sjis::ToUtf8(run);
    out += QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

QString ToQString(std::string_view sjis) {
    QString out;
    std::size_t run_start = 0;
    std::size_t i = 0;
    while (i < sjis.size()) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        if (!sjis::IsLeadByte(lead) || i + 1 >= sjis.size()) {
            ++i;
            continue;
        }
        const auto code = static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(sjis[i + 1]));
        const std::u32string_view emoji = EmojiMap::EmojiOf(code);
        if (!emoji.empty()) {
            AppendRun(out, sjis.substr(run_start, i - run_start));
            out += QString::fromUcs4(emoji.data(), static_cast<qsizetype>(emoji.size()));
            run_start = i + 2;
        }
        i += 2;
    }
    AppendRun(out, sjis.substr(run_start));
    return out;
}

std::optional<std::string> FromQString(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    const std::u32string points(ucs4.begin(), ucs4.end());
    std::string out;
    std::u32string run;
    auto flush = [&]() {
        if (run.empty()) return true;
        const QString piece = QString::fromUcs4(run.data(), static_cast<qsizetype>(run.size()));
        const QByteArray utf8 = piece.toUtf8();
        const auto bytes = sjis::FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        if (!bytes) return false;
        out += *bytes;
        run.clear();
        return true;
    };
    std::size_t i = 0;
    while (i < points.size()) {
        if (const auto match = EmojiMap::MatchAt(std::u32string_view(points).substr(i))) {
            if (!flush()) return std::nullopt;
            out.push_back(static_cast<char>(match->code >> 8));
            out.push_back(static_cast<char>(match->code & 0xFF));
            i += match->length;
            continue;
        }
        if (points[i] != 0xFE0E && points[i] != 0xFE0F) run.push_back(points[i]);
        ++i;
    }
    if (!flush()) return std::nullopt;
    return out;
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
    for (std::size_t i = 0; i < points.size();) {
        const auto match = EmojiMap::MatchAt(std::u32string_view(points).substr(i));
        if (!match) {
            ++i;
            continue;
        }
        if (!EmojiMap::IsStandIn(match->code)) ranges.push_back({starts[i], starts[i + match->length] - starts[i]});
        i += match->length;
    }
    return ranges;
}

QString EmojiFontFamily() { return QStringLiteral("Noto Color Emoji"); }

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
