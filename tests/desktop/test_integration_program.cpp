// The installed shape: the real `sorvanto` program, offscreen, in its own working folder,
// receiving the samples the handset emulator pushes for each model family.
#include <QDir>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <stdlib.h>

#include "platform/ini_file.h"
#include "support/process.h"

using namespace sorvanto;

namespace {

const std::string kHandset = SORVANTO_HANDSET;
const std::string kProgram = SORVANTO_PROGRAM;

int IndexCount(const QString& file) {
    IniFile ini;
    if (!ini.Load(file.toStdString())) return -1;
    return ini.GetInt("System", "Count", -1);
}

// Waits until the index files hold at least the given items in total (the program writes an
// index at each registration).
int WaitForItems(const QString& home, const QStringList& indexes, int want, int timeout_ms) {
    int total = 0;
    for (int waited = 0; waited <= timeout_ms; waited += 100) {
        total = 0;
        for (const QString& index : indexes) total += std::max(0, IndexCount(home + QLatin1Char('/') + index));
        if (total >= want) break;
        QTest::qSleep(100);
    }
    return total;
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void programReceivesEachFamilysSamples_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("indexes");
        QTest::addColumn<int>("items");
        const QStringList all{QStringLiteral("mldfile.ini"), QStringLiteral("picture.ini"),
                              QStringLiteral("bookmk.ini"),  QStringLiteral("outmail.ini"),
                              QStringLiteral("inmail.ini"),  QStringLiteral("address.ini"),
                              QStringLiteral("MyPic.ini")};
        QTest::newRow("P503i, family 0") << 0 << QStringLiteral("family0") << all << 16;
        QTest::newRow("P504i, family 1") << 1 << QStringLiteral("family1") << all << 18;
        QTest::newRow("F504i, family 4") << 4 << QStringLiteral("family4") << all << 18;
        QTest::newRow("N504i, NEC family") << 2 << QStringLiteral("nec") << all << 17;
        // Model 7 offers melodies, standby pictures and the address book only: the mail and
        // bookmarks of the same push are dropped.
        QTest::newRow("N503i, three tabs") << 7 << QStringLiteral("nec")
                                           << QStringList{QStringLiteral("mldfile.ini"), QStringLiteral("picture.ini"),
                                                          QStringLiteral("address.ini")}
                                           << 6;
    }
    void programReceivesEachFamilysSamples() {
        QFETCH(int, model);
        QFETCH(QString, family);
        QFETCH(QStringList, indexes);
        QFETCH(int, items);
        QTemporaryDir home;
        const int port = test::FreePort();
        const std::string ini = "[System]\r\nModel=" + std::to_string(model) +
                                "\r\nIrMode=1\r\n[Link]\r\nTransport=tcp\r\nListenAddress=127.0.0.1\r\nListenPort=" +
                                std::to_string(port) + "\r\n";
        QFile f(home.filePath(QStringLiteral("Sorvanto.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini.data(), static_cast<qint64>(ini.size()));
        f.close();

        // The child inherits this environment: its own home, offscreen, and a runtime folder
        // of its own so that its single-instance lock meets no running copy.
        qputenv("SORVANTO_HOME", home.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const test::Pid program = test::Spawn({kProgram}, home.filePath(QStringLiteral("out.txt")).toStdString(),
                                          home.filePath(QStringLiteral("err.txt")).toStdString());
        QVERIFY(program > 0);
        const bool listening = test::WaitForListener(port, 15000);
        int received = 0;
        if (listening) {
            const auto pushed = test::Run({kHandset, "push-sample", family.toStdString(), "--to",
                                           "127.0.0.1:" + std::to_string(port)},
                                          60000);
            QCOMPARE(pushed.exit_code, 0);
            received = WaitForItems(home.path(), indexes, items, 10000);
        }
        RequestStop(program);
        // On a loaded machine the program may need more than a few seconds to finish its last
        // import and close; killed early, it would leave that import's work file behind.
        test::WaitExit(program, 20000);
        QVERIFY(listening);
        QCOMPARE(received, items);
        if (model == 7) QVERIFY(!QFile::exists(home.filePath(QStringLiteral("inmail.ini"))));
        if (model == 0 || model == 4) QVERIFY(!QFile::exists(home.filePath(QStringLiteral("picture.ini"))));
        // The shipped pictograph table was installed on the first start, and every received
        // object was taken in.
        QVERIFY(QFile::exists(home.filePath(QStringLiteral("imoji.ini"))));
        QCOMPARE(QDir(home.filePath(QStringLiteral("TmpFiles"))).entryList(QDir::Files).size(), 0);
    }
};

QTEST_MAIN(ProgramTest)
#include "test_integration_program.moc"
