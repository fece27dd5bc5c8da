#include "controls/emoji_text.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

#include "controls/sjis_text.h"

namespace sorvanto::emoji_text {

namespace {

QFont EmojiFont(const QFont& font) {
    QFont emoji(font);
    emoji.setFamilies(QStringList{sjis_text::EmojiFontFamily()});
    return emoji;
}

// Calls run(piece, is_emoji) for the alternating plain and emoji pieces of text, in order.
// Runs are measured and drawn each in its own font, so the width is what the drawing takes,
// and no text layout is built per cell (the list measures a cut text once per character).
template <class Run>
void ForEachRun(const QString& text, const QList<sjis_text::EmojiRange>& ranges, Run run) {
    int at = 0;
    for (const sjis_text::EmojiRange& range : ranges) {
        if (range.start > at) run(text.mid(at, range.start - at), false);
        run(text.mid(range.start, range.length), true);
        at = range.start + range.length;
    }
    if (at < text.size()) run(text.mid(at), false);
}

// One emoji as drawn: the colour emoji font keeps its glyphs as PNG pictures that are decoded
// on every drawText, which made a list of titles with pictographs five times slower to paint.
// Each emoji is drawn once per face and size into a picture that is reused. The UI thread is
// the only painter.
struct Drawn {
    QPixmap picture;
    int advance = 0;
    int ascent = 0;
};

const Drawn& DrawnEmoji(const QFont& emoji_font, const QString& emoji, qreal ratio) {
    static QHash<QString, Drawn> cache;
    const QString key = emoji_font.key() + QLatin1Char('|') + QString::number(ratio) + QLatin1Char('|') + emoji;
    const auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    // The emoji of all pictographs in a few sizes is a few hundred entries; start again if a
    // caller keeps changing faces.
    if (cache.size() > 4096) cache.clear();
    const QFontMetrics metrics(emoji_font);
    Drawn drawn;
    drawn.advance = metrics.horizontalAdvance(emoji);
    drawn.ascent = metrics.ascent();
    const QSize size(std::max(1, drawn.advance), std::max(1, metrics.height()));
    drawn.picture = QPixmap(size * ratio);
    drawn.picture.setDevicePixelRatio(ratio);
    drawn.picture.fill(Qt::transparent);
    QPainter painter(&drawn.picture);
    painter.setFont(emoji_font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, drawn.ascent), emoji);
    painter.end();
    return *cache.insert(key, std::move(drawn));
}

}  // namespace

int Width(const QFont& font, const QString& text) {
    const QFontMetrics plain(font);
    const QList<sjis_text::EmojiRange> ranges = sjis_text::EmojiRanges(text);
    if (ranges.isEmpty()) return plain.horizontalAdvance(text);
    const QFont emoji_font = EmojiFont(font);
    int width = 0;
    ForEachRun(text, ranges, [&](const QString& piece, bool is_emoji) {
        width += is_emoji ? DrawnEmoji(emoji_font, piece, 1.0).advance : plain.horizontalAdvance(piece);
    });
    return width;
}

void Draw(QPainter* painter, const QFont& font, QPoint baseline, const QString& text) {
    const QList<sjis_text::EmojiRange> ranges = sjis_text::EmojiRanges(text);
    if (ranges.isEmpty()) {
        painter->setFont(font);
        painter->drawText(baseline, text);
        return;
    }
    const QFont emoji_font = EmojiFont(font);
    const QFontMetrics plain(font);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->setFont(font);
    // Every run sits on the plain text's baseline, so the row's text stays level.
    int x = baseline.x();
    ForEachRun(text, ranges, [&](const QString& piece, bool is_emoji) {
        if (is_emoji) {
            const Drawn& drawn = DrawnEmoji(emoji_font, piece, ratio);
            painter->drawPixmap(QPoint(x, baseline.y() - drawn.ascent), drawn.picture);
            x += drawn.advance;
        } else {
            painter->drawText(QPoint(x, baseline.y()), piece);
            x += plain.horizontalAdvance(piece);
        }
    });
}

}  // namespace sorvanto::emoji_text
