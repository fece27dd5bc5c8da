#include <QHeaderView>
#include <QImage>
#include <QtTest>

#include "controls/ctn_list_ctrl.h"
#include "controls/ellipsis_fit.h"
#include "controls/emoji_text.h"
#include "controls/list_sort.h"
#include "controls/sjis_text.h"

using namespace sorvanto;

namespace {

// Every byte 10 pixels wide: the arithmetic of the fit rule without a font.
int TenPerByte(std::string_view s) { return static_cast<int>(s.size()) * 10; }

std::vector<std::string> Column(const CtnListCtrl& list, int column) {
    std::vector<std::string> out;
    for (int row = 0; row < list.RowCount(); ++row) out.push_back(list.ItemText(row, column));
    return out;
}

QColor Pixel(const QImage& image, const QPoint& p) { return image.pixelColor(p); }

const QColor kNavy(0, 0, 128);

}  // namespace

class ControlsListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void compareFoldsOnlyAsciiCapitals() {
        QCOMPARE(list_sort::CompareCells("abc", "ABC"), 0);
        QCOMPARE(list_sort::CompareCells("Z", "a"), 1);
        QCOMPARE(list_sort::CompareCells("a", "Z"), -1);
        QCOMPARE(list_sort::CompareCells("ab", "abc"), -1);
        // 'A'..'Z' as a trail byte folds too: ア (83 41) equals ャ (83 61).
        QCOMPARE(list_sort::CompareCells("\x83\x41", "\x83\x61"), 0);
        // Bytes compare unsigned: a double-byte character sorts after ASCII.
        QCOMPARE(list_sort::CompareCells("\x82\xA0", "z"), 1);
        QCOMPARE(list_sort::CompareCells("[", "a"), -1);  // '[' lies between 'Z' and 'a'
    }

    void headerClickTogglesDirection() {
        CtnListCtrl list;
        list.InsertColumn(0, QStringLiteral("名前"), ellipsis_fit::Alignment::kLeft, 100);
        list.InsertColumn(1, QStringLiteral("日時"), ellipsis_fit::Alignment::kLeft, 100);
        const char* names[] = {"b", "A", "c", "B"};
        for (int i = 0; i < 4; ++i) {
            list.InsertRow(i, names[i]);
            list.SetItemText(i, 1, "same");
            list.SetUserValue(i, 10 + i);
        }
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.SelectRow(3);  // "B"

        const QPoint first_header(list.header()->sectionViewportPosition(0) + 10, 5);
        QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {}, first_header);
        QCOMPARE(Column(list, 0), (std::vector<std::string>{"A", "b", "B", "c"}));  // stable: b before B
        QCOMPARE(list.UserValue(0), 11);
        QCOMPARE(list.ItemText(list.SelectedRow(), 0), std::string("B"));  // selection follows its row

        QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {}, first_header);
        QCOMPARE(Column(list, 0), (std::vector<std::string>{"c", "b", "B", "A"}));
        QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {}, first_header);
        QCOMPARE(Column(list, 0), (std::vector<std::string>{"A", "b", "B", "c"}));

        // All equal: already ascending, so the descending pass runs and keeps the order.
        const auto before = Column(list, 0);
        QCOMPARE(list.SortByColumn(1), list_sort::Direction::kDescending);
        QCOMPARE(Column(list, 0), before);
        QCOMPARE(list.SortByColumn(1), list_sort::Direction::kDescending);
    }

    void rowsAndRecords() {
        CtnListCtrl list(nullptr, CtnListCtrl::Selection::kMultiple);
        list.InsertColumn(0, QStringLiteral("a"), ellipsis_fit::Alignment::kLeft, 50);
        QCOMPARE(list.InsertRow(-1, "x"), -1);
        QCOMPARE(list.InsertRow(5, "x", 2), 0);  // past the end appends
        QCOMPARE(list.InsertRow(0, "y"), 0);
        QCOMPARE(list.Record(1)->image, 2);
        QCOMPARE(list.Record(0)->image, -1);
        QVERIFY(!list.SetUserValue(7, 1));
        QCOMPARE(list.UserValue(7), 0);
        QVERIFY(!list.DeleteRow(2));
        QVERIFY(list.DeleteRow(0));
        QCOMPARE(list.ItemText(0, 0), std::string("x"));
        for (int i = 1; i < 10; ++i) QCOMPARE(list.InsertColumn(i, QString(), ellipsis_fit::Alignment::kLeft, 10), i);
        QCOMPARE(list.InsertColumn(10, QString(), ellipsis_fit::Alignment::kLeft, 10), -1);
        list.DeleteAllRows();
        QCOMPARE(list.RowCount(), 0);
    }

    void fitRuleOffsetsAndStrictTest() {
        using ellipsis_fit::Alignment;
        // "abcdef" is 60 px wide: it fits a 65 px cell but not a 64 px one.
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 65, Alignment::kLeft, TenPerByte).text, std::string("abcdef"));
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 65, Alignment::kLeft, TenPerByte).x_offset, 2);
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 65, Alignment::kRight, TenPerByte).x_offset, 3);
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 75, Alignment::kCentre, TenPerByte).x_offset, 7);
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 64, Alignment::kLeft, TenPerByte).text, std::string("ab..."));
        // Kept part + "..." must stay under width - 4: 40 + 30 < 80 but 50 + 30 is not.
        QCOMPARE(ellipsis_fit::FitCell("abcdefghij", 84, Alignment::kLeft, TenPerByte).text, std::string("abcd..."));
        QCOMPARE(ellipsis_fit::FitCell("abcdefghij", 85, Alignment::kRight, TenPerByte).text, std::string("abcde..."));
        // One character wider than its column still shows with "...".
        const auto wide_w = [](std::string_view s) { return s == "W" ? 40 : static_cast<int>(s.size()) * 3; };
        QCOMPARE(ellipsis_fit::FitCell("W", 30, Alignment::kLeft, wide_w).text, std::string("W..."));
        QCOMPARE(ellipsis_fit::FitCell("\x82\xA0\x82\xA2", 35, Alignment::kLeft, TenPerByte).text,
                 std::string("\x82\xA0..."));  // never half a double-byte character
        // Narrower than "...": the whole text, left to the clipping.
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 20, Alignment::kRight, TenPerByte).text, std::string("abcdef"));
        QCOMPARE(ellipsis_fit::FitCell("abcdef", 20, Alignment::kRight, TenPerByte).x_offset, 2);
    }

    void fitRuleInTheControlsFont() {
        CtnListCtrl list;
        const QFontMetrics metrics(list.font());
        const auto measure = [&](std::string_view s) { return metrics.horizontalAdvance(sjis_text::ToQString(s)); };
        const std::string text = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x92\xB7\x82\xA2\x83\x5E\x83\x43\x83\x67\x83\x8B";
        const int width = measure(text) / 2;
        const auto fit = ellipsis_fit::FitCell(text, width, ellipsis_fit::Alignment::kLeft, measure);
        QVERIFY(fit.text.size() > 3 && fit.text.ends_with("..."));
        QVERIFY(measure(fit.text) < width - 4 + 2);  // within rounding of the prefix rule
        QCOMPARE((fit.text.size() - 3) % 2, std::size_t(0));
    }

    void paintsTheSchemeColours() {
        CtnListCtrl list;
        list.InsertColumn(0, QStringLiteral("件名"), ellipsis_fit::Alignment::kLeft, 80);
        list.InsertColumn(1, QStringLiteral("日時"), ellipsis_fit::Alignment::kRight, 80);
        for (int i = 0; i < 3; ++i) {
            list.InsertRow(i, "\x83\x65\x83\x58\x83\x67");  // テスト
            list.SetItemText(i, 1, "2003/01/02");
        }
        list.resize(240, 150);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.SelectRow(1);
        list.clearFocus();

        const auto cell_probe = [&](int row, int column) {
            const QRect r = list.visualRect(list.Model()->index(row, column));
            return QPoint(list.header()->sectionViewportPosition(column) + 79, r.center().y());
        };
        QImage image = list.viewport()->grab().toImage();
        QCOMPARE(Pixel(image, cell_probe(1, 0)), kNavy);
        QCOMPARE(Pixel(image, cell_probe(1, 1)), QColor(Qt::white));  // only the first cell without full-row
        QCOMPARE(Pixel(image, cell_probe(0, 0)), QColor(Qt::white));
        // The unselected row's text is black, the selected row's white on navy.
        bool black = false, white_on_selected = false;
        const QRect row0 = list.visualRect(list.Model()->index(0, 0));
        const QRect row1 = list.visualRect(list.Model()->index(1, 0));
        for (int x = 0; x < 78; ++x)
            for (int dy = 0; dy < row0.height(); ++dy) {
                black |= Pixel(image, {x, row0.top() + dy}) == QColor(Qt::black);
                white_on_selected |= Pixel(image, {x, row1.top() + dy}) == QColor(Qt::white);
            }
        QVERIFY(black);
        QVERIFY(white_on_selected);

        list.SetExtendedStyle(0x10);
        QVERIFY(!list.FullRowSelect());
        list.SetExtendedStyle(CtnListCtrl::kFullRowSelect);
        image = list.viewport()->grab().toImage();
        QCOMPARE(Pixel(image, cell_probe(1, 1)), kNavy);
        QCOMPARE(Pixel(image, cell_probe(2, 1)), QColor(Qt::white));
        QCOMPARE(list.LastCellRect(1).left(), list.LastCellRect(0).right() + 1);
    }

    void imageShiftsOnlyRowsThatHaveOne() {
        CtnListCtrl list;
        list.InsertColumn(0, QStringLiteral("a"), ellipsis_fit::Alignment::kLeft, 100);
        QPixmap icon(16, 16);
        icon.fill(Qt::red);
        list.SetSmallImages({icon});
        list.InsertRow(0, "with", 0);
        list.InsertRow(1, "without", -1);
        list.resize(200, 100);
        list.setFocusPolicy(Qt::NoFocus);  // no focus rectangle in the way
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage image = list.viewport()->grab().toImage();
        const QRect r0 = list.visualRect(list.Model()->index(0, 0));
        const QRect r1 = list.visualRect(list.Model()->index(1, 0));
        QCOMPARE(Pixel(image, {8, r0.top() + 8}), QColor(Qt::red));
        QCOMPARE(Pixel(image, {8, r1.top() + 8}) == QColor(Qt::red), false);
        // The text of a row without an image starts 2 pixels in; with one, after the image.
        const auto first_ink = [&](const QRect& r) {
            for (int x = 0; x < 100; ++x)
                for (int y = r.top(); y <= r.bottom(); ++y)
                    if (Pixel(image, {x, y}) != QColor(Qt::white) && Pixel(image, {x, y}) != QColor(Qt::red)) return x;
            return -1;
        };
        QVERIFY(first_ink(r1) >= 2 && first_ink(r1) < 6);
        QVERIFY(first_ink(r0) >= 18);
    }

    void dividerDoubleClickFitsTheColumnToItsWidestCell() {
        CtnListCtrl list;
        const auto left = ellipsis_fit::Alignment::kLeft;
        list.InsertColumn(0, QStringLiteral("名前"), left, 40);
        list.InsertColumn(1, QStringLiteral("とても長い見出しの列"), left, 40);
        list.InsertColumn(2, QStringLiteral("c"), left, 300);
        QPixmap icon(16, 16);
        icon.fill(Qt::red);
        list.SetSmallImages({icon});
        const std::string suns = "\xF8\x9F\xF8\x9F\xF8\x9F\xF8\x9F";  // drawn in the emoji font
        const std::string longest = "a much longer first cell";
        list.InsertRow(0, "b");
        list.InsertRow(1, longest, 0);
        list.InsertRow(2, "a rather long cell here");  // nearly as wide, without the image
        list.SetItemText(0, 1, "x");
        list.SetItemText(1, 1, suns);
        list.SetItemText(0, 2, "short");
        list.resize(600, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QHeaderView* header = list.header();
        const auto divider = [header](int c) {
            return QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) - 1, header->height() / 2);
        };
        const QFontMetrics metrics(list.font());
        const ellipsis_fit::Measure plain = [&metrics](std::string_view b) {
            return metrics.horizontalAdvance(sjis_text::ToQString(b));
        };
        const ellipsis_fit::Measure emoji = [&list](std::string_view b) {
            return emoji_text::Width(list.font(), sjis_text::ToQString(b));
        };
        // The widest cell is drawn whole at the fitted width and would be cut one pixel narrower.
        const auto fits_exactly = [](const std::string& text, int width, const ellipsis_fit::Measure& m) {
            return ellipsis_fit::FitCell(text, width, ellipsis_fit::Alignment::kLeft, m).text == text &&
                   ellipsis_fit::FitCell(text, width - 1, ellipsis_fit::Alignment::kLeft, m).text != text;
        };

        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider(0));
        QVERIFY(fits_exactly(longest, header->sectionSize(0) - icon.width(), plain));
        QCOMPARE(Column(list, 0), (std::vector<std::string>{"b", longest, "a rather long cell here"}));  // no sort
        // The heading does not count, as in a Windows list; the emoji are measured as drawn.
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider(1));
        QVERIFY(fits_exactly(suns, header->sectionSize(1), emoji));
        QVERIFY(header->sectionSize(1) < metrics.horizontalAdvance(QStringLiteral("とても長い見出しの列")));
        // A wide column of short cells narrows.
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider(2));
        QVERIFY(fits_exactly("short", header->sectionSize(2), plain));

        // No rows: nothing to fit to, the width stays.
        list.DeleteAllRows();
        header->resizeSection(2, 120);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider(2));
        QCOMPARE(header->sectionSize(2), 120);
    }

    void textRoundTripsWithPictographs() {
        // 晴れ☀です#⃣ and the i-mode logo, which has no emoji
        const std::string bytes = "\x90\xB0\x82\xEA\xF8\x9F\x82\xC5\x82\xB7\xF9\x85\xF9\x75";
        const QString shown = sjis_text::ToQString(bytes);
        QVERIFY(shown.contains(QString::fromUcs4(U"\u2600")));
        QVERIFY(shown.contains(QString::fromUcs4(U"#\u20E3")));
        QVERIFY(!shown.contains(QChar(0xE63E)));
        QCOMPARE(sjis_text::FromQString(shown), std::optional<std::string>(bytes));
        // Typed or pasted emoji with a presentation selector, and the private-use form.
        QCOMPARE(sjis_text::FromQString(QString::fromUcs4(U"\u2600\uFE0F\uE63F")),
                 std::optional<std::string>("\xF8\x9F\xF8\xA0"));
        QCOMPARE(sjis_text::FromQString(QString::fromUcs4(U"a\uFE0Fb")), std::optional<std::string>("ab"));
        // Characters code page 932 has no room for are refused, not turned into '?'.
        QVERIFY(!sjis_text::FromQString(QString::fromUcs4(U"\uD55C")));
        QVERIFY(!sjis_text::FromQString(QString::fromUcs4(U"\U0001F600")));  // an emoji i-mode lacks
        QCOMPARE(sjis_text::ToQString("\xF8"), QString(QChar(0xFFFD)));
    }
};

QTEST_MAIN(ControlsListTest)
#include "test_controls_list.moc"
