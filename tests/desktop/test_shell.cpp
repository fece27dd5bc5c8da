// The main window as a whole: start-up, tabs per model, log, receive pump, sends, settings.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSet>
#include <QTextLayout>
#include <QUrl>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include "app/about_dlg.h"
#include "app/busy_dlg.h"
#include "app/command_ids.h"
#include "app/config_sheet.h"
#include "app/copy_data_event.h"
#include "app/main_frame.h"
#include "app/select_view.h"
#include "colour_emoji_face.h"
#include "store/store_import_sink.h"
#include "app/sorvanto_doc.h"
#include "app/sorvanto_view.h"
#include "common/sjis.h"
#include "lists/prompt.h"
#include "platform/fs.h"
#include "lists/category_list.h"
#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/category_store_base.h"
#include "test_shell_fixture.h"

using namespace sorvanto;
using sorvanto::test::PlaceReceived;
using sorvanto::test::ShellHome;

namespace {

QStringList TabTexts(const CSelectView& view) {
    QStringList texts;
    for (int i = 0; i < view.TabCount(); ++i) texts << view.TabText(i);
    return texts;
}

QString Sjis(const std::string& s) { return QString::fromStdString(sjis::ToUtf8(s)); }

// Log lines without their time prefix.
QStringList LogMessages(const CSorvantoView& log) {
    QStringList out;
    for (int i = 0; i < log.LineCount(); ++i) out << log.LineAt(i).section(QLatin1Char('>'), 1);
    return out;
}

// Stands in for the browser and the message boxes of the help command.
class BrowserPrompt : public Prompt {
public:
    bool browser_starts = false;
    std::vector<std::string> opened, told;
    std::vector<Icon> icons;

    bool Ask(QWidget*, const std::string&, Icon) override { return false; }
    void Tell(QWidget*, const std::string& text, Icon icon) override {
        told.push_back(text);
        icons.push_back(icon);
    }
    std::optional<std::string> SaveFileName(QWidget*, const std::string&, std::string_view,
                                            std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> EditComment(QWidget*, const std::string&) override { return std::nullopt; }
    std::optional<std::pair<std::string, std::string>> EditTitleAndComment(QWidget*, const std::string&,
                                                                          const std::string&) override {
        return std::nullopt;
    }
    bool OpenUrl(const std::string& url) override {
        opened.push_back(url);
        return browser_starts;
    }
    void ShowMelodyDetails(QWidget*, const std::string&) override {}
};

QAction* FindAction(QMenuBar& bar, int id) {
    for (QAction* top : bar.actions())
        if (top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->data().toInt() == id) return a;
    return nullptr;
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartShowsOnlyTheModelPageBeforeTheTabs() {
        ShellHome home;
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.show();
        int pages_seen = -1, tabs_while_open = -1;
        QTimer::singleShot(0, &frame, [&] {
            auto* sheet = qobject_cast<CConfigSheet*>(QApplication::activeModalWidget());
            QVERIFY(sheet);
            pages_seen = sheet->Tabs()->count();
            tabs_while_open = frame.SelectView()->TabCount();
            sheet->reject();
        });
        frame.StartUp();
        QCOMPARE(pages_seen, 1);
        QCOMPARE(tabs_while_open, 0);
        // Cancel on a first start still leaves model 0 with its five tabs.
        QCOMPARE(doc.GetModel(), 0);
        QCOMPARE(TabTexts(*frame.SelectView()),
                 QStringList({QString::fromUtf8("着メロ"), QString::fromUtf8("ブックマーク"),
                              QString::fromUtf8("送信メール"), QString::fromUtf8("受信メール"),
                              QString::fromUtf8("アドレス帳")}));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Sorvanto - P503i(S)"));
#ifdef _WIN32
        // IrDA is the link there by default; without an adapter (or under wine) the log says so.
        QCOMPARE(LogMessages(*frame.LogView()),
                 QStringList({QString::fromUtf8("このパソコンでは赤外線通信(IrDA)が使えないため、携帯電話との送受信はできません"),
                              QStringLiteral("Program Start")}));
#else
        QCOMPARE(LogMessages(*frame.LogView()), QStringList({QStringLiteral("Program Start")}));
#endif
        QVERIFY(frame.ButtonBar()->isVisible());
        QVERIFY(frame.statusBar()->isVisible());
    }

    void tabsFollowTheModelMask() {
        ShellHome home;
        int model = 7;
        QMenuBar bar;
        CSelectView view([&] { return model; }, &bar, nullptr);
        view.BuildTabs();
        QCOMPARE(TabTexts(view), QStringList({QString::fromUtf8("着メロ"), QString::fromUtf8("待ち受け"),
                                              QString::fromUtf8("アドレス帳")}));
        // The importers' mail and bookmarks have no list under this model and are dropped.
        StoreImportSink sink([&](Category c) { return view.LoadedStore(c); });
        QVERIFY(!view.LoadedStore(Category::kBookmark));
        QVERIFY(!view.LoadedStore(Category::kInMail));
        sink.AddBookmark("t", "http://x/");
        sink.AddReceivedMail("cnv.msg");
        QVERIFY(!fs::Exists(".\\bookmk.ini"));

        model = -1;
        view.RebuildTabs();
        QCOMPARE(TabTexts(view), QStringList({QString::fromUtf8("アドレス帳")}));
        model = 8;
        view.RebuildTabs();
        QCOMPARE(view.TabCount(), 7);
        QCOMPARE(view.TabText(6), QString::fromUtf8("カメラ写真"));
        model = 4;
        view.RebuildTabs();
        QVERIFY(!TabTexts(view).contains(QString::fromUtf8("待ち受け")));
        QCOMPARE(view.TabCount(), 6);
    }

    // Only the first tab's list loads before the first paint. A list that has not loaded yet is
    // loaded by whatever reaches it (an import, a tab change, the event loop after the paint),
    // and one closed before it loaded leaves its index as it was.
    void listsLoadAfterTheFirstTabAndBeforeAnyUse() {
        ShellHome home;
        {
            AddressStore seed;
            seed.Load();
            seed.RegisterBytes("[System]\r\nName=a\r\nTelCnt=0\r\nMailCnt=0\r\n", 1);
            seed.RegisterBytes("[System]\r\nName=b\r\nTelCnt=0\r\nMailCnt=0\r\n", 1);
            BookmarkStore marks;
            marks.Load();
            marks.Register("t", "http://x/", 1);
        }
        const std::string index = fs::ReadFile(".\\address.ini").value();
        int model = 2;
        QMenuBar bar;
        {
            CSelectView view([&] { return model; }, &bar, nullptr);
            view.BuildTabs();
            auto* address = static_cast<CCategoryList*>(view.PageOf(Category::kAddress));
            QVERIFY(static_cast<CCategoryList*>(view.PageOf(Category::kMelody))->IsLoaded());
            QVERIFY(!address->IsLoaded());
        }  // closed before the event loop ran: nothing written back
        QCOMPARE(fs::ReadFile(".\\address.ini").value(), index);

        CSelectView view([&] { return model; }, &bar, nullptr);
        view.BuildTabs();
        // An import into a list not yet loaded loads it first: the new entry joins the two.
        StoreImportSink sink([&](Category c) { return view.LoadedStore(c); });
        QVERIFY(sink.AddAddressBytes({".\\addr.ini", "[System]\r\nName=c\r\nTelCnt=0\r\nMailCnt=0\r\n"}));
        QCOMPARE(view.PageOf(Category::kAddress)->Store().Count(), 3);
        // Showing a tab loads its list.
        view.SelectTab(2);
        QCOMPARE(view.PageOf(Category::kBookmark)->Store().Count(), 1);
        // The event loop loads the rest on its own.
        QTRY_VERIFY(static_cast<CCategoryList*>(view.PageOf(Category::kMyPic))->IsLoaded());
    }

    void menuFollowsTheTabAndKeepsTheBarChecks() {
        ShellHome home;
        QMenuBar bar;
        CSelectView view([] { return 0; }, &bar, nullptr);
        view.BuildTabs();
        QCOMPARE(view.CurrentMenuTemplate(), 145);
        auto find = [&bar](int id) -> QAction* {
            for (QAction* top : bar.actions())
                if (top->menu())
                    for (QAction* a : top->menu()->actions())
                        if (a->data().toInt() == id) return a;
            return nullptr;
        };
        QVERIFY(find(59392) && find(59392)->isChecked());
        find(59393)->setChecked(false);
        view.SelectTab(4);  // address book
        QCOMPARE(view.CurrentMenuTemplate(), 153);
        QVERIFY(find(32800));   // 新規作成 is on the address book's menu
        QVERIFY(!find(32818));  // 再生 is not
        QVERIFY(find(59392)->isChecked());
        QVERIFY(!find(59393)->isChecked());
    }

    void sameModelDoesNotRebuildButAnotherDoes() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=7\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        QCOMPARE(frame.SelectView()->BuildCount(), 1);
        {
            CConfigSheet sheet(doc, &frame, QStringLiteral("Config"));
            QCOMPARE(sheet.Tabs()->count(), 2);
            sheet.ApplyModel(7);
        }
        QCOMPARE(frame.SelectView()->BuildCount(), 1);
        {
            CConfigSheet sheet(doc, &frame, QStringLiteral("Config"));
            sheet.ApplyModel(1);
        }
        QCOMPARE(frame.SelectView()->BuildCount(), 2);
        QCOMPARE(frame.SelectView()->TabCount(), 7);
        QCOMPARE(frame.ModelId(), 1);
    }

    void logKeepsTheNewestThousandOnTop() {
        ShellHome home;
        CSorvantoView log;
        for (int i = 0; i < 1005; ++i) log.AppendLog("line " + std::to_string(i));
        QCOMPARE(log.LineCount(), 1000);
        QVERIFY(log.LineAt(0).endsWith(QStringLiteral(">line 1004")));
        QVERIFY(log.LineAt(999).endsWith(QStringLiteral(">line 5")));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d >line 1004$"))
                    .match(log.LineAt(0))
                    .hasMatch());
        // A request text is taken as it stands, never as a format.
        log.AppendLog("100% %s %d");
        QVERIFY(log.LineAt(0).endsWith(QStringLiteral(">100% %s %d")));
        // A pictograph in a log line (the sun, F8 9F) shows as its emoji.
        log.AppendLog("\xF8\x9F");
        QVERIFY(log.LineAt(0).contains(QChar(0x2600)));
        // and is painted in colour: the heart (F9 91) comes out red, not in the text font's black.
        SKIP_WITHOUT_COLOUR_EMOJI_FACE();
        log.AppendLog("\xF9\x91\xF9\x91\xF9\x91");
        log.resize(400, 120);
        const QImage shot = log.grab().toImage();
        int red = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        QVERIFY2(red > 10, "the heart in the log is not red");
    }

    void oneTickImportsEveryNoticeOldestFirst() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=0\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        // Two bookmarks and an address entry arrive between two ticks.
        const std::string first = PlaceReceived(QStringLiteral("family0/bm.url"), "00000001", "bm.url");
        std::string second_bytes = fs::ReadFile(first).value();
        second_bytes.replace(second_bytes.find("weather"), 7, "traffic");
        fs::WriteFile("TmpFiles\\00000002 bm.url", second_bytes);
        PlaceReceived(QStringLiteral("family0/pb.vcf"), "00000003", "pb.vcf");
        ReceivePumpNotify(frame, first);
        ReceivePumpNotify(frame, "TmpFiles\\00000002 bm.url");
        ReceivePumpNotify(frame, "TmpFiles\\00000003 pb.vcf");
        frame.OnTimer();
        QCOMPARE(frame.Queue().Count(), 0);
        auto* bookmarks = frame.SelectView()->PageOf(Category::kBookmark);
        auto& store = static_cast<BookmarkStore&>(bookmarks->Store());
        QCOMPARE(store.Count(), 2);
        QVERIFY(store.At(0)->url.find("weather") != std::string::npos);
        QVERIFY(store.At(1)->url.find("traffic") != std::string::npos);
        QCOMPARE(frame.SelectView()->PageOf(Category::kAddress)->Store().Count(), 1);
        // Each registration logged a line; the newest (the address) is on top.
        QVERIFY(frame.LogView()->LineCount() >= 4);
        QVERIFY(!fs::Exists(first));
    }

    void noticeUnderAnUnservedModelIsDropped() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=3\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        QCOMPARE(frame.SelectView()->TabCount(), 1);
        const std::string path = PlaceReceived(QStringLiteral("family0/pb.vcf"), "00000001", "pb.vcf");
        ReceivePumpNotify(frame, path);
        frame.OnTimer();
        QCOMPARE(frame.Queue().Count(), 0);
        QCOMPARE(frame.SelectView()->PageOf(Category::kAddress)->Store().Count(), 0);
        QVERIFY(fs::Exists(path));  // left where it was, not imported
    }

    void importRequestCopiesUnderAFreshNameAndQueues() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=0\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        const QString source = home.Path(QStringLiteral("pb.vcf"));
        QFile::copy(QStringLiteral(SORVANTO_SOURCE_DIR "/data/samples/family0/pb.vcf"), source);
        const std::string bytes = CopyDataEvent::TextBytes(source.toStdString(), 260);
        QCOMPARE(CopyDataEvent::Send(&frame, 8, bytes), 1);
        QCOMPARE(CopyDataEvent::Send(&frame, 8, bytes), 1);
        // Two copies in one second: both kept, under two names.
        QCOMPARE(frame.Queue().Count(), 2);
        QCOMPARE(QDir(QStringLiteral("TmpFiles")).entryList(QDir::Files).size(), 2);
        frame.OnTimer();
        QCOMPARE(frame.SelectView()->PageOf(Category::kAddress)->Store().Count(), 2);
        // Requests of unknown kinds and short records are answered and ignored.
        QCOMPARE(CopyDataEvent::Send(&frame, 1, std::string(10, 'x')), 1);
        QCOMPARE(CopyDataEvent::Send(&frame, 77, std::string()), 1);
    }

    void logRequestIsCutAtItsTerminator() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=7\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        frame.StartUp();
        CopyDataEvent::Send(&frame, 0, std::string("hello\0tail", 10));
        QVERIFY(frame.LogView()->LineAt(0).endsWith(QStringLiteral(">hello")));
        CopyDataEvent::Send(&frame, 0, std::string(400, 'a'));  // no terminator at all
        QCOMPARE(frame.LogView()->LineAt(0).section(QLatin1Char('>'), 1).size(), 255);
    }

    void sendShowsTheDialogLogsAndDeletesTheFile() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=7\r\nIrMode=1\r\n" + test::OwnPortLink());
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        bool dialog_seen = false;
        int model_seen = -2;
        frame.SetSendFn([&](const SendRequest& r, int model, TransferMonitor* m) {
            dialog_seen = frame.BusyDialog() && frame.BusyDialog()->isVisible();
            model_seen = model;
            m->KeepGoing();
            return CMainFrame::SendOutcome{r.kind == 4 ? 0 : -1, "Handset"};
        });
        frame.StartUp();
        fs::WriteFile(".\\smld.tmp", "melody");
        SendRequest request{};
        request.kind = 4;
        CopyField(request.title, sjis::Lit("着メロ"));
        CopyField(request.local_path, ".\\smld.tmp");
        CopyField(request.object_name, "mld.vnt");
        CopyDataEvent::Send(&frame, 1, CopyDataEvent::RecordBytes(request));
        QVERIFY(dialog_seen);
        QCOMPARE(model_seen, 7);
        QVERIFY(!frame.BusyDialog());
        QVERIFY(frame.ServerRunning());  // listening again after the send
        QCOMPARE(frame.LogView()->LineAt(0).section(QLatin1Char('>'), 1),
                 QString::fromUtf8("着メロを送信しました (Handset)"));
        QVERIFY(!fs::Exists(".\\smld.tmp"));

        request.kind = 5;
        CopyDataEvent::Send(&frame, 1, CopyDataEvent::RecordBytes(request));
        QCOMPARE(frame.LogView()->LineAt(0).section(QLatin1Char('>'), 1),
                 QString::fromUtf8("ターゲットが範囲内に確認できません"));
        // A kind without a job sends nothing and logs nothing.
        const int lines = frame.LogView()->LineCount();
        dialog_seen = false;
        request.kind = 3;
        CopyDataEvent::Send(&frame, 1, CopyDataEvent::RecordBytes(request));
        QVERIFY(!dialog_seen);
        QCOMPARE(frame.LogView()->LineCount(), lines);
    }

    void abortEndsTheSendAtTheNextCycle() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=7\r\nIrMode=1\r\n" + test::OwnPortLink());
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        int cycles = 0;
        frame.SetSendFn([&](const SendRequest&, int, TransferMonitor* m) {
            QTimer::singleShot(50, &frame, [&] {
                frame.BusyDialog()->findChild<QPushButton*>(QStringLiteral("AbortButton"))->click();
            });
            // A stalled handset: the job waits until the monitor says stop.
            while (m->KeepGoing() && cycles < 500) {
                ++cycles;
                QTest::qWait(10);
            }
            return CMainFrame::SendOutcome{-3, ""};
        });
        frame.StartUp();
        SendRequest request{};
        request.kind = 7;
        CopyField(request.title, sjis::Lit("ブックマーク"));
        CopyDataEvent::Send(&frame, 1, CopyDataEvent::RecordBytes(request));
        QVERIFY(cycles < 500);
        QCOMPARE(frame.LogView()->LineAt(0).section(QLatin1Char('>'), 1),
                 QString::fromUtf8("送信に失敗しました(キャンセル要求)"));
        QCOMPARE(Sjis(CMainFrame::SendLogLine(-2, false, "x", "")), QString::fromUtf8("送信に失敗しました"));
        QVERIFY(CMainFrame::SendLogLine(-4, false, "x", "").empty());
    }

    void settingsAndPlacementSurviveARestart() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=2\r\nIrMode=0\r\n");
        {
            CSorvantoDoc doc;
            CMainFrame frame(doc);
            frame.show();
            frame.StartUp();
            frame.setGeometry(120, 80, 700, 560);
            frame.OnCommand(59392);  // hide the button bar
            QVERIFY(!frame.ButtonBar()->isVisible());
            frame.close();
        }
        const std::string ini = home.Settings();
        QVERIFY(ini.find("WinType=0") != std::string::npos);
        QVERIFY(ini.find("WinSizeX=700") != std::string::npos);
        QVERIFY(ini.find("WinSizeY=560") != std::string::npos);
        QVERIFY(ini.find("ToolBar=0") != std::string::npos);
        QVERIFY(ini.find("StatusBar=1") != std::string::npos);
        QVERIFY(ini.find("Model=2") != std::string::npos);
        QVERIFY(ini.find("Split1Row=") != std::string::npos);
        SettingsFile::Reset();
        {
            CSorvantoDoc doc;
            CMainFrame frame(doc);
            frame.show();
            frame.StartUp();
            QCOMPARE(frame.size(), QSize(700, 560));
            QVERIFY(!frame.ButtonBar()->isVisible());
            QCOMPARE(doc.GetModel(), 2);
            QCOMPARE(frame.SelectView()->TabCount(), 7);
        }
    }

    void placementStaysPutOverTwoRestarts() {
        ShellHome home;
        home.WriteSettings(
            "[System]\r\nModel=2\r\nIrMode=0\r\nWinPosX=100\r\nWinPosY=90\r\nWinSizeX=700\r\nWinSizeY=560\r\n");
        for (int run = 0; run < 2; ++run) {
            SettingsFile::Reset();
            CSorvantoDoc doc;
            CMainFrame frame(doc);
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            frame.StartUp();
            QCOMPARE(frame.pos(), QPoint(100, 90));
            QCOMPARE(frame.size(), QSize(700, 560));
            frame.close();
        }
        const std::string ini = home.Settings();
        QVERIFY(ini.find("WinPosX=100\r\n") != std::string::npos);
        QVERIFY(ini.find("WinPosY=90\r\n") != std::string::npos);
        QVERIFY(ini.find("WinSizeX=700\r\n") != std::string::npos);
        QVERIFY(ini.find("WinSizeY=560\r\n") != std::string::npos);
    }

    void viewMenuMarksTheBarsShown() {
        ShellHome home;
        QMenuBar bar;
        CSelectView view([] { return 0; }, &bar, nullptr);
        view.BuildTabs();
        QAction* tool_bar = FindAction(bar, cmd::kToolBar);
        QVERIFY(tool_bar && tool_bar->isChecked());
        QMenu* menu = qobject_cast<QMenu*>(tool_bar->parent());
        QVERIFY(menu);
        // The icon column of the item as the menu draws it.
        bool exposed = true;
        auto icon_column = [&] {
            menu->popup(QPoint(0, 0));
            exposed = QTest::qWaitForWindowExposed(menu) && exposed;
            const QRect item = menu->actionGeometry(tool_bar);
            const QImage column = menu->grab().toImage().copy(QRect(item.left(), item.top(), item.height(), item.height()));
            menu->hide();
            return column;
        };
        auto dark_pixels = [](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
            return n;
        };
        const QImage shown = icon_column();
        tool_bar->setChecked(false);
        const QImage hidden = icon_column();
        QVERIFY(exposed);
        QVERIFY(dark_pixels(shown) >= 8);  // a check mark
        QCOMPARE(dark_pixels(hidden), 0);
    }

    void helpWithoutABrowserSaysSo() {
        ShellHome home;
        home.WriteSettings("[System]\r\nModel=2\r\nIrMode=0\r\n");
        CSorvantoDoc doc;
        CMainFrame frame(doc);
        BrowserPrompt prompt;
        frame.SetPrompt(&prompt);
        const std::string message = sjis::Lit("ブラウザが起動できませんでした");
        frame.OnCommand(cmd::kHelp);  // no help page
        QCOMPARE(prompt.told, std::vector<std::string>{message});
        QCOMPARE(prompt.icons.back(), Prompt::Icon::kExclamation);

        QDir().mkpath(QStringLiteral("help"));
        fs::WriteFile("help\\index.html", "<html></html>");
        frame.OnCommand(cmd::kHelp);  // no browser
        QCOMPARE(prompt.opened.size(), std::size_t{1});
        QVERIFY(QUrl(QString::fromStdString(prompt.opened[0])).toLocalFile().endsWith(QStringLiteral("/help/index.html")));
        QCOMPARE(prompt.told.size(), std::size_t{2});
        prompt.browser_starts = true;
        frame.OnCommand(cmd::kHelp);
        QCOMPARE(prompt.opened.size(), std::size_t{2});
        QCOMPARE(prompt.told.size(), std::size_t{2});
    }

    void aboutHistoryIndentsEverySubLineAlike() {
        CAboutDlg about;
        const QFont font = about.History()->font();
        QSet<int> indents;
        int sub_lines = 0;
        for (const QString& line : CAboutDlg::HistoryLines()) {
            if (!line.startsWith(QStringLiteral("    "))) continue;
            ++sub_lines;
            QTextLayout layout(line, font);
            layout.beginLayout();
            QTextLine text_line = layout.createLine();
            layout.endLayout();
            indents.insert(qRound(text_line.cursorToX(4)));
        }
        QVERIFY(sub_lines > 40);
        QCOMPARE(indents.size(), 1);
        QVERIFY(*indents.begin() > 0);
    }

private:
    static void ReceivePumpNotify(CMainFrame& frame, const std::string& path);
};

#include "store/receive_pump.h"
void ShellTest::ReceivePumpNotify(CMainFrame& frame, const std::string& path) { ReceivePump::Notify(frame.Queue(), path); }

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
