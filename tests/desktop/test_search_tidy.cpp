// The search bar over the lists and the duplicates dialog, on the samples a handset pushes.
// With SORVANTO_SHOT_DIR set, pictures of both are written there.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/search_bar.h"
#include "app/select_view.h"
#include "app/sorvanto_doc.h"
#include "app/sorvanto_view.h"
#include "common/sjis.h"
#include "dialogs/duplicates_dlg.h"
#include "lists/category_list.h"
#include "store/address_entry_file.h"
#include "store/address_store.h"
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

// Receives sample objects of family1 (P504i) as pushed, in one tick.
void Receive(CMainFrame& frame, const QStringList& files) {
    static int n = 0;
    for (const QString& file : files) {
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%08x", ++n);
        ReceivePump::Notify(frame.Queue(), test::PlaceReceived(QStringLiteral("family1/") + file, stamp,
                                                               file.toStdString()));
    }
    frame.OnTimer();
}

CCategoryList* ListOf(CMainFrame& frame, Category c) {
    return dynamic_cast<CCategoryList*>(frame.SelectView()->PageOf(c)->Widget());
}

// The first cells of the rows a person sees.
QStringList VisibleNames(CCategoryList* list) {
    QStringList names;
    for (int row = 0; row < list->RowCount(); ++row)
        if (!list->isRowHidden(row, QModelIndex()))
            names << QString::fromStdString(sjis::ToUtf8(list->ItemText(row, 0)));
    return names;
}

// Types text one character at a time as a keyboard (or an input method) does; QTest's own
// keyClicks takes Latin-1 alone.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

int TabOf(CSelectView& view, const char* text) {
    for (int i = 0; i < view.TabCount(); ++i)
        if (view.TabText(i) == QString::fromUtf8(text)) return i;
    return -1;
}

}  // namespace

class SearchTidyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typingFiltersTheRowsAndEscRestoresThem() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=1\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.resize(900, 640);
        frame.show();
        frame.StartUp();
        Receive(frame, {QStringLiteral("telecom_pb.vcf"), QStringLiteral("telecom_inmsg.vmg")});
        CSelectView& view = *frame.SelectView();
        view.SelectTab(TabOf(view, "アドレス帳"));
        CCategoryList* book = ListOf(frame, Category::kAddress);
        QCOMPARE(book->RowCount(), 3);

        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(&frame, Qt::Key_F, Qt::ControlModifier);
        CSearchBar* bar = view.SearchBar();
        QVERIFY(bar && bar->isVisible());
        QVERIFY(bar->Text()->hasFocus());
        // A hiragana reading finds the entry stored in katakana, at each keystroke.
        Type(bar->Text(), QString::fromUtf8("さと"));
        QCOMPARE(VisibleNames(book), QStringList({QString::fromUtf8("佐藤 花子")}));
        bar->Text()->clear();
        QTest::keyClicks(bar->Text(), QStringLiteral("0312345678"));  // 山田's home number, written with hyphens
        QCOMPARE(VisibleNames(book), QStringList({QString::fromUtf8("山田 太郎")}));
        QCOMPARE(bar->Status()->text(), QString::fromUtf8("1 件"));
        // Another tab is filtered by the same text; the address book gets every row back.
        bar->Text()->setText(QString::fromUtf8("予定"));
        view.SelectTab(TabOf(view, "受信メール"));
        QCOMPARE(VisibleNames(ListOf(frame, Category::kInMail)).size(), 1);
        QCOMPARE(VisibleNames(book).size(), 3);
        // Text Shift_JIS cannot hold matches nothing; an empty text everything.
        bar->Text()->setText(QString::fromUtf8("€"));
        QCOMPARE(VisibleNames(ListOf(frame, Category::kInMail)).size(), 0);
        bar->Text()->setText(QString(10000, QLatin1Char('x')));
        QCOMPARE(VisibleNames(ListOf(frame, Category::kInMail)).size(), 0);
        bar->Text()->setText(QString());
        QCOMPARE(VisibleNames(ListOf(frame, Category::kInMail)).size(), 2);

        bar->Text()->setText(QString::fromUtf8("ご案内"));
        QCOMPARE(VisibleNames(ListOf(frame, Category::kInMail)).size(), 1);
        QTest::keyClick(bar->Text(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QVERIFY(bar->Text()->text().isEmpty());
        QCOMPARE(VisibleNames(ListOf(frame, Category::kInMail)).size(), 2);
        QCOMPARE(VisibleNames(book).size(), 3);
    }

    void allCategoriesListShowsTheItemInItsTab() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=1\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.resize(900, 640);
        frame.show();
        frame.StartUp();
        Receive(frame, {QStringLiteral("telecom_pb.vcf"), QStringLiteral("telecom_inmsg.vmg"),
                        QStringLiteral("telecom_sentmsg.vmg"), QStringLiteral("telecom_bm.url")});
        CSelectView& view = *frame.SelectView();
        // The tools menu carries both commands.
        QMenu* tools = nullptr;
        for (QAction* top : frame.menuBar()->actions())
            if (top->menu() && top->text().startsWith(QString::fromUtf8("ツール"))) tools = top->menu();
        QVERIFY(tools);
        QStringList items;
        for (QAction* a : tools->actions()) items << a->text();
        QVERIFY(items.contains(QString::fromUtf8("検索...\tCtrl+F")));
        QVERIFY(items.contains(QString::fromUtf8("重複の整理...")));
        tools->popup(frame.mapToGlobal(QPoint(200, 20)));
        QApplication::processEvents();
        Save(tools->grab(), QStringLiteral("tools-menu.png"));
        tools->close();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.OnCommand(cmd::kSearch);
        CSearchBar* bar = view.SearchBar();
        bar->AllCategories()->setChecked(true);
        Type(bar->Text(), QString::fromUtf8("今夜"));
        QTreeWidget* results = bar->Results();
        QVERIFY(results->isVisible());
        // The received mail and the reply in the sent box, in tab order.
        QCOMPARE(results->topLevelItemCount(), 2);
        QCOMPARE(results->topLevelItem(0)->text(0), QString::fromUtf8("送信メール"));
        QCOMPARE(results->topLevelItem(1)->text(0), QString::fromUtf8("受信メール"));
        QVERIFY(results->topLevelItem(1)->text(1).contains(QString::fromUtf8("今夜の予定")));
        QApplication::processEvents();
        Save(frame.grab(), QStringLiteral("search-bar.png"));

        results->setCurrentItem(results->topLevelItem(1));
        results->setFocus();
        QTest::keyClick(results, Qt::Key_Return);
        QCOMPARE(view.TabText(view.CurrentIndex()), QString::fromUtf8("受信メール"));
        CCategoryList* inbox = ListOf(frame, Category::kInMail);
        const int row = inbox->SelectedRow();
        QVERIFY(row >= 0);
        QVERIFY(QString::fromStdString(sjis::ToUtf8(inbox->ItemText(row, 1))).contains(QString::fromUtf8("今夜")));

        // A double-click on the bookmark's line shows the bookmark.
        bar->Text()->setText(QStringLiteral("weather"));
        QCOMPARE(results->topLevelItemCount(), 1);
        QTreeWidgetItem* bookmark = results->topLevelItem(0);
        const QRect at = results->visualItemRect(bookmark);
        // A person's double-click is a click and then the double-click event.
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, at.center());
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, at.center());
        QCOMPARE(view.TabText(view.CurrentIndex()), QString::fromUtf8("ブックマーク"));
        CCategoryList* marks = ListOf(frame, Category::kBookmark);
        QVERIFY(marks->SelectedRow() >= 0);
        QVERIFY(marks->ItemText(marks->SelectedRow(), 1).find("weather") != std::string::npos);

        QTest::keyClick(results, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QCOMPARE(VisibleNames(marks).size(), marks->RowCount());
    }

    void rowsPushedWhileTheBarIsOpenAreFilteredAsTheyArrive() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=1\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.resize(900, 640);
        frame.show();
        frame.StartUp();
        Receive(frame, {QStringLiteral("pb.vcf")});
        CSelectView& view = *frame.SelectView();
        view.SelectTab(TabOf(view, "アドレス帳"));
        CCategoryList* book = ListOf(frame, Category::kAddress);
        frame.OnCommand(cmd::kSearch);
        CSearchBar* bar = view.SearchBar();
        bar->AllCategories()->setChecked(true);
        Type(bar->Text(), QString::fromUtf8("さと"));
        QCOMPARE(VisibleNames(book), QStringList());
        QCOMPARE(bar->Results()->topLevelItemCount(), 0);

        // Three entries and two mails in one tick: only the match shows, before any paint.
        Receive(frame, {QStringLiteral("telecom_pb.vcf"), QStringLiteral("telecom_inmsg.vmg")});
        QCOMPARE(book->RowCount(), 4);
        QCOMPARE(VisibleNames(book), QStringList({QString::fromUtf8("佐藤 花子")}));
        // The count and the list of every category follow.
        QTRY_COMPARE(bar->Results()->topLevelItemCount(), 1);
        QCOMPARE(bar->Status()->text(), QString::fromUtf8("1 件"));
        QVERIFY(bar->Results()->topLevelItem(0)->text(1).contains(QString::fromUtf8("佐藤")));

        // An entry changed to match comes into sight, one changed away goes out of it.
        auto& store = static_cast<AddressStore&>(book->Store());
        const int suzuki = book->UserValue(3);
        const int sato = book->UserValue(2);
        auto entry = ReadAddressEntry(store.Find(suzuki)->path);
        QVERIFY(entry);
        entry->kana = sjis::FromUtf8("サトミ").value();
        QVERIFY(store.Rewrite(suzuki, *entry));
        entry = ReadAddressEntry(store.Find(sato)->path);
        QVERIFY(entry);
        entry->kana = sjis::FromUtf8("ハナ").value();
        QVERIFY(store.Rewrite(sato, *entry));
        QCOMPARE(VisibleNames(book), QStringList({QString::fromUtf8("鈴木")}));
        QTRY_COMPARE(bar->Results()->topLevelItemCount(), 1);
        QTRY_VERIFY(bar->Results()->topLevelItem(0)->text(1).contains(QString::fromUtf8("鈴木")));

        // Closed, the bar leaves what arrives alone.
        bar->Close();
        Receive(frame, {QStringLiteral("pb.vcf")});
        QCOMPARE(VisibleNames(book).size(), 5);
    }

    void duplicatesDialogMergesTwoEntriesAfterItsBackup() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=1\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.show();
        frame.StartUp();
        Receive(frame, {QStringLiteral("telecom_pb.vcf")});
        // The same friend pushed again from another handset, with another mobile number.
        const std::string again = test::PlaceReceived(QStringLiteral("family1/pb.vcf"), "000000ff", "pb.vcf");
        std::string bytes = fs::ReadFile(again).value();
        bytes.replace(bytes.find("090-1234-5678"), 13, "090-8765-4321");
        fs::WriteFile(again, bytes);
        ReceivePump::Notify(frame.Queue(), again);
        frame.OnTimer();
        auto& store = static_cast<AddressStore&>(frame.SelectView()->PageOf(Category::kAddress)->Store());
        QCOMPARE(store.Count(), 4);

        CDuplicatesDlg dialog([&frame] { return frame.SelectView()->Stores(); }, &frame);
        QStringList told;
        dialog.SetTell([&told](QWidget*, const QString& text) { told << text; });
        QCOMPARE(dialog.GroupList().size(), std::size_t(1));
        QVERIFY(dialog.MergeButton()->isEnabled());
        QVERIFY(!dialog.DeleteButton()->isEnabled());
        QCOMPARE(dialog.Groups()->topLevelItem(0)->childCount(), 2);
        dialog.show();
        QApplication::processEvents();
        Save(dialog.grab(), QStringLiteral("duplicates-dialog.png"));

        // No backup, no change.
        fs::WriteFile("Backup", "not a folder");
        QTest::mouseClick(dialog.MergeButton(), Qt::LeftButton);
        QCOMPARE(told, QStringList({QString::fromUtf8("処理に失敗しました")}));
        QCOMPARE(store.Count(), 4);
        fs::DeleteFile("Backup");

        const int log_before = frame.LogView()->LineCount();
        QTest::mouseClick(dialog.MergeButton(), Qt::LeftButton);
        QCOMPARE(told.size(), 1);
        QCOMPARE(store.Count(), 3);
        QCOMPARE(dialog.GroupList().size(), std::size_t(0));
        const auto merged = ReadAddressEntry(store.At(0)->path);
        QVERIFY(merged);
        QCOMPARE(merged->tels, (std::vector<std::string>{"CELL:090-1234-5678", "HOME:03-1234-5678",
                                                         "CELL:090-8765-4321"}));
        // The list row follows and the deletion was logged.
        QCOMPARE(ListOf(frame, Category::kAddress)->RowCount(), 3);
        QCOMPARE(ListOf(frame, Category::kAddress)->ItemText(0, 2), std::string("090-8765-4321"));
        QCOMPARE(frame.LogView()->LineCount(), log_before + 1);
        // Both entries as they were before the merge.
        const QDir backup(QStringLiteral("Backup"));
        const QStringList stamps = backup.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(stamps.size(), 1);
        const QStringList files = QDir(backup.filePath(stamps[0])).entryList(QDir::Files);
        QCOMPARE(files, QStringList({QStringLiteral("address-0000.vcf"), QStringLiteral("address-0003.vcf")}));
        const QString copy_path = QStringLiteral("Backup/") + stamps[0] + QStringLiteral("/address-0003.vcf");
        const std::string copy = fs::ReadFile(copy_path.toStdString()).value_or("");
        QVERIFY(copy.find("TEL;CELL:090-8765-4321") != std::string::npos);
        QVERIFY(copy.find("TEL;CELL:090-1234-5678") == std::string::npos);
        QVERIFY(dialog.Status()->text().contains(QStringLiteral("Backup")));
    }

    void skipDuplicatesIsSetOnTheInfraredPage() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=1\r\nIrMode=0\r\nSkipDuplicates=1\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        Receive(frame, {QStringLiteral("telecom_pb.vcf")});
        Receive(frame, {QStringLiteral("telecom_pb.vcf")});
        QCOMPARE(frame.SelectView()->PageOf(Category::kAddress)->Store().Count(), 3);
        QVERIFY(frame.LogView()->LineAt(0).endsWith(QString::fromUtf8("[鈴木]は登録済みです")));
    }
};

QTEST_MAIN(SearchTidyTest)
#include "test_search_tidy.moc"
