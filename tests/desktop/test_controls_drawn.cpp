#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionMenuItem>
#include <QtTest>

#include "controls/colour_button.h"
#include "controls/colour_button_hot_tracker.h"
#include "controls/colour_derivation.h"
#include "controls/ctn_tab_ctrl.h"
#include "controls/owner_draw_menu_style.h"

using namespace sorvanto;

namespace {

QColor Bgr(std::uint32_t c) { return colours::ToQColor(c); }

QImage Grab(QWidget& w) { return w.grab().toImage(); }

}  // namespace

class ControlsDrawnTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void colourDerivations() {
        const auto shades = colours::DeriveButtonShades(0xFF8C8C);
        QCOMPARE(shades.light, 0xFFCBCBu);
        QCOMPARE(shades.lighter, 0xFFFFFFu);
        QCOMPARE(shades.dark, 0x7F4646u);
        QCOMPARE(colours::Lighten(0x000002), 0x010103u);
        QCOMPARE(colours::Lighten(0x000000), 0x010101u);
        QCOMPARE(colours::TabLight(0x885533), 0xCC9977u);
        QCOMPARE(colours::TabDark(0x885533), 0x442A19u);
        QCOMPARE(colours::TabLight(0x800000), 0xC04040u);
        QCOMPARE(colours::TabDark(0x800000), 0x400000u);
        QCOMPARE(Bgr(0x0000FF), QColor(255, 0, 0));  // 0xBBGGRR: red in the low byte
    }

    void buttonLooksByState() {
        // The keyboard's output button: no outline in either state, bevel of four rings.
        ColourButton button(QStringLiteral("出力"), nullptr);
        button.Setup(0x0000FF, 0xFFFFFF, 0x000080, 4, 0x00A);
        button.resize(80, 40);
        button.setFocusPolicy(Qt::NoFocus);
        QImage image = Grab(button);
        const auto light = colours::Lighten(0x0000FF);
        QCOMPARE(image.pixelColor(0, 0), Bgr(light));
        QCOMPARE(image.pixelColor(79, 39), Bgr(colours::Darken(0x0000FF)));
        QCOMPARE(image.pixelColor(6, 20), Bgr(0x0000FF));

        button.SetVisualState(ColourButton::VisualState::kHot, true);
        image = Grab(button);
        QCOMPARE(image.pixelColor(6, 20), Bgr(light));                       // face lightened
        QCOMPARE(image.pixelColor(0, 0), Bgr(colours::Lighten(light)));     // bevel: lighter / face
        QCOMPARE(image.pixelColor(79, 39), Bgr(0x0000FF));

        button.setDown(true);  // pressed: the bevel colours change places
        image = Grab(button);
        QCOMPARE(image.pixelColor(0, 0), Bgr(0x0000FF));
        QCOMPARE(image.pixelColor(79, 39), Bgr(colours::Lighten(light)));
    }

    void commandBarButtonOutlineAndDisabled() {
        ColourButton button(QStringLiteral("送信"), nullptr);
        button.Setup(0xFF8C8C, 0x010101, 0x800000, 2, 0x302);
        button.resize(60, 30);
        button.setFocusPolicy(Qt::NoFocus);
        button.SetVisualState(ColourButton::VisualState::kHot, false);
        QImage image = Grab(button);
        QCOMPARE(image.pixelColor(0, 0), Bgr(ColourButton::kOutlineColour));  // outline only when hot
        QCOMPARE(image.pixelColor(1, 1), Bgr(0xFFFFFF));                      // then the lighter bevel
        button.setEnabled(false);
        image = Grab(button);
        for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(59, 29), QPoint(4, 15)})
            QCOMPARE(image.pixelColor(p), Bgr(0xFF8C8C));  // flat in the face colour, no outline
    }

    void hotTrackerFollowsThePointer() {
        QWidget bar;
        auto* a = new ColourButton(QStringLiteral("A"), &bar);
        auto* b = new ColourButton(QStringLiteral("B"), &bar);
        a->setGeometry(0, 0, 40, 20);
        b->setGeometry(40, 0, 40, 20);
        bar.resize(100, 20);
        bar.show();
        ColourButtonHotTracker tracker(&bar);
        tracker.UpdateAt({45, 5});
        QCOMPARE(a->State(), ColourButton::VisualState::kNormal);
        QCOMPARE(b->State(), ColourButton::VisualState::kHot);
        tracker.UpdateAt({90, 5});
        QCOMPARE(b->State(), ColourButton::VisualState::kNormal);
    }

    void menuItemLayout() {
        OwnerDrawMenuStyle style;
        QMenu menu;
        QAction* open = menu.addAction(QStringLiteral("開く\tCtrl+O"));
        QMenu* sub = menu.addMenu(QStringLiteral("その他"));
        sub->addAction(QStringLiteral("削除"));
        style.Convert(&menu);
        QCOMPARE(sub->style(), static_cast<QStyle*>(&style));

        QStyleOptionMenuItem option;
        option.initFrom(&menu);
        option.font = menu.font();
        option.text = open->text();
        option.menuItemType = QStyleOptionMenuItem::Normal;
        const QFontMetrics metrics(option.font);
        const QSize size = style.sizeFromContents(QStyle::CT_MenuItem, &option, {}, &menu);
        const int icon = metrics.height();  // no icon size set
        QCOMPARE(size.width(), 2 * 2 + 2 * 6 + icon + metrics.horizontalAdvance(QStringLiteral("開く        Ctrl+O")));
        QCOMPARE(style.ShortcutColumn(), metrics.horizontalAdvance(QStringLiteral("aa")) + 2);

        // Selected: the bar in the selection colour, the text after the tab ends at the right.
        QImage image(240, size.height(), QImage::Format_RGB32);
        option.rect = image.rect();
        option.state = QStyle::State_Enabled | QStyle::State_Selected;
        {
            QPainter painter(&image);
            style.drawControl(QStyle::CE_MenuItem, &option, &painter, &menu);
        }
        QCOMPARE(image.pixelColor(239, size.height() / 2), Bgr(0x800000));
        QCOMPARE(image.pixelColor(1, size.height() / 2), Bgr(0xC0C0C0));  // icon column keeps its colour
        const int text_right = 240 - style.ShortcutColumn() - 6;
        int rightmost_ink = -1;
        for (int x = 0; x < 240; ++x)
            for (int y = 0; y < size.height(); ++y)
                if (image.pixelColor(x, y) == QColor(Qt::white)) rightmost_ink = std::max(rightmost_ink, x);
        QVERIFY2(rightmost_ink < text_right && rightmost_ink > text_right - 6, qPrintable(QString::number(rightmost_ink)));

        // A separator is an etched line across the middle.
        QStyleOptionMenuItem separator = option;
        separator.menuItemType = QStyleOptionMenuItem::Separator;
        separator.state = QStyle::State_Enabled;
        separator.rect = QRect(0, 0, 100, 8);
        QImage line(100, 8, QImage::Format_RGB32);
        {
            QPainter painter(&line);
            style.drawControl(QStyle::CE_MenuItem, &separator, &painter, &menu);
        }
        QCOMPARE(line.pixelColor(50, 4), QColor(0x80, 0x80, 0x80));
        QCOMPARE(line.pixelColor(50, 5), QColor(Qt::white));
    }

    void tabPagesFollowTheSelection() {
        CtnTabCtrl tabs;
        tabs.Init(3);
        tabs.Init(8);  // only the first call counts
        tabs.SetColours(2, 0x885533, 0x800000, 0xFFFFFF, 0, 0xFF8C8C, 0x00FFFF, 2, 0);
        tabs.resize(400, 300);
        QWidget* pages[3];
        for (int i = 0; i < 3; ++i) {
            pages[i] = new QWidget;
            QVERIFY(tabs.AddPage(QStringLiteral("頁%1").arg(i), pages[i]));
        }
        QVERIFY(!tabs.AddPage(QStringLiteral("多すぎ"), new QWidget(&tabs)));
        QCOMPARE(tabs.PageCount(), 3);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        // The page of the first tab is current but stays hidden until it is selected.
        QCOMPARE(tabs.CurrentPage(), pages[0]);
        QVERIFY(!pages[0]->isVisible());

        QSignalSpy changed(&tabs, &CtnTabCtrl::TabChanged);
        tabs.SelectPage(0, false);  // the selected tab, without force: nothing
        QVERIFY(!pages[0]->isVisible());
        tabs.SelectPage(0, true);
        QVERIFY(pages[0]->isVisible());
        QCOMPARE(pages[0]->geometry(), tabs.PageArea());
        tabs.SelectPage(1, false);
        QVERIFY(!pages[0]->isVisible());
        QVERIFY(pages[1]->isVisible());
        tabs.SelectPage(7, true);
        QCOMPARE(tabs.CurrentIndex(), 1);
        QCOMPARE(changed.count(), 0);  // programmatic selection does not notify

        QSignalSpy refresh(&tabs, &CtnTabCtrl::UpdateViewsRequested);
        const QRect third = tabs.TabBar()->tabRect(2);
        QTest::mouseClick(tabs.TabBar(), Qt::LeftButton, {}, third.center());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QWidget*>(), pages[2]);
        QCOMPARE(changed.at(0).at(1).toInt(), 2);
        QCOMPARE(refresh.count(), 1);
        QVERIFY(pages[2]->isVisible() && !pages[1]->isVisible());

        tabs.resize(500, 320);
        QCOMPARE(pages[2]->geometry(), tabs.PageArea());
        const QRect area = tabs.PageArea();
        QCOMPARE(area.left(), 2);
        QCOMPARE(area.right(), 500 - 2 - 1);
        QCOMPARE(area.bottom(), 320 - 2 - 1);
        QCOMPARE(area.top(), tabs.TabBar()->geometry().bottom() + 1 + 2);
    }

    void tabsPaintAsButtons() {
        CtnTabCtrl tabs;
        tabs.Init(8);
        tabs.SetColours(2, 0x885533, 0x800000, 0xFFFFFF, 0, 0xFF8C8C, 0x00FFFF, 2, 0);
        tabs.AddPage(QStringLiteral("着信メール"), new QWidget);
        tabs.AddPage(QStringLiteral("送信メール"), new QWidget);
        tabs.resize(400, 200);
        tabs.SelectPage(0, true);
        const QImage image = tabs.TabBar()->grab().toImage();
        const QRect selected = tabs.TabBar()->tabRect(0), other = tabs.TabBar()->tabRect(1);
        QCOMPARE(image.pixelColor(selected.topLeft()), Bgr(0x010101));
        QCOMPARE(image.pixelColor(selected.topLeft() + QPoint(1, 1)), Bgr(colours::TabDark(0x800000)));
        QCOMPARE(image.pixelColor(selected.bottomRight() - QPoint(1, 1)), Bgr(colours::TabLight(0x800000)));
        QCOMPARE(image.pixelColor(selected.left() + 3, selected.top() + 3), Bgr(0x800000));
        QCOMPARE(image.pixelColor(other.topLeft() + QPoint(1, 1)), Bgr(colours::TabLight(0x885533)));
        QCOMPARE(image.pixelColor(other.left() + 3, other.top() + 3), Bgr(0x885533));
        QCOMPARE(image.pixelColor(image.width() - 2, 3), Bgr(0xFF8C8C));  // right of the last tab
        bool white_text = false;
        for (int x = selected.left(); x < selected.right(); ++x)
            white_text |= image.pixelColor(x, selected.center().y()) == QColor(Qt::white);
        QVERIFY(white_text);
    }
};

QTEST_MAIN(ControlsDrawnTest)
#include "test_controls_drawn.moc"
