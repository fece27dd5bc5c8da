// Pictures of the main window and its dialogs. With SORVANTO_SHOT_DIR set (scripts/shot-shell.sh)
// they are written there as PNG files for a person to look at; the test itself checks that
// each window draws at its expected size.
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTimer>

#include "app/about_dlg.h"
#include "app/busy_dlg.h"
#include "app/config_sheet.h"
#include "app/copy_data_event.h"
#include "app/main_frame.h"
#include "app/select_view.h"
#include "app/sorvanto_doc.h"
#include "common/sjis.h"
#include "dialogs/comment_dlg.h"
#include "lists/category_list.h"
#include "store/receive_pump.h"
#include "test_shell_fixture.h"

using namespace sorvanto;
using sorvanto::test::ShellHome;

namespace {

void Save(const QPixmap& pm, const QString& name) {
    QVERIFY(!pm.isNull());
    const QByteArray dir = qgetenv("SORVANTO_SHOT_DIR");
    if (!dir.isEmpty()) QVERIFY(pm.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name));
}

// Imports every sample object of a family as if the handset had pushed it.
void ImportSamples(CMainFrame& frame, const QString& family) {
    const QDir samples(QStringLiteral(SORVANTO_SOURCE_DIR "/data/samples/") + family);
    int n = 0;
    for (const QString& file : samples.entryList(QDir::Files)) {
        const std::string name = file.toStdString();
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%08x", ++n);
        ReceivePump::Notify(frame.Queue(), test::PlaceReceived(family + QLatin1Char('/') + file, stamp, name));
    }
    frame.OnTimer();
}

}  // namespace

class ShotTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainWindowPerModel_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("family");
        QTest::newRow("P503i") << 0 << QStringLiteral("family0");
        QTest::newRow("N504i") << 2 << QStringLiteral("nec");
        QTest::newRow("N503i") << 7 << QStringLiteral("nec");
        QTest::newRow("P504i") << 1 << QStringLiteral("family1");
        QTest::newRow("F504i") << 4 << QStringLiteral("family4");
        QTest::newRow("N505i") << 8 << QStringLiteral("nec");
    }
    void mainWindowPerModel() {
        QFETCH(int, model);
        QFETCH(QString, family);
        ShellHome home;
        home.WriteSettings("[System]\r\nIrMode=0\r\nModel=" + std::to_string(model) + "\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.resize(900, 640);
        frame.show();
        frame.StartUp();
        ImportSamples(frame, family);
        const int tabs = frame.SelectView()->TabCount();
        frame.SelectView()->SelectTab(tabs - 1);  // the address book, or the camera pictures
        QApplication::processEvents();
        const QPixmap pm = frame.grab();
        QCOMPARE(pm.size(), QSize(900, 640));
        Save(pm, QStringLiteral("main-model%1.png").arg(model));
    }

    void dialogs() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=8\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.resize(900, 640);
        frame.show();
        frame.StartUp();

        CConfigSheet sheet(doc, &frame, QStringLiteral("Config"), &frame);
        sheet.show();
        QApplication::processEvents();
        Save(sheet.grab(), QStringLiteral("config-model.png"));
        sheet.Tabs()->setCurrentIndex(1);
        QApplication::processEvents();
        Save(sheet.grab(), QStringLiteral("config-irmode.png"));
        sheet.hide();

        CAboutDlg about(&frame);
        about.show();
        QApplication::processEvents();
        Save(about.grab(), QStringLiteral("about.png"));

        CBusyDlg busy;
        busy.show();
        QTest::qWait(1100);  // two animation steps
        QVERIFY(busy.Beam()->isVisible());
        Save(busy.grab(), QStringLiteral("busy.png"));

        // A right-click on an address-book row: the list asks the main window for its menu,
        // drawn here over the window where it popped up.
        ImportSamples(frame, QStringLiteral("nec"));
        // The mail tabs with their row images.
        for (int tab : {3, 4}) {
            frame.SelectView()->SelectTab(tab);
            QApplication::processEvents();
            Save(frame.grab(), QStringLiteral("main-mail-tab%1.png").arg(tab));
        }
        frame.SelectView()->SelectTab(5);
        auto* book = dynamic_cast<CCategoryList*>(frame.SelectView()->PageOf(Category::kAddress));
        QVERIFY(book && book->RowCount() > 0);
        book->SelectRow(0);
        const QPoint at = book->viewport()->mapToGlobal(book->visualRect(book->model()->index(0, 0)).center());
        book->RowRightClicked(0, at);
        auto* menu = frame.findChild<QMenu*>(QStringLiteral("ContextMenu"));
        QVERIFY(menu);
        QApplication::processEvents();
        QStringList enabled;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->isEnabled()) enabled << a->text();
        // Every command of the address book's menu is there for its row.
        QCOMPARE(enabled.size(), 5);
        QPixmap scene = frame.grab();
        {
            QPainter p(&scene);
            p.drawPixmap(frame.mapFromGlobal(menu->pos()), menu->grab());
        }
        Save(scene, QStringLiteral("context-menu.png"));
        menu->close();

        // The address book's own menu in the menu bar, opened.
        QMenu* bar_menu = nullptr;
        for (QAction* top : frame.menuBar()->actions())
            if (top->menu() && top->text().startsWith(QString::fromUtf8("アドレス帳"))) bar_menu = top->menu();
        QVERIFY(bar_menu);
        bar_menu->popup(frame.mapToGlobal(QPoint(80, 20)));
        QApplication::processEvents();
        QPixmap with_menu = frame.grab();
        {
            QPainter p(&with_menu);
            p.drawPixmap(frame.mapFromGlobal(bar_menu->pos()), bar_menu->grab());
        }
        Save(with_menu, QStringLiteral("menu-bar.png"));
        bar_menu->close();

        // 表示 with the button bar hidden: only ステータスバー carries the check mark.
        frame.OnCommand(59392);
        QMenu* view_menu = nullptr;
        for (QAction* top : frame.menuBar()->actions())
            if (top->menu() && top->text().startsWith(QString::fromUtf8("表示"))) view_menu = top->menu();
        QVERIFY(view_menu);
        view_menu->popup(frame.mapToGlobal(QPoint(160, 20)));
        QApplication::processEvents();
        QPixmap with_view = frame.grab();
        {
            QPainter p(&with_view);
            p.drawPixmap(frame.mapFromGlobal(view_menu->pos()), view_menu->grab());
        }
        Save(with_view, QStringLiteral("view-menu.png"));
        view_menu->close();
        frame.OnCommand(59392);

        // The comment dialog filled to its 200 bytes.
        CCommentDlg comment(&frame);
        comment.SetComment(sjis::Lit("覚え書き：着信音は朝の目覚まし用。") + std::string(60, 'a'));
        comment.show();
        for (int i = 0; i < 80; ++i) comment.Edit()->insertPlainText(QString::fromUtf8("あ"));
        QApplication::processEvents();
        Save(comment.grab(), QStringLiteral("comment.png"));
    }
};

QTEST_MAIN(ShotTest)
#include "test_shell_shots.moc"
