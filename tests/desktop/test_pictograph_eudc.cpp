// The EUDC registration dialog over a Windows-like platform in memory and over this system's.
#include <map>

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "dialogs/eudc_register_dlg.h"

using namespace sorvanto;

namespace {

class MemoryEudcPlatform : public EudcPlatform {
public:
    std::map<std::string, std::string> files;
    std::optional<std::string> registry;

    bool HasEudc() const override { return true; }
    std::optional<std::string> ReadDefaultFont() const override { return registry; }
    bool WriteDefaultFont(std::string_view path) override {
        registry = std::string(path);
        return true;
    }
    std::string WindowsFolder() const override { return "C:\\WINDOWS"; }
    bool FileExists(std::string_view path) const override { return files.count(std::string(path)) > 0; }
    std::optional<std::string> ReadFile(std::string_view path) const override {
        const auto it = files.find(std::string(path));
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool CopyFile(std::string_view from, std::string_view to) override {
        const auto bytes = ReadFile(from);
        if (bytes) files[std::string(to)] = *bytes;
        return bytes.has_value();
    }
    bool HasEnableEudc() const override { return true; }
    bool EnableEudc(bool) override { return true; }
};

const QString kBackupLine = QStringLiteral("古い外字は、\nOldEUDC.EUF OldEUDC.TTE\nとして保存します");

}  // namespace

class PictographEudcTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backupLineOnlyWithAPreviousFont() {
        MemoryEudcPlatform platform;
        {
            CEudcRegisterDlg dialog(platform);
            QVERIFY(dialog.Notice()->text().startsWith(QStringLiteral("ｉモード用絵文字を外字として登録します。\n")));
            QCOMPARE(dialog.BackupLine()->text(), QString());
            QVERIFY(dialog.RegisterButton()->isEnabled());
        }
        platform.registry = "EUDC.TTE";
        CEudcRegisterDlg dialog(platform);
        QCOMPARE(dialog.BackupLine()->text(), kBackupLine);
    }

    void registerInstallsAndCancelDoesNothing() {
        MemoryEudcPlatform platform;
        platform.registry = "D:\\MyFonts\\GAIJI.TTE";
        platform.files = {{".\\svEUDC.TTE", "own tte"}, {".\\svEUDC.EUF", "own euf"},
                          {"D:\\MyFonts\\GAIJI.TTE", "gaiji tte"}, {"D:\\MyFonts\\GAIJI.EUF", "gaiji euf"}};
        {
            CEudcRegisterDlg dialog(platform);
            dialog.show();
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(platform.files.size(), std::size_t(4));
        }
        CEudcRegisterDlg dialog(platform);
        dialog.show();
        QTest::mouseClick(dialog.RegisterButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.LastResult().installed);
        QCOMPARE(platform.files[".\\OldEUDC.TTE"], std::string("gaiji tte"));
        QCOMPARE(platform.files["C:\\WINDOWS\\fonts\\EUDC.EUF"], std::string("own euf"));
        QCOMPARE(platform.registry, std::optional<std::string>("C:\\WINDOWS\\fonts\\EUDC.TTE"));
    }

    void systemWithoutEudcExplainsTheEmojiFont() {
        NoEudcPlatform platform;
        CEudcRegisterDlg dialog(platform);
        QVERIFY(dialog.Notice()->text().contains(QStringLiteral("絵文字フォント")));
        QVERIFY(!dialog.Notice()->text().contains(QStringLiteral("使用できなくなります")));
        QCOMPARE(dialog.BackupLine()->text(), QString());
        QVERIFY(!dialog.RegisterButton()->isEnabled());
    }
};

QTEST_MAIN(PictographEudcTest)
#include "test_pictograph_eudc.moc"
