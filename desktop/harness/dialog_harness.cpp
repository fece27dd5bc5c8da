// Opens the program's dialogs one after another the way its commands open them, over a working
// folder filled with the samples a handset pushes, for screenshots taken from the X server
// (scripts/shot-dialogs.sh). For each dialog it prints "open NAME X Y WIDTH HEIGHT WINDOW" (the
// window's frame on the screen and its X window) once the window is mapped, waits until SHOTS/NAME.png exists,
// then closes the dialog and goes on. Names given after the folders pick some dialogs only.
//   sorvanto-dialog-harness HOME SHOTS [NAME...]
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <functional>

#include "app/busy_dlg.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/select_view.h"
#include "app/sorvanto_doc.h"
#include "common/settings_file.h"
#include "lists/category_list.h"
#include "platform/fs.h"
#include "store/receive_pump.h"

using namespace sorvanto;

namespace {

constexpr int kFindMs = 15000;  // a dialog that has not shown by then is reported missing
constexpr int kShotMs = 30000;  // nor is a screenshot waited for longer

// Puts a shipped sample where the server leaves a received object and queues it.
void Receive(CMainFrame& frame, const char* sample) {
    static int n = 0;
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%08x", ++n);
    const QString name = QString::fromLatin1(sample).section(QLatin1Char('/'), -1);
    QDir().mkpath(QStringLiteral("TmpFiles"));
    const std::string stored = "TmpFiles\\" + std::string(stamp) + " " + name.toStdString();
    QFile::copy(QStringLiteral(SORVANTO_SOURCE_DIR "/data/samples/") + QLatin1String(sample),
                QString::fromStdString(fs::NativePath(stored).string()));
    ReceivePump::Notify(frame.Queue(), stored);
}

void Settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

class Shots {
public:
    Shots(QString folder, QStringList only) : folder_(std::move(folder)), only_(std::move(only)) {}

    // Runs open (which may block in a dialog's own event loop) and handles the first new window.
    void Take(const char* name, const std::function<void()>& open) {
        const QString n = QString::fromLatin1(name);
        if (!only_.isEmpty() && !only_.contains(n)) return;
        const QString shot = folder_ + QLatin1Char('/') + n + QStringLiteral(".png");
        QFile::remove(shot);
        const QWidgetList before = QApplication::topLevelWidgets();
        QPointer<QWidget> window;
        bool announced = false, done = false;
        QElapsedTimer clock;
        clock.start();
        QEventLoop wait;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (!window) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    // Qt's own helper windows (1 by 1 pixels) and menus are no dialogs.
                    if (w->isVisible() && !before.contains(w) && !qobject_cast<QMenu*>(w) && w->width() > 1 &&
                        w->height() > 1)
                        window = w;
                if (!window && clock.elapsed() > kFindMs) {
                    std::printf("missing %s\n", name);
                    ++failures_;
                    done = true;
                }
            } else if (!announced) {
                // Mapped and framed by the window manager: this is what a person sees first.
                if (!window->windowHandle()->isExposed() && clock.elapsed() < kFindMs) return;
                // A frameless window's frame can read 1 by 1 pixels before its first move.
                QRect f = window->frameGeometry();
                if (f.width() < window->width() || f.height() < window->height()) f = window->geometry();
                std::printf("open %s %d %d %d %d %llu\n", name, f.x(), f.y(), f.width(), f.height(),
                            static_cast<unsigned long long>(window->winId()));
                std::fflush(stdout);
                announced = true;
                clock.restart();
            } else if (QFile::exists(shot) || clock.elapsed() > kShotMs) {
                if (!QFile::exists(shot)) ++failures_;
                if (auto* dialog = qobject_cast<QDialog*>(window.data())) dialog->reject();
                else window->close();
                done = true;
            }
            if (done) {
                poll.stop();
                wait.quit();
            }
        });
        poll.start();
        open();
        if (!done) wait.exec();
        // A window deleted on close goes with the events that follow.
        Settle(200);
    }
    int Failures() const { return failures_; }

private:
    QString folder_;
    QStringList only_;
    int failures_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: sorvanto-dialog-harness HOME SHOTS [NAME...]\n");
        return 2;
    }
    const QString home = QDir(args.takeFirst()).absolutePath();
    const QString shots = QDir(args.takeFirst()).absolutePath();
    QDir().mkpath(home);
    QDir().mkpath(shots);
    QDir::setCurrent(home);
    if (!QFile::exists(QStringLiteral("Sorvanto.ini")))
        fs::WriteFile(".\\Sorvanto.ini", "[System]\r\nModel=1\r\nIrMode=0\r\n[Melody]\r\nMidiOut=none\r\n");
    QFile::copy(QStringLiteral(SORVANTO_SOURCE_DIR "/data/imoji.ini"), QStringLiteral("imoji.ini"));
    SettingsFile::Reset();

    CSorvantoDoc doc;
    CMainFrame frame(doc);
    frame.show();
    frame.StartUp();
    for (const char* sample : {"family1/mld.vnt", "family1/pic.vnt", "family1/mypic.vnt", "family1/telecom_bm.url",
                               "family1/telecom_pb.vcf", "family1/telecom_inmsg.vmg", "family1/telecom_sentmsg.vmg"})
        Receive(frame, sample);
    frame.OnTimer();
    Settle(1000);

    CSelectView& view = *frame.SelectView();
    const auto on_tab = [&view](Category c, int row) {
        for (int i = 0; i < view.TabCount(); ++i) {
            view.SelectTab(i);
            if (view.CurrentPage() && view.CurrentPage()->GetCategory() == c) break;
        }
        if (auto* list = dynamic_cast<CCategoryList*>(view.CurrentPage())) list->SelectRow(row);
    };
    const auto command = [&frame](int id) { return [&frame, id] { frame.OnCommand(id); }; };

    Shots take(shots, args);
    on_tab(Category::kAddress, 0);
    take.Take("address-edit", command(cmd::kEdit));
    take.Take("address-new", command(cmd::kNew));
    on_tab(Category::kAddress, -1);
    take.Take("message", command(cmd::kEdit));  // nothing selected
    on_tab(Category::kMelody, 0);
    take.Take("comment", command(cmd::kEdit));
    take.Take("mld-info", command(cmd::kDetails));
    take.Take("melody-player", command(cmd::kPlay));
    on_tab(Category::kMyPic, 0);  // the samples' pictures are camera pictures
    take.Take("title-comment", command(cmd::kEdit));
    take.Take("image-preview", command(cmd::kPreview));
    on_tab(Category::kInMail, 0);
    take.Take("mail-view", command(cmd::kView));
    on_tab(Category::kOutMail, -1);
    take.Take("mail-compose", command(cmd::kNew));
    // The address selection opens from a composer, which is open before the selection is.
    frame.OnCommand(cmd::kNew);
    Settle(500);
    QPointer<QWidget> composer;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits("sorvanto::CMailComposeDlg")) composer = w;
    if (composer) {
        for (QPushButton* b : composer->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Address")) take.Take("address-select", [b] { b->click(); });
        if (composer) composer->close();
        Settle(200);
    }
    take.Take("pictograph-keyboard", command(cmd::kPictograph));
    take.Take("eudc-register", command(cmd::kEudc));
    take.Take("duplicates", command(cmd::kDuplicates));
    take.Take("config", command(cmd::kConfig));
    take.Take("about", command(cmd::kAbout));
    // The window a send shows while it runs, shown as the send shows it.
    take.Take("busy", [] {
        auto* busy = new CBusyDlg(nullptr);
        busy->setAttribute(Qt::WA_DeleteOnClose);
        busy->show();
        busy->raise();
        busy->activateWindow();
    });
    std::printf("done %d\n", take.Failures());
    return take.Failures() == 0 ? 0 : 1;
}
