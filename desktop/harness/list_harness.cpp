// Shows the seven category lists over a working folder. With --sample the folder is first
// filled with sample items from the source tree; with --shot DIR each list, the preview
// window and the player window are written to DIR as PNG files and the program ends.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/command_ids.h"
#include "common/settings_file.h"
#include "common/sjis.h"
#include "lists/bookmark_list.h"
#include "lists/melody_list.h"
#include "lists/out_mail_list.h"
#include "lists/picture_list.h"
#include "platform/fs.h"

using namespace sorvanto;

namespace {

const QString kData = QStringLiteral(SORVANTO_SOURCE_DIR "/tests/data/");

void CopyTree(const QString& from, const QString& to) {
    if (QFileInfo(from).isDir()) {
        QDir().mkpath(to);
        for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            CopyTree(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
        return;
    }
    if (!QFile::exists(to)) QFile::copy(from, to);
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

void FillSample(const std::vector<CCategoryList*>& lists) {
    auto& melodies = static_cast<CMelodyList&>(*lists[0]).TypedStore();
    auto& pictures = static_cast<CPictureList&>(*lists[1]).TypedStore();
    auto& bookmarks = static_cast<CBookmarkList&>(*lists[2]).TypedStore();
    auto& outmail = static_cast<COutMailList&>(*lists[3]).TypedStore();
    auto& camera = static_cast<CPictureList&>(*lists[6]).TypedStore();
    for (const char* name : {"song.mld", "long.mld"}) {
        QFile::copy(kData + QStringLiteral("store/melody/") + QLatin1String(name), QLatin1String(name));
        melodies.Register(name, 1);
    }
    if (!melodies.Keys().empty()) melodies.SetComment(melodies.Keys().front(), sjis::Lit("朝のアラーム"));
    for (const char* name : {"small.jpg", "small.gif", "small.bmp"}) {
        QFile::copy(kData + QStringLiteral("images/") + QLatin1String(name), QLatin1String(name));
        pictures.Register(name, sjis::Lit("待ち受け ") + name, sjis::Lit("桜の写真"), 1);
        camera.Register(name, sjis::Lit("カメラ ") + name, std::string(), 0);
    }
    bookmarks.Register(sjis::Lit("天気予報"), "http://weather.example.jp/tokyo", 1);
    bookmarks.Register(sjis::Lit("ニュース"), "https://news.example.jp/", 0);
    MailRecord mail{};
    mail.key = -1;
    CopyField(mail.address, "hanako@example.ne.jp");
    CopyField(mail.subject, sjis::Lit("週末の予定"));
    CopyField(mail.body, sjis::Lit("土曜日は空いていますか？"));
    outmail.SaveComposed(mail);
}

bool Shoot(QWidget* w, const QString& dir, const char* name) {
    w->resize(w->size().expandedTo(QSize(10, 10)));
    const QString path = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "failed", path.toLocal8Bit().constData());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    bool sample = false;
    QString shot_dir, home;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--sample")) sample = true;
        else if (args[i] == QStringLiteral("--shot") && i + 1 < args.size()) shot_dir = QDir(args[++i]).absolutePath();
        else home = args[i];
    }
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        QDir::setCurrent(home);
    }
    if (sample) {
        CopyTree(kData + QStringLiteral("store/address"), QStringLiteral("."));
        CopyTree(kData + QStringLiteral("store/inmail"), QStringLiteral("."));
    }
    SettingsFile::Reset();

    QTabWidget tabs;
    QFont f = tabs.font();
    f.setPointSize(10);
    tabs.setFont(f);
    const Category order[] = {Category::kMelody,  Category::kPicture, Category::kBookmark, Category::kOutMail,
                              Category::kInMail, Category::kAddress, Category::kMyPic};
    const char* names[] = {"着メロ", "待ち受け", "ブックマーク", "送信メール", "受信メール", "アドレス帳", "カメラ写真"};
    std::vector<CCategoryList*> lists;
    for (int i = 0; i < 7; ++i) {
        CCategoryList* list = CCategoryList::Create(order[i], [] { return 8; }, &tabs, &tabs);
        list->Load();
        lists.push_back(list);
        tabs.addTab(list, QString::fromUtf8(names[i]));
    }
    if (sample && lists[0]->RowCount() == 0) FillSample(lists);
    tabs.resize(760, 300);
    tabs.show();
    if (shot_dir.isEmpty()) return app.exec();

    QDir().mkpath(shot_dir);
    const char* files[] = {"list-melody", "list-picture", "list-bookmark", "list-outmail",
                           "list-inmail", "list-address", "list-mypic"};
    bool ok = true;
    for (int i = 0; i < 7; ++i) {
        tabs.setCurrentIndex(i);
        lists[i]->SelectRow(0);
        app.processEvents();
        ok = Shoot(&tabs, shot_dir, files[i]) && ok;
    }
    auto* pictures = static_cast<CPictureList*>(lists[1]);
    pictures->SelectRow(0);
    pictures->DoCommand(cmd::kPreview);
    app.processEvents();
    if (pictures->Preview()) ok = Shoot(pictures->Preview(), shot_dir, "preview") && ok;
    pictures->SelectRow(-1);
    pictures->Preview()->close();
    app.processEvents();
    pictures->DoCommand(cmd::kPreview);  // nothing selected: the default picture
    app.processEvents();
    if (pictures->Preview()) ok = Shoot(pictures->Preview(), shot_dir, "preview-empty") && ok;
    auto* melodies = static_cast<CMelodyList*>(lists[0]);
    melodies->SelectRow(0);
    melodies->DoCommand(cmd::kPlay);
    app.processEvents();
    if (melodies->Player()) {
        melodies->Player()->Stop();
        ok = Shoot(melodies->Player(), shot_dir, "player") && ok;
    }
    return ok ? 0 : 1;
}
