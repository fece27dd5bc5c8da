// The main window with the real lists and the real link on loopback, against the handset
// emulator: pushed objects land in their tabs, sends from a list reach the emulator, and the
// failures of a send are logged as the user sees them.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <map>

#include "app/busy_dlg.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/select_view.h"
#include "app/sorvanto_doc.h"
#include "app/sorvanto_view.h"
#include "common/sjis.h"
#include "dialogs/address_dlg.h"
#include "dialogs/mail_compose_dlg.h"
#include "dialogs/pictograph_keyboard_dlg.h"
#include "lists/category_list.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "store/receive_pump.h"
#include "support/process.h"
#include "test_shell_fixture.h"

using namespace sorvanto;
using sorvanto::test::ShellHome;

namespace {

const std::string kHandset = SORVANTO_HANDSET;
const QString kSamples = QStringLiteral(SORVANTO_SOURCE_DIR "/data/samples/");

QString Sjis(const std::string& s) { return QString::fromStdString(sjis::ToUtf8(s)); }

QStringList LogMessages(const CSorvantoView& log) {
    QStringList out;
    for (int i = 0; i < log.LineCount(); ++i) out << log.LineAt(i).section(QLatin1Char('>'), 1);
    return out;
}

// An emulator started for one test and killed with it.
struct Child {
    test::Pid pid = -1;
    ~Child() {
        if (pid > 0) KillProcess(pid);
    }
};

// A model-2 home (the NEC family, all seven tabs) whose server and handset use free ports.
struct LinkHome {
    ShellHome home;
    int listen_port = test::FreePort();
    int handset_port = test::FreePort();
    LinkHome() {
        home.WriteSettings("[System]\r\nModel=2\r\nIrMode=1\r\n[Link]\r\nTransport=tcp\r\nListenAddress=127.0.0.1\r\nListenPort=" +
                           std::to_string(listen_port) + "\r\nPeers=Handset@127.0.0.1:" +
                           std::to_string(handset_port) + "\r\n");
    }
    std::string To() const { return "127.0.0.1:" + std::to_string(listen_port); }
    std::string Handset() const { return "127.0.0.1:" + std::to_string(handset_port); }
    // The emulator listening as the handset; extra options such as --stall-after.
    void Serve(Child& child, const QString& out, std::vector<std::string> extra = {}) const {
        std::vector<std::string> argv{kHandset, "serve", "--listen", Handset(), "--out", out.toStdString()};
        argv.insert(argv.end(), extra.begin(), extra.end());
        child.pid = test::Spawn(argv, (out + QStringLiteral(".log")).toStdString());
        QVERIFY(child.pid > 0);
        QVERIFY(test::WaitForListener(handset_port, 5000));
    }
};

CCategoryList* List(CMainFrame& frame, Category c) {
    return dynamic_cast<CCategoryList*>(frame.SelectView()->PageOf(c));
}

QStringList FirstColumn(const CCategoryList& list) {
    QStringList out;
    for (int row = 0; row < list.RowCount(); ++row) out << Sjis(list.ItemText(row, 0));
    return out;
}

int IndexCount(const char* index_file) {
    IniFile ini;
    ini.Load(index_file);
    return ini.GetInt("System", "Count", -1);
}

// Ticks the main window until its queue has been empty for a tick.
void Pump(CMainFrame& frame) {
    for (int i = 0; i < 20 && frame.Queue().Count() > 0; ++i) QTest::qWait(50);
    frame.OnTimer();
}

// A send from the melody list's first row, watching for the progress dialog inside the send.
bool SendFirstMelody(CMainFrame& frame) {
    CCategoryList* melodies = List(frame, Category::kMelody);
    if (!melodies || melodies->RowCount() == 0) return false;
    frame.SelectView()->SelectTab(0);
    melodies->SelectRow(0);
    bool dialog_seen = false;
    // The timer is bound to a local context, so it dies with this frame of the stack when the
    // send finished without running events and never writes to a dead local.
    QObject context;
    QTimer::singleShot(0, &context, [&] { dialog_seen = frame.BusyDialog() && frame.BusyDialog()->isVisible(); });
    frame.OnCommand(cmd::kSend);
    return dialog_seen;
}

// A received file handed to the queue as the server does, and the tick that imports it.
void ReceiveNotice(CMainFrame& frame, const std::string& path) {
    ReceivePump::Notify(frame.Queue(), path);
    frame.OnTimer();
}

// The melody sample, imported as if the handset had pushed it.
void StoreMelody(CMainFrame& frame) {
    QFile::copy(kSamples + QStringLiteral("nec/nec_mld.vnt"), QStringLiteral("TmpFiles/00000001 nec_mld.vnt"));
    ReceiveNotice(frame, "TmpFiles\\00000001 nec_mld.vnt");
}

}  // namespace

class IntegrationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pushedSamplesLandInTheirTabs() {
        LinkHome link;
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        QVERIFY(test::WaitForListener(link.listen_port, 5000));
        const auto pushed = test::Run({kHandset, "push-sample", "nec", "--to", link.To()}, 60000);
        QCOMPARE(pushed.exit_code, 0);
        Pump(frame);

        const std::map<Category, std::pair<const char*, int>> expected{
            {Category::kMelody, {".\\mldfile.ini", 1}}, {Category::kPicture, {".\\picture.ini", 1}},
            {Category::kBookmark, {".\\bookmk.ini", 3}}, {Category::kOutMail, {".\\outmail.ini", 4}},
            {Category::kInMail, {".\\inmail.ini", 3}},   {Category::kAddress, {".\\address.ini", 4}},
            {Category::kMyPic, {".\\MyPic.ini", 1}},
        };
        int total = 0;
        for (const auto& [category, index] : expected) {
            CCategoryList* list = List(frame, category);
            QVERIFY(list);
            QCOMPARE(list->RowCount(), index.second);
            // Written at the registration itself, not only when the window closes.
            QCOMPARE(IndexCount(index.first), index.second);
            total += index.second;
        }
        QVERIFY(FirstColumn(*List(frame, Category::kMelody)).contains(QString::fromUtf8("きらきら星")));
        QVERIFY(FirstColumn(*List(frame, Category::kAddress)).contains(QString::fromUtf8("山田 太郎")));
        QVERIFY(FirstColumn(*List(frame, Category::kMyPic)).contains(QString::fromUtf8("花火")));
        QCOMPARE(Sjis(List(frame, Category::kBookmark)->ItemText(0, 0)), QString::fromUtf8("ドコモ"));

        const QStringList log = LogMessages(*frame.LogView());
        QCOMPARE(log.filter(QString::fromUtf8("を登録しました")).size(), total);
        QVERIFY(log.contains(QString::fromUtf8("着メロ[きらきら星]を登録しました")));
        QVERIFY(log.contains(QString::fromUtf8("アドレス[山田 太郎]を登録しました")));
        QCOMPARE(log.last(), QStringLiteral("Program Start"));
        // Every received file was taken in; nothing waits in "TmpFiles\".
        QCOMPARE(QDir(QStringLiteral("TmpFiles")).entryList(QDir::Files), QStringList());
    }

    void sendFromAListReachesTheHandsetAndTheServerListensAgain() {
        LinkHome link;
        Child handset;
        const QString out = link.home.Path(QStringLiteral("handset"));
        link.Serve(handset, out);
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        StoreMelody(frame);
        QCOMPARE(List(frame, Category::kMelody)->RowCount(), 1);

        QVERIFY(SendFirstMelody(frame));
        QVERIFY(!frame.BusyDialog());
        QCOMPARE(LogMessages(*frame.LogView()).first(), QString::fromUtf8("着メロを送信しました (Handset)"));
        // The handset got the melody object; the scratch file is gone.
        const QStringList received = QDir(out).entryList(QDir::Files);
        QCOMPARE(received.size(), 1);
        QVERIFY(QFileInfo(out + QLatin1Char('/') + received.first()).size() > 0);
        QVERIFY(!fs::Exists(".\\smld.tmp"));

        // The server is back: a push after the send is imported.
        QVERIFY(frame.ServerRunning());
        QVERIFY(test::WaitForListener(link.listen_port, 5000));
        const auto pushed = test::Run({kHandset, "push", (kSamples + QStringLiteral("nec/nec_bm.url")).toStdString(),
                                       "--name", "nec_bm.url", "--to", link.To()});
        QCOMPARE(pushed.exit_code, 0);
        Pump(frame);
        QCOMPARE(List(frame, Category::kBookmark)->RowCount(), 1);
        QCOMPARE(IndexCount(".\\bookmk.ini"), 1);

        // A second send goes out as well: the link was handed back cleanly.
        QVERIFY(SendFirstMelody(frame));
        QCOMPARE(LogMessages(*frame.LogView()).first(), QString::fromUtf8("着メロを送信しました (Handset)"));
    }

    void abortWhileTheHandsetStallsIsLoggedAsCancelled() {
        LinkHome link;
        Child handset;
        const QString out = link.home.Path(QStringLiteral("handset"));
        link.Serve(handset, out, {"--stall-after", "1"});
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        StoreMelody(frame);
        QTimer::singleShot(400, &frame, [&] {
            QVERIFY(frame.BusyDialog());
            frame.BusyDialog()->findChild<QPushButton*>(QStringLiteral("AbortButton"))->click();
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(SendFirstMelody(frame));
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(LogMessages(*frame.LogView()).first(), QString::fromUtf8("送信に失敗しました(キャンセル要求)"));
        // The handset answered the CONNECT and then went quiet on the PUT.
        const std::string seen = fs::ReadFile((out + QStringLiteral(".log")).toStdString()).value_or("");
        QVERIFY(seen.find("CONNECT") != std::string::npos);
        QVERIFY(seen.find("STALLED") != std::string::npos);
        QVERIFY(!fs::Exists(".\\smld.tmp"));
        QVERIFY(frame.ServerRunning());
    }

    void noHandsetIsOutOfRange() {
        LinkHome link;  // nothing listens on the handset port
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        StoreMelody(frame);
        // Discovery fails at once, so no event is handled while the dialog is up.
        SendFirstMelody(frame);
        QVERIFY(!frame.BusyDialog());
        QCOMPARE(LogMessages(*frame.LogView()).first(), QString::fromUtf8("ターゲットが範囲内に確認できません"));
        QVERIFY(!fs::Exists(".\\smld.tmp"));
        QVERIFY(frame.ServerRunning());
    }

    void withoutIrdaTheLogSaysSoOnceAndSendsFail() {
        ShellHome home;  // this system has no IrDA sockets
        home.WriteSettings("[System]\r\nModel=2\r\nIrMode=1\r\n[Link]\r\nTransport=irda\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        const QString notice =
            QString::fromUtf8("このパソコンでは赤外線通信(IrDA)が使えないため、携帯電話との送受信はできません");
        QCOMPARE(LogMessages(*frame.LogView()).first(), notice);
        QVERIFY(!frame.ServerRunning());
        // The lists work; a send fails as out of range, and reopening the server after it does
        // not repeat the notice.
        StoreMelody(frame);
        QCOMPARE(List(frame, Category::kMelody)->RowCount(), 1);
        SendFirstMelody(frame);
        const QStringList log = LogMessages(*frame.LogView());
        QCOMPARE(log.first(), QString::fromUtf8("ターゲットが範囲内に確認できません"));
        QCOMPARE(log.count(notice), 1);
        QVERIFY(!fs::Exists(".\\smld.tmp"));
    }

    void composerRequestsReachTheMelodyAndAddressLists() {
        LinkHome link;
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        StoreMelody(frame);
        QFile::copy(kSamples + QStringLiteral("nec/nec_pb.vcf"), QStringLiteral("TmpFiles/00000002 nec_pb.vcf"));
        ReceiveNotice(frame, "TmpFiles\\00000002 nec_pb.vcf");
        std::string title, path;
        QCOMPARE(frame.GetMelody(0, &title, &path), 1);
        QCOMPARE(Sjis(title), QString::fromUtf8("きらきら星"));
        QVERIFY(fs::Exists(path));
        QCOMPARE(frame.GetMelody(1, &title, &path), 0);
        std::string name, address;
        QCOMPARE(frame.GetAddressEntry(0, 0, &name, &address), 1);
        QVERIFY(!name.empty());
        QVERIFY(address.find('@') != std::string::npos);
        QCOMPARE(frame.GetAddressEntry(5, 0, &name, &address), 0);
    }

    void listsOpenTheMailWindowAndTheAddressEditor() {
        LinkHome link;
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        StoreMelody(frame);
        // 新規作成 on the sent-mail tab: a mail window whose attachments come from the melody list.
        frame.SelectView()->SelectTab(3);
        frame.OnCommand(cmd::kNew);
        CMailComposeDlg* mail = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<CMailComposeDlg*>(w)) mail = m;
        QVERIFY(mail);
        QCOMPARE(mail->Mode(), static_cast<int>(CMailComposeDlg::kCompose));
        mail->OpenAttachmentList();
        QStringList attachments;
        for (int i = 0; i < mail->AttachmentList()->count(); ++i) attachments << mail->AttachmentList()->itemText(i);
        QVERIFY(attachments.contains(QString::fromUtf8("きらきら星")));
        delete mail;

        // 新規作成 on the address book: the entry editor, modally.
        frame.SelectView()->SelectTab(5);
        bool editor_seen = false;
        QTimer::singleShot(0, &frame, [&] {
            if (auto* editor = qobject_cast<CAddressDlg*>(QApplication::activeModalWidget())) {
                editor_seen = true;
                editor->reject();
            }
        });
        frame.OnCommand(cmd::kNew);
        QVERIFY(editor_seen);
        QCOMPARE(List(frame, Category::kAddress)->RowCount(), 0);  // cancelled: nothing stored
    }

    void pictographKeyboardOpensOnceAndGoesWithTheFrame() {
        LinkHome link;
        QPointer<CPictographKeyboardDlg> keyboard;
        {
            CSorvantoDoc doc;
            CMainFrame frame(doc);
            frame.StartUp();
            QVERIFY(!frame.PictographKeyboard());
            frame.OnCommand(cmd::kPictograph);
            keyboard = frame.PictographKeyboard();
            QVERIFY(keyboard && keyboard->isVisible());
            frame.OnCommand(cmd::kPictograph);
            QCOMPARE(frame.PictographKeyboard(), keyboard.data());
            const auto windows = QApplication::topLevelWidgets();
            QCOMPARE(std::count_if(windows.begin(), windows.end(),
                                   [](QWidget* w) { return qobject_cast<CPictographKeyboardDlg*>(w) != nullptr; }),
                     1);
        }
        QVERIFY(!keyboard);
    }
};

QTEST_MAIN(IntegrationTest)
#include "test_integration.moc"
