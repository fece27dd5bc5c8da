// Pictographs in the list control's cells: drawn as colour emoji (the text fonts' one-colour
// forms of the heart and the sun would otherwise win), measured as drawn for the alignment
// and the "..." cut, and next to ordinary text that keeps its own font.
#include <QHeaderView>
#include <QtTest>

#include "colour_emoji_face.h"
#include "controls/ctn_list_ctrl.h"
#include "controls/emoji_text.h"
#include "controls/sjis_text.h"

using namespace sorvanto;

namespace {

const std::string kHeart = "\xF9\x91";  // heavy black heart
const std::string kSun = "\xF8\x9F";    // black sun with rays

bool Reddish(const QColor& c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; }
bool Yellowish(const QColor& c) { return c.red() > 200 && c.green() > 150 && c.blue() < 90; }
// Neither the white background nor the black text pen, nor grey antialiasing between them.
bool Coloured(const QColor& c) { return c.hsvSaturation() > 80 && c.value() > 60; }

// The coloured pixels of one cell of the grabbed viewport: count and rightmost column.
struct Paint {
    int coloured = 0;
    int rightmost = -1;
    int red = 0;
    int yellow = 0;
};

Paint Scan(const QImage& image, const QRect& cell) {
    Paint p;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (!Coloured(c)) continue;
            ++p.coloured;
            p.rightmost = std::max(p.rightmost, x);
            p.red += Reddish(c);
            p.yellow += Yellowish(c);
        }
    return p;
}

QImage Viewport(CtnListCtrl& list) { return list.viewport()->grab().toImage(); }

// The viewport rectangle of a row's cell as the control drew it last.
QRect CellOf(CtnListCtrl& list, int row, int column) {
    list.viewport()->repaint(list.visualRect(list.Model()->index(row, 0)));
    const QRect rect = list.LastCellRect(column);
    return rect;
}

void Save(const QImage& image, const char* name) {
    const QByteArray dir = qgetenv("SORVANTO_SHOT_DIR");
    if (!dir.isEmpty()) image.save(QString::fromUtf8(dir) + QLatin1Char('/') + QString::fromUtf8(name));
}

}  // namespace

class EmojiListTest : public QObject {
    Q_OBJECT

    // One list of three rows: heart with text, sun alone (right-aligned column 1) and plain text.
    void Fill(CtnListCtrl& list) {
        list.InsertColumn(0, QStringLiteral("タイトル"), ellipsis_fit::Alignment::kLeft, 160);
        list.InsertColumn(1, QStringLiteral("印"), ellipsis_fit::Alignment::kRight, 80);
        list.InsertRow(0, "love " + kHeart + " you");
        list.SetItemText(0, 1, kSun);
        list.InsertRow(1, "\x83\x65\x83\x58\x83\x67");  // テスト
        list.SetItemText(1, 1, "#1");
        list.resize(300, 120);
        list.show();
    }

private Q_SLOTS:
    void pictographCellsAreDrawnInColour() {
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();  // the cells are measured by their coloured pixels
        CtnListCtrl list;
        Fill(list);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage image = Viewport(list);
        Save(image, "emoji_list.png");
        const QRect heart_cell = CellOf(list, 0, 0);
        const QRect sun_cell = CellOf(list, 0, 1);
        const Paint heart = Scan(image, heart_cell);
        const Paint sun = Scan(image, sun_cell);
        QVERIFY2(heart.red > 10, "the heart is not red");
        QVERIFY2(sun.yellow > 10, "the sun is not yellow");
        // A row of text, digits and '#' has no colour at all: they keep the text font.
        QCOMPARE(Scan(image, CellOf(list, 1, 0)).coloured, 0);
        QCOMPARE(Scan(image, CellOf(list, 1, 1)).coloured, 0);
    }

    void rightAlignedEmojiEndsAtTheCellsRightMargin() {
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();  // the cells are measured by their coloured pixels
        CtnListCtrl list;
        Fill(list);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage image = Viewport(list);
        const QRect cell = CellOf(list, 0, 1);
        const Paint sun = Scan(image, cell);
        // Right alignment leaves two pixels; measured in the text font instead, the emoji
        // would end elsewhere or be cut by the cell's edge.
        const int advance = emoji_text::Width(list.font(), sjis_text::ToQString(kSun));
        QVERIFY(sun.rightmost <= cell.right() - 1);
        QVERIFY2(sun.rightmost >= cell.right() - 2 - advance / 3,
                 qPrintable(QStringLiteral("sun ends at %1, cell at %2").arg(sun.rightmost).arg(cell.right())));
    }

    void longPictographTextIsCutWithinTheCell() {
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();  // the cells are measured by their coloured pixels
        CtnListCtrl list;
        list.InsertColumn(0, QStringLiteral("タイトル"), ellipsis_fit::Alignment::kLeft, 90);
        list.InsertColumn(1, QStringLiteral("次"), ellipsis_fit::Alignment::kLeft, 60);
        std::string hearts;
        for (int i = 0; i < 20; ++i) hearts += kHeart;
        list.InsertRow(0, hearts);
        list.SetItemText(0, 1, "x");
        list.resize(200, 80);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage image = Viewport(list);
        const QRect cell = CellOf(list, 0, 0);
        const Paint drawn = Scan(image, cell);
        QVERIFY(drawn.red > 10);
        // The cut leaves room for "..." in the text font: the last hearts are gone and the
        // right part of the cell holds no colour.
        const int dots = QFontMetrics(list.font()).horizontalAdvance(QStringLiteral("..."));
        QVERIFY2(drawn.rightmost < cell.right() - dots,
                 qPrintable(QStringLiteral("colour up to %1, cell ends %2").arg(drawn.rightmost).arg(cell.right())));
        // The emoji's width is what the cut works with: as many hearts as fit, not fewer.
        const int heart = emoji_text::Width(list.font(), sjis_text::ToQString(kHeart));
        QVERIFY(drawn.rightmost > cell.right() - dots - 4 - 2 * heart);
    }

    void emojiRangesLeaveStandInsAndPlainCharactersOut() {
        // Shift_JIS: 'a', the sun, '1', keycap one (F987), the i-mode stand-in (F975), ☆ (81 99).
        const QString text = sjis_text::ToQString("a\xF8\x9F" "1\xF9\x87\xF9\x75\x81\x99");
        const QList<sjis_text::EmojiRange> ranges = sjis_text::EmojiRanges(text);
        QCOMPARE(ranges.size(), 2);
        QCOMPARE(text.mid(ranges[0].start, ranges[0].length), QString(QChar(0x2600)));
        QCOMPARE(text.mid(ranges[1].start, ranges[1].length), QStringLiteral("1\u20E3"));
        // A typed keycap with its variation selector is one range; a digit alone none.
        const QString typed = QStringLiteral("2\uFE0F\u20E3 3");
        QCOMPARE(sjis_text::EmojiRanges(typed).size(), 1);
        QCOMPARE(sjis_text::EmojiRanges(typed)[0].length, 3);
    }

    void everyPlainCharacterRoundTripsUntouched() {
        // No character of code page 932 outside the pictographs may be taken for an emoji:
        // it would be stored as a pictograph code and drawn in the emoji font.
        int checked = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF) continue;
            if (lead == 0xF8 || lead == 0xF9) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                const std::string bytes{char(lead), char(trail)};
                const QString shown = sjis_text::ToQString(bytes);
                if (shown.contains(QChar(0xFFFD))) continue;  // not a character of code page 932
                ++checked;
                QVERIFY2(sjis_text::EmojiRanges(shown).isEmpty(), qPrintable(shown));
                const auto back = sjis_text::FromQString(shown);
                // Code page 932 gives several codes one character (NEC and IBM rows); the
                // way back may choose another of them but never a pictograph.
                QVERIFY2(back && back->size() == 2, qPrintable(QString::number(lead * 256 + trail, 16)));
                QVERIFY(static_cast<unsigned char>((*back)[0]) < 0xF8 ||
                        static_cast<unsigned char>((*back)[0]) > 0xF9 ||
                        sjis_text::ToQString(*back) == shown);
            }
        }
        QVERIFY(checked > 7000);
    }
};

QTEST_MAIN(EmojiListTest)
#include "test_emoji_list.moc"
