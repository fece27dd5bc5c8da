// ファイル ▸ アーカイブ書き出し...: the menu item, a whole run with its closing message, and the
// progress dialog's cancel.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "app/archive_export.h"
#include "app/command_ids.h"
#include "app/menu_templates.h"
#include "archive/archive_writer.h"
#include "test_lists_support.h"

namespace sorvanto {

class ArchiveExportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void FileMenuCarriesTheItem() {
        const auto menu = MenuTemplates::Menu(MenuTemplates::kDefaultMenu);
        QVERIFY(!menu.empty());
        bool found = false;
        for (const auto& item : menu.front().items)
            if (item.id == cmd::kArchive)
                found = item.text && std::string(item.text) == "アーカイブ書き出し(&R)...";
        QVERIFY(found);
    }

    void ArchivesTheStoreAndSaysSo() {
        test::ListHome home;
        test::ListHome::CopyFixture(QStringLiteral("store/address"), QStringLiteral("."));
        test::ListHome::CopyFixture(QStringLiteral("store/melodyindex"), QStringLiteral("."));
        const QString target = QDir::current().filePath(QStringLiteral("archive"));
        CArchiveExport::SetFolderQuestion([&](QWidget*) { return std::optional<QString>(target); });
        QString told;
        // The closing message box comes after the run: read it and close it.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                told = box->text();
                box->accept();
            }
        });
        closer.start(20);
        QWidget parent;
        CArchiveExport::Run(&parent);
        QVERIFY2(told.startsWith(QStringLiteral("アーカイブを書き出しました")), qPrintable(told));
        QVERIFY(QFile::exists(target + QStringLiteral("/contacts.vcf")));
        QVERIFY(QFile::exists(target + QStringLiteral("/SHA256SUMS")));
        // The same folder again is refused, and the refusal says why.
        told.clear();
        CArchiveExport::Run(&parent);
        QVERIFY2(told.startsWith(QStringLiteral("フォルダが空ではありません")), qPrintable(told));
    }

    void CancelStopsBetweenFiles() {
        test::ListHome home;
        test::ListHome::CopyFixture(QStringLiteral("store/address"), QStringLiteral("."));
        test::ListHome::CopyFixture(QStringLiteral("store/melodyindex"), QStringLiteral("."));
        QWidget parent;
        QTimer::singleShot(0, [&] {
            if (auto* progress = parent.findChild<QProgressDialog*>(QStringLiteral("ArchiveProgress")))
                progress->cancel();
        });
        const QString target = QDir::current().filePath(QStringLiteral("archive"));
        const ArchiveResult result = CArchiveExport::RunInto(&parent, target);
        QCOMPARE(int(result.status), int(ArchiveResult::Status::kCancelled));
        QVERIFY(!QFile::exists(target + QStringLiteral("/SHA256SUMS")));
    }
};

}  // namespace sorvanto

QTEST_MAIN(sorvanto::ArchiveExportTest)
#include "test_archive_export.moc"
