#include "controls/sjis_text.h"

#include <QList>

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

}  // namespace sorvanto::sjis_text
