// The controls as the program shows them, with Japanese sample rows and pictographs. Checks that
// the installed fonts really draw the text (no missing-glyph boxes); with SORVANTO_SHOT_DIR set
// it also writes each control as a PNG there (scripts/shot-controls.sh).
#include <QGlyphRun>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtTest>

#include "controls/colour_button.h"
#include "controls/ctn_list_ctrl.h"
#include "controls/ctn_tab_ctrl.h"
#include "controls/owner_draw_menu_style.h"
#include "controls/sjis_text.h"
#include "pictograph/emoji_table.h"

using namespace sorvanto;

namespace {

// Sample rows: title, time, size (Shift_JIS); the first title holds the sun pictograph F89F.
struct SampleRow {
    const char* title;
    const char* time;
    const char* size;
};
const SampleRow kRows[] = {
    {"\x82\xA8\x93\x56\x8B\x43\xF8\x9F\x82\xC5\x82\xB7", "2003/05/01 09:12:30  ", "1200"},
    {"\x89\xEF\x8B\x63\x82\xCC\x82\xA8\x92\x6D\x82\xE7\x82\xB9\xF9\x91", "2003/04/28 18:40:02 *", "860"},
    {"Re: \x8E\xCA\x90\x5E\x91\x97\x82\xE8\x82\xDC\x82\xB7\xF8\xE2", "2003/04/30 12:00:00  ", "40511"},
    {"\x92\xB7\x82\xA2\x8C\x8F\x96\xBC\x82\xCD\x8D\xC5\x8C\xE3\x82\xAA\x8F\xC8\x97\xAA\x82\xB3\x82\xEA\x82\xDC\x82\xB7",
     "2003/03/03 03:03:03  ", "7"},
};

// Glyph index 0 is the font's missing-glyph box.
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

void Save(QWidget& widget, const char* name) {
    const QByteArray dir = qgetenv("SORVANTO_SHOT_DIR");
    if (dir.isEmpty()) return;
    QVERIFY(widget.grab().save(QString::fromUtf8(dir) + QLatin1Char('/') + QString::fromUtf8(name)));
}

}  // namespace

class ControlsGalleryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listWithSampleRows() {
        CtnListCtrl list(nullptr, CtnListCtrl::Selection::kMultiple);
        list.SetExtendedStyle(CtnListCtrl::kFullRowSelect);
        list.InsertColumn(0, QStringLiteral("件名"), ellipsis_fit::Alignment::kLeft, 170);
        list.InsertColumn(1, QStringLiteral("受信日時"), ellipsis_fit::Alignment::kLeft, 150);
        list.InsertColumn(2, QStringLiteral("サイズ"), ellipsis_fit::Alignment::kRight, 60);
        QPixmap mail(16, 16);
        mail.fill(QColor(0x33, 0x55, 0x88));
        list.SetSmallImages({mail});
        for (int i = 0; i < 4; ++i) {
            list.InsertRow(i, kRows[i].title, i == 3 ? -1 : 0);
            list.SetItemText(i, 1, kRows[i].time);
            list.SetItemText(i, 2, kRows[i].size);
        }
        list.resize(400, 130);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.SelectRow(1);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(MissingGlyphs(sjis_text::ToQString(kRows[i].title), list.font()), 0);
        QCOMPARE(MissingGlyphs(QStringLiteral("受信日時"), list.font()), 0);
        // The long title is cut with "..." inside its 170 pixels.
        list.viewport()->repaint();
        QVERIFY(list.LastCellRect(0).width() > 0);
        Save(list, "list.png");
    }

    void colourButtonRow() {
        QWidget bar;
        auto* layout = new QHBoxLayout(&bar);
        const QString captions[] = {QStringLiteral("受信"), QStringLiteral("送信"), QStringLiteral("削除"),
                                    QStringLiteral("出力")};
        ColourButton* buttons[4];
        for (int i = 0; i < 4; ++i) {
            buttons[i] = new ColourButton(captions[i], &bar);
            buttons[i]->setMinimumSize(70, 30);
            if (i < 3) buttons[i]->Setup(0xFF8C8C, 0x010101, 0x800000, 2, 0x302);
            else buttons[i]->Setup(0x0000FF, 0xFFFFFF, 0x000080, 4, 0x00A);
            buttons[i]->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(buttons[i]);
        }
        buttons[1]->SetVisualState(ColourButton::VisualState::kHot, false);
        buttons[2]->setEnabled(false);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        for (const QString& caption : captions) QCOMPARE(MissingGlyphs(caption, buttons[0]->font()), 0);
        Save(bar, "buttons.png");
    }

    void tabControlWithPages() {
        CtnTabCtrl tabs;
        tabs.Init(8);
        tabs.SetColours(2, 0x885533, 0x800000, 0xFFFFFF, 0, 0xFF8C8C, 0x00FFFF, 2, 0);
        const QString titles[] = {QStringLiteral("着メロ"), QStringLiteral("待受画像"), QStringLiteral("ブックマーク"),
                                  QStringLiteral("送信メール"), QStringLiteral("受信メール"), QStringLiteral("アドレス帳")};
        for (const QString& title : titles) {
            auto* page = new QLabel(title + QStringLiteral(" の一覧 ") + sjis_text::ToQString("\xF9\x91\xF8\x9F"));
            page->setAutoFillBackground(true);
            QCOMPARE(tabs.AddPage(title, page), true);
            QCOMPARE(MissingGlyphs(title, tabs.font()), 0);
        }
        tabs.resize(560, 160);
        tabs.SelectPage(4, true);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QVERIFY(tabs.CurrentPage()->isVisible());
        Save(tabs, "tabs.png");
    }

    void ownerDrawnMenu() {
        QMenu menu;
        OwnerDrawMenuStyle style(OwnerDrawMenuStyle::ContextMenuLook(menu.font()));
        QPixmap icon(16, 16);
        icon.fill(QColor(0x33, 0x55, 0x88));
        menu.addAction(QIcon(icon), QStringLiteral("送信(&S)\tCtrl+S"));
        QAction* checked = menu.addAction(QStringLiteral("全件選択"));
        checked->setCheckable(true);
        checked->setChecked(true);
        menu.addSeparator();
        menu.addAction(QStringLiteral("削除(&D)\tDel"))->setEnabled(false);
        menu.addMenu(QStringLiteral("エクスポート"))->addAction(QStringLiteral("vCard"));
        style.Convert(&menu);
        menu.setActiveAction(menu.actions().first());
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QCOMPARE(MissingGlyphs(QStringLiteral("送信全件選択削除エクスポート"), menu.font()), 0);
        Save(menu, "menu.png");
    }

    void pictographsHaveGlyphs() {
        // Every pictograph in the shipped table is drawn by some installed font.
        QFont font;
        int missing = 0;
        for (const auto& entry : pictograph::EmojiTable()) {
            const std::string bytes{char(entry.code >> 8), char(entry.code & 0xFF)};
            const int m = MissingGlyphs(sjis_text::ToQString(bytes), font);
            if (m) qWarning("no glyph for %04X", entry.code);
            missing += m;
        }
        QCOMPARE(missing, 0);
    }
};

QTEST_MAIN(ControlsGalleryTest)
#include "test_controls_gallery.moc"
