// The start-up pieces: the document's lookups, the configuration pages, the About box, the
// process and command-line layer.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QThread>

#include "app/about_dlg.h"
#include "app/cnf_irmode_page.h"
#include "app/cnf_model_page.h"
#include "app/config_events.h"
#include "app/config_sheet.h"
#include "app/sorvanto_doc.h"
#include "platform/launch_process.h"
#include "test_shell_fixture.h"

using namespace sorvanto;
using sorvanto::test::ShellHome;

namespace {
struct RecordingEvents : ConfigEvents {
    int model_changes = 0;
    int ir_mode = -1;
    bool own_obex = true;
    void OnModelChanged() override { ++model_changes; }
    void OnIrModeChanged(int mode) override { ir_mode = mode; }
    bool IsOwnObexAvailable() override { return own_obex; }
};

QStringList Items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}
}  // namespace

class AppTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void documentReadsDefaultsAndWritesAtExit() {
        ShellHome home;
        {
            CSorvantoDoc doc;
            QCOMPARE(doc.GetModel(), -1);
            QCOMPARE(doc.GetIrMode(), 1);
            QCOMPARE(doc.SetModel(8), -1);
            doc.SetIrMode(0);
            std::string name;
            QCOMPARE(doc.GetModelName(8, &name, 32), 1);
            QCOMPARE(QString::fromStdString(name), QStringLiteral("N505i"));
            QCOMPARE(doc.GetModelName(3, &name, 32), 0);
            int id = -2;
            QCOMPARE(doc.GetModelAt(5, &name, 32, &id), 1);
            QCOMPARE(id, 8);
            QCOMPARE(doc.GetModelAt(6, &name, 32, &id), 0);
        }
        QCOMPARE(QString::fromStdString(home.Settings()),
                 QStringLiteral("[System]\r\nModel=8\r\nIrMode=0\r\n"));
    }

    void titleStaysForAModelNotOffered() {
        ShellHome home;
        QWidget window;
        CSorvantoDoc doc;
        doc.SetMainWindow(&window);
        doc.SetModel(4);
        QCOMPARE(window.windowTitle(), QStringLiteral("Sorvanto - F504i(S)"));
        doc.SetModel(5);
        QCOMPARE(window.windowTitle(), QStringLiteral("Sorvanto - F504i(S)"));
    }

    void modelPageListsModelsAndTheirLines() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=8\r\n");
        CSorvantoDoc doc;
        RecordingEvents events;
        CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Config"));
        auto* page = sheet.ModelPage();
        QCOMPARE(page->Combo()->count(), 6);
        QCOMPARE(page->Combo()->currentText(), QStringLiteral("N505i"));
        // N505i has a second standby size; the others show one.
        QVERIFY(Items(page->InfoList()).at(0).startsWith(QString::fromUtf8("待受サイズ：")));
        QVERIFY(QRegularExpression(QString::fromUtf8("^待受サイズ：\\d+ x \\d+ \\(108 x 80\\)$"))
                    .match(Items(page->InfoList()).at(0))
                    .hasMatch());
        page->Combo()->setCurrentIndex(0);
        const QStringList lines = Items(page->InfoList());
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines.at(0).startsWith(QString::fromUtf8("待ち受けサイズ：")));
        QVERIFY(lines.at(1).endsWith(QStringLiteral(" KByte")));
        QVERIFY(lines.at(4).startsWith(QString::fromUtf8("音数：")));
        // OK applies the chosen model; Cancel would not have.
        sheet.accept();
        QCOMPARE(doc.GetModel(), page->Combo()->itemData(0).toInt());
        QCOMPARE(events.model_changes, 1);
    }

    void infoLinesDivideByKilobytes() {
        model_profiles::ModelInfo info;
        info.standbyWidth = 120;
        info.standbyHeight = 130;
        info.standbyMaxBytes = 10 * 1024 + 1023;
        info.melodyMaxBytes = 6 * 1024;
        info.colours = 256;
        info.voices = 16;
        QCOMPARE(CCnfModelPage::InfoLines(info),
                 QStringList({QString::fromUtf8("待ち受けサイズ：120 x 130"), QString::fromUtf8("待受最大バイト数：10 KByte"),
                              QString::fromUtf8("色数：256 色"), QString::fromUtf8("着メロサイズ：6 KByte"),
                              QString::fromUtf8("音数：16 音")}));
    }

    void irPageChangesModeOnlyWhenItDiffersAndKeepsThePasscode() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=0\r\nIrMode=1\r\n");
        CSorvantoDoc doc;
        RecordingEvents events;
        {
            CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
            QCOMPARE(sheet.Tabs()->count(), 2);
            auto* ir = sheet.IrmodePage();
            QVERIFY(!ir->WirelessLink()->isChecked());
            ir->Passcode()->setText(QStringLiteral("4321"));
            sheet.accept();  // unchanged box: no mode change, no message
        }
        QCOMPARE(events.ir_mode, -1);
        QVERIFY(home.Settings().find("Passcode=4321") != std::string::npos);
        {
            events.own_obex = false;
            CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
            QVERIFY(!sheet.IrmodePage()->WirelessLink()->isEnabled());
            sheet.IrmodePage()->Passcode()->setText(QStringLiteral("12"));  // too short: kept
            sheet.IrmodePage()->WirelessLink()->setChecked(true);
            sheet.accept();
        }
        QCOMPARE(events.ir_mode, 0);
        QVERIFY(home.Settings().find("Passcode=4321") != std::string::npos);
    }

    void irPageSavesTheSerialAdapterChoices() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=0\r\nIrMode=1\r\n[Link]\r\nTransport=tcp\r\n");
        CSorvantoDoc doc;
        RecordingEvents events;
        {
            // Nothing changed: none of the link keys is written.
            CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
            auto* ir = sheet.IrmodePage();
            QCOMPARE(ir->Transport()->currentData().toString(), QStringLiteral("tcp"));
            QVERIFY(!ir->Port()->isEnabled());
            QVERIFY(!ir->Adapter()->isEnabled());
            QCOMPARE(ir->MaxBaud()->count(), 5);
            QCOMPARE(ir->MaxBaud()->currentData().toInt(), 115200);
            QCOMPARE(ir->Adapter()->currentData().toString(), QStringLiteral("plain"));
            sheet.accept();
        }
        QVERIFY(home.Settings().find("Port=") == std::string::npos);
        QVERIFY(home.Settings().find("Adapter=") == std::string::npos);
        QVERIFY(home.Settings().find("MaxBaud=") == std::string::npos);
        {
            CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
            auto* ir = sheet.IrmodePage();
            ir->Transport()->setCurrentIndex(ir->Transport()->findData(QStringLiteral("sir")));
            QVERIFY(ir->Port()->isEnabled());
            QVERIFY(ir->Port()->isEditable());
            ir->Port()->setEditText(QStringLiteral("/dev/ttyS1"));
            ir->Adapter()->setCurrentIndex(ir->Adapter()->findData(QStringLiteral("esi9680")));
            ir->MaxBaud()->setCurrentIndex(ir->MaxBaud()->findData(19200));
            sheet.accept();
        }
        const std::string saved = home.Settings();
        QVERIFY(saved.find("Transport=sir\r\n") != std::string::npos);
        QVERIFY(saved.find("Port=/dev/ttyS1\r\n") != std::string::npos);
        QVERIFY(saved.find("Adapter=esi9680\r\n") != std::string::npos);
        QVERIFY(saved.find("MaxBaud=19200\r\n") != std::string::npos);
        {
            // The next sheet shows what was saved; a transport this page does not offer stays.
            CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
            auto* ir = sheet.IrmodePage();
            QCOMPARE(ir->Port()->currentText(), QStringLiteral("/dev/ttyS1"));
            QCOMPARE(ir->Adapter()->currentData().toString(), QStringLiteral("esi9680"));
            QCOMPARE(ir->MaxBaud()->currentData().toInt(), 19200);
        }
        home.WriteSettings("[System]\r\nModel=0\r\n[Link]\r\nTransport=usb\r\n");
        {
            CConfigSheet sheet(doc, &events, QStringLiteral("Config"));
            QCOMPARE(sheet.IrmodePage()->Transport()->currentData().toString(), QStringLiteral("usb"));
            sheet.accept();
        }
        QVERIFY(home.Settings().find("Transport=usb\r\n") != std::string::npos);
    }

    void aboutBoxCarriesTheWholeHistory() {
        const QStringList lines = CAboutDlg::HistoryLines();
        QCOMPARE(lines.size(), 55);
        QCOMPARE(lines.first(), QStringLiteral("Ver 1.76 2004/04/27"));
        QCOMPARE(lines.at(52), QStringLiteral("Ver 0.90 2002/12/16"));
        QCOMPARE(lines.last(), QString::fromUtf8("    基本機能実装済み、環境別テスト用"));
        CAboutDlg dlg;
        QCOMPARE(dlg.History()->count(), 55);
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
    }

    void commandLineIsWordsWithTheFileInPlace() {
        QCOMPARE(CommandArguments("obexftp -b {file} --x", "/a b/c;rm -rf"),
                 (std::vector<std::string>{"obexftp", "-b", "/a b/c;rm -rf", "--x"}));
        QCOMPARE(CommandArguments("  send   --to=phone ", "/f"),
                 (std::vector<std::string>{"send", "--to=phone", "/f"}));
        QCOMPARE(CommandArguments("put --file={file}", "/f"), (std::vector<std::string>{"put", "--file=/f"}));
        QVERIFY(CommandArguments("   ", "/f").empty());
    }

    void launchedProgramGetsItsArgumentsWithoutAShell() {
        ShellHome home;
        const QString out = home.Path(QStringLiteral("out.txt"));
#ifdef _WIN32
        QSKIP("the case runs a POSIX shell (sh), which Windows does not have");
#endif
        const std::string tricky = "a b;$(touch " + home.Path(QStringLiteral("pwned")).toStdString() + ")";
        QVERIFY(LaunchProcess({"sh", "-c", "printf '%s' \"$1\" > \"$2\"", "sh", tricky, out.toStdString()}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out) && QFile(out).size() > 0, 5000);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().toStdString(), tricky);
        QVERIFY(!QFile::exists(home.Path(QStringLiteral("pwned"))));
        QVERIFY(!LaunchProcess({"sorvanto-no-such-program-xyz"}));
        QVERIFY(!LaunchProcess({}));
    }
};

QTEST_MAIN(AppTest)
#include "test_app.moc"
