// The pictograph keyboard and a mail with pictographs as a person sees them: every pictograph
// has a glyph, and the emoji come out in colour. With SORVANTO_SHOT_DIR set the pictures are
// also written there as PNGs (scripts/shot-pictographs.sh).
#include <QGlyphRun>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtTest>

#include "colour_emoji_face.h"
#include "controls/sjis_text.h"
#include "dialogs/pictograph_keyboard_dlg.h"
#include "dialogs/sjis_edit_guard.h"
#include "store/mail_text_file.h"

using namespace sorvanto;

namespace {

// Glyph index 0 is a font's missing-glyph box.
int MissingGlyphs(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int missing = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (quint32 glyph : run.glyphIndexes()) missing += glyph == 0;
    return missing;
}

// Distinct colours in a rectangle that are neither white nor grey: a colour emoji has many.
int ColourfulShades(const QImage& image, const QRect& rect) {
    QSet<QRgb> shades;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturation() > 60) shades.insert(c.rgb());
        }
    return int(shades.size());
}

void Save(const QImage& image, const char* name) {
    const QByteArray dir = qgetenv("SORVANTO_SHOT_DIR");
    if (dir.isEmpty()) return;
    QVERIFY(image.save(QString::fromUtf8(dir) + QLatin1Char('/') + QString::fromUtf8(name)));
}

}  // namespace

class PictographShotsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyboardDrawsEveryPictographInColour() {
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();
        CPictographKeyboardDlg keyboard(SORVANTO_SOURCE_DIR "/data/imoji.ini");
        keyboard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keyboard));
        QVERIFY(keyboard.Grid().Count() >= 250);
        for (const PictographEntry& entry : keyboard.Grid().Entries())
            QVERIFY2(MissingGlyphs(sjis_text::ToQString(entry.DisplayBytes()), CPictographKeyboardDlg::GridFont()) == 0,
                     qPrintable(QString::number(entry.display[0] << 8 | entry.display[1], 16)));
        // The sun (F89F) and the heart (F991) are colour emoji, not one-colour outlines.
        const QImage& grid = keyboard.GridImage();
        const auto cell = [](int index) {
            const auto c = PictographGrid::CellOf(index);
            return QRect(c.x, c.y, c.width, c.height);
        };
        QVERIFY(ColourfulShades(grid, cell(0)) > 8);
        QTest::mouseClick(&keyboard, Qt::LeftButton, {}, QPoint(12 + 19 * 5 + 9, 12 + 19 * 2 + 9));
        QCOMPARE(keyboard.Grid().Selection(), 53);
        Save(keyboard.grab().toImage(), "pictograph-keyboard.png");
    }

    void mailTextShowsEmojiInColour() {
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();
        MailItem mail;
        QCOMPARE(ReadMailItem(SORVANTO_TEST_DATA "/mail/3F2A10B0E1", true, mail), MailFileRead::kOk);
        QWidget window;
        auto* subject = new QLineEdit(sjis_text::ToQString(mail.subject), &window);
        auto* body = new QPlainTextEdit(sjis_text::ToQString(mail.body), &window);
        SjisEditGuard::Attach(subject);
        SjisEditGuard::Attach(body);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(subject);
        layout->addWidget(body);
        window.resize(360, 170);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(MissingGlyphs(body->toPlainText(), body->font()), 0);
        const QImage image = window.grab().toImage();
        // The sun of the subject and the face at the end of the body are drawn in colour.
        const QRect subject_rect = subject->geometry().adjusted(4, 4, -4, -4);
        QVERIFY(ColourfulShades(image, subject_rect) > 8);
        Save(image, "pictograph-mail.png");
    }
};

QTEST_MAIN(PictographShotsTest)
#include "test_pictograph_shots.moc"
