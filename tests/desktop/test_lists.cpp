#include <QHeaderView>
#include <QMainWindow>
#include <QTabWidget>
#include <QTest>
#include <QWindow>
#include <memory>

#include "app/command_ids.h"
#include "formats/send_request_table.h"
#include "platform/midi_out_recorder.h"
#include "lists/address_list.h"
#include "lists/bookmark_list.h"
#include "lists/in_mail_list.h"
#include "lists/list_rules.h"
#include "lists/melody_list.h"
#include "lists/my_pic_list.h"
#include "lists/out_mail_list.h"
#include "lists/picture_list.h"
#include "platform/ini_file.h"
#include "test_lists_support.h"

using namespace sorvanto;
using namespace sorvanto::test;

namespace {

constexpr int kModelN505i = 8;
constexpr int kModelP503i = 0;

template <class List>
std::unique_ptr<List> MakeList(RequestSpy& spy, ScriptedPrompt& prompt, int model = kModelN505i) {
    auto list = std::make_unique<List>([model] { return model; }, &spy, nullptr);
    list->SetPrompt(&prompt);
    list->Load();
    return list;
}

std::vector<std::string> Row(const CCategoryList& list, int row) {
    std::vector<std::string> texts;
    for (int c = 0; c < list.ColumnCount(); ++c) texts.push_back(list.ItemText(row, c));
    return texts;
}

void SelectRows(CCategoryList& list, std::initializer_list<int> rows) {
    list.selectionModel()->clearSelection();
    for (int r : rows)
        list.selectionModel()->select(list.Model()->index(r, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

SendRequest RequestOf(const RequestSpy::Request& r) {
    SendRequest request{};
    memcpy(&request, r.bytes.data(), std::min(r.bytes.size(), sizeof request));
    return request;
}

}  // namespace

class TestLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnWidthsComeFromAndGoBackToTheSettings();
    void aFittedColumnWidthIsSavedLikeAnyOther();
    void rowTextsOfEveryCategory();
    void commandsWithoutSelectionSayNothingIsSelected();
    void deleteAsksAndLogs();
    void saveProposesTheTitleWithoutForbiddenCharacters();
    void addressBookSendsAndDeletesTheWholeSelection();
    void droppedFilesGoToTheCategoryOrToTheMainWindow();
    void rightAndDoubleClicksOnlyOnRows();
    void sendPostsTheBuiltObjectOrLogsTheFailure();
    void browserOpensOnlyWebAddresses();
    void commentAndTitleEditsUpdateTheRows();
    void previewFollowsTheSelection();
    void playerIsReusedForTheNextMelody();
    void previewAndPlayerStayInFrontOfTheMainWindow();
    void sentMailStoresComposedMailAndPrefillsReplies();
    void mailWindowIsBroughtForwardNotOpenedTwice();
};

void TestLists::columnWidthsComeFromAndGoBackToTheSettings() {
    ListHome home;
    fs::WriteFile(".\\Sorvanto.ini", "[System]\r\nModel=8\r\n[Tab5]\r\nColumn0=150\r\nColumn3=60\r\n");
    SettingsFile::Reset();
    RequestSpy spy;
    ScriptedPrompt prompt;
    {
        auto list = MakeList<CAddressList>(spy, prompt);
        QCOMPARE(list->TabNumber(), 5);
        QCOMPARE(list->ColumnCount(), 6);
        const char* headings[] = {"名前", "フリガナ", "電話番号", "メール", "メモ", "登録日時"};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                     QString::fromUtf8(headings[c]));
        QCOMPARE(list->header()->sectionSize(0), 150);
        QCOMPARE(list->header()->sectionSize(1), 100);
        QCOMPARE(list->header()->sectionSize(3), 60);
        list->header()->resizeSection(1, 77);
    }
    IniFile ini(".\\Sorvanto.ini");
    QCOMPARE(ini.GetInt("Tab5", "Column0", 0), 150);
    QCOMPARE(ini.GetInt("Tab5", "Column1", 0), 77);
    QCOMPARE(ini.GetInt("Tab5", "Column5", 0), 100);
    QCOMPARE(ini.GetInt("System", "Model", 0), 8);

    // Camera and standby pictures share their widths.
    {
        auto pictures = MakeList<CPictureList>(spy, prompt);
        pictures->header()->resizeSection(2, 44);
    }
    auto camera = MakeList<CMyPicList>(spy, prompt);
    QCOMPARE(camera->TabNumber(), 1);
    QCOMPARE(camera->header()->sectionSize(2), 44);
    QCOMPARE(camera->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("サイズ"));
}

void TestLists::aFittedColumnWidthIsSavedLikeAnyOther() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/address"), QStringLiteral("."));
    fs::WriteFile(".\\Sorvanto.ini", "[System]\r\nModel=8\r\n[Tab5]\r\nColumn0=300\r\n");
    SettingsFile::Reset();
    RequestSpy spy;
    ScriptedPrompt prompt;
    int fitted = 0;
    {
        auto list = MakeList<CAddressList>(spy, prompt);
        QVERIFY(list->RowCount() > 0);
        list->resize(700, 300);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QHeaderView* header = list->header();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                           QPoint(header->sectionSize(0) - 1, header->height() / 2));
        fitted = header->sectionSize(0);
        QCOMPARE(fitted, list->FittingWidth(0));
        QVERIFY(fitted > 0 && fitted < 300);
    }
    QCOMPARE(IniFile(".\\Sorvanto.ini").GetInt("Tab5", "Column0", 0), fitted);
}

void TestLists::rowTextsOfEveryCategory() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/address"), QStringLiteral("."));
    ListHome::CopyFixture(QStringLiteral("store/inmail"), QStringLiteral("."));
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    ListHome::CopyFixture(QStringLiteral("store/picture/jfif.jpg"), QStringLiteral("jfif.jpg"));
    ListHome::CopyFixture(QStringLiteral("store/picture/tiny.gif"), QStringLiteral("tiny.gif"));
    RequestSpy spy;
    ScriptedPrompt prompt;

    auto address = MakeList<CAddressList>(spy, prompt);
    QCOMPARE(address->RowCount(), 2);
    QCOMPARE(address->ItemText(0, 0), S("山田太郎"));
    QCOMPARE(address->ItemText(0, 2), std::string("09012345678"));
    QCOMPARE(address->ItemText(0, 3), std::string("taro@example.ne.jp"));
    // Registration times: blank mark from the handset, '*' for items made here.
    QCOMPARE(address->ItemText(0, 5).back(), ' ');
    QCOMPARE(address->ItemText(1, 5).back(), '*');
    QCOMPARE(address->ItemText(0, 5).size(), std::size_t(21));

    auto inmail = MakeList<CInMailList>(spy, prompt);
    QCOMPARE(inmail->RowCount(), 2);  // the fixture's index names one file that is missing
    QCOMPARE(inmail->ItemText(0, 0), std::string("taro@example.ne.jp"));
    QCOMPARE(inmail->ItemText(0, 1), S("こんにちは"));
    QCOMPARE(inmail->ItemText(0, 4), S("無し"));
    QCOMPARE(inmail->ItemText(1, 4), S("有り"));
    QCOMPARE(inmail->ItemText(0, 3), std::string("2003/07/01 01:20:00  "));
    QCOMPARE(inmail->Record(0)->image, 4);  // status 0
    QCOMPARE(inmail->Record(1)->image, 3);

    auto melodies = MakeList<CMelodyList>(spy, prompt);
    melodies->ImportFile("song.mld");
    QCOMPARE(melodies->RowCount(), 1);
    const auto melody = Row(*melodies, 0);
    QCOMPARE(melody[1], std::to_string(QFileInfo(QStringLiteral("song.mld")).size()));
    QVERIFY(!melody[0].empty());
    QCOMPARE(melody[3].back(), '*');

    auto pictures = MakeList<CMyPicList>(spy, prompt);
    pictures->ImportFile("jfif.jpg");
    pictures->ImportFile("tiny.gif");
    QCOMPARE(pictures->RowCount(), 2);
    QCOMPARE(pictures->ItemText(0, 0), S("名称未設定"));
    QCOMPARE(pictures->ItemText(0, 3), std::string("JPEG"));
    QCOMPARE(pictures->ItemText(1, 3), std::string("GIF"));
    QVERIFY(pictures->ItemText(1, 1).find(" x ") != std::string::npos);
    QCOMPARE(spy.OfKind(RequestKind::Log).back().Text(), S("カメラ画像[名称未設定]を登録しました"));

    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->TypedStore().Register("Site", "http://example.jp/", 1);
    QCOMPARE(Row(*bookmarks, 0)[1], std::string("http://example.jp/"));
    QCOMPARE(Row(*bookmarks, 0)[3].back(), ' ');
}

void TestLists::commandsWithoutSelectionSayNothingIsSelected() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/address"), QStringLiteral("."));
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto address = MakeList<CAddressList>(spy, prompt);
    for (int command : {cmd::kSend, cmd::kDelete, cmd::kEdit, cmd::kSave}) address->DoCommand(command);
    QCOMPARE(prompt.told.size(), std::size_t(4));
    for (const auto& text : prompt.told) QCOMPARE(text, S("選択されているアイテムがありません"));
    QVERIFY(prompt.asked.empty());
    QCOMPARE(address->RowCount(), 2);
    QVERIFY(spy.OfKind(RequestKind::Send).empty());

    // New needs no row; a command the tab does not carry does nothing at all.
    prompt.told.clear();
    address->DoCommand(cmd::kNew);
    address->DoCommand(cmd::kPlay);
    QVERIFY(prompt.told.empty());
    QVERIFY(!address->IsCommandSupported(cmd::kPlay));
    QVERIFY(address->IsCommandSupported(cmd::kNew));

    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->DoCommand(cmd::kBrowser);
    QCOMPARE(prompt.told, std::vector<std::string>{S("選択されているアイテムがありません")});
    QVERIFY(prompt.opened_urls.empty());
}

void TestLists::deleteAsksAndLogs() {
    ListHome home;
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->TypedStore().Register("Keep", "http://a.example/", 1);
    bookmarks->TypedStore().Register(S("ニュース"), "http://b.example/", 1);
    bookmarks->SelectRow(1);

    prompt.answers = {false};
    bookmarks->DoCommand(cmd::kDelete);
    QCOMPARE(prompt.asked.back(), S("ブックマーク[ニュース]を削除しますか？"));
    QCOMPARE(prompt.ask_icons.back(), Prompt::Icon::kNone);
    QCOMPARE(bookmarks->RowCount(), 2);

    const std::size_t logs = spy.OfKind(RequestKind::Log).size();
    prompt.answers = {true};
    bookmarks->DoCommand(cmd::kDelete);
    QCOMPARE(bookmarks->RowCount(), 1);
    QCOMPARE(bookmarks->ItemText(0, 0), std::string("Keep"));
    const auto log = spy.OfKind(RequestKind::Log);
    QCOMPARE(log.size(), logs + 1);
    QCOMPARE(log.back().Text(), S("ブックマーク[ニュース]を削除しました"));
    // Written at once: a new list over the same index sees one bookmark.
    QCOMPARE(IniFile(".\\bookmk.ini").GetInt("System", "Count", -1), 1);
}

void TestLists::saveProposesTheTitleWithoutForbiddenCharacters() {
    ListHome home;
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->TypedStore().Register("a\\b/c:d;e*f?g\"h<i>j|k", "http://example.jp/x", 1);
    bookmarks->TypedStore().Register("/:*?", "http://example.jp/y", 1);
    bookmarks->SelectRow(0);
    prompt.save_path = QDir::current().filePath(QStringLiteral("saved.url")).toStdString();
    bookmarks->DoCommand(cmd::kSave);
    QCOMPARE(prompt.proposed_names.back(), std::string("abcdefghijk"));
    QCOMPARE(prompt.filters.back(), std::string("URL File (*.url)|*.url|All Files (*.*)|*.*||"));
    QCOMPARE(IniFile(*prompt.save_path).GetString("InternetShortcut", "URL"), std::string("http://example.jp/x"));

    bookmarks->SelectRow(1);
    prompt.save_path.reset();
    bookmarks->DoCommand(cmd::kSave);
    QCOMPARE(prompt.proposed_names.back(), std::string());

    QCOMPARE(std::string(SaveSpecOf(Category::kPicture, 2).default_ext), std::string("*.gif"));
    QCOMPARE(std::string(SaveSpecOf(Category::kInMail).filter), std::string("Mail File (*.eml)|*.eml||"));
    QCOMPARE(QtFilterOf("MLD File (*.mld)|*.mld|All Files (*.*)|*.*||"),
             std::string("MLD File (*.mld);;All Files (*.*)"));
}

void TestLists::addressBookSendsAndDeletesTheWholeSelection() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/address"), QStringLiteral("."));
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto address = MakeList<CAddressList>(spy, prompt);
    SelectRows(*address, {0, 1});

    address->DoCommand(cmd::kSend);  // the script answers Cancel
    QCOMPARE(prompt.asked.back(), S("複数選択されています。全件送信しますか？\n※携帯側のデータは全て消去されます"));
    QCOMPARE(prompt.ask_icons.back(), Prompt::Icon::kExclamation);
    QVERIFY(spy.OfKind(RequestKind::Send).empty());

    prompt.answers = {true};
    address->DoCommand(cmd::kSend);
    const auto sends = spy.OfKind(RequestKind::Send);
    QCOMPARE(sends.size(), std::size_t(1));
    const SendRequest request = RequestOf(sends.front());
    QCOMPARE(request.kind, 101);
    QCOMPARE(FieldText(request.title), S("アドレス帳(複数件送信)"));
    QCOMPARE(FieldText(request.local_path), std::string(".\\saddr_all.tmp"));
    const std::string book = fs::ReadFile(".\\saddr_all.tmp").value_or("");
    // The first row is part of the book, and so is the second.
    QVERIFY(book.find(S("山田")) != std::string::npos);
    QVERIFY(book.find(address->ItemText(1, 0)) != std::string::npos);

    prompt.answers = {true};
    address->DoCommand(cmd::kDelete);
    QCOMPARE(prompt.asked.back(), S("複数選択されています。全て削除しますか？"));
    QCOMPARE(address->RowCount(), 0);
    const auto log = spy.OfKind(RequestKind::Log);
    QCOMPARE(log[log.size() - 2].Text(), S("アドレス[山田太郎]を削除しました"));
    QCOMPARE(IniFile(".\\address.ini").GetInt("System", "Count", -1), 0);
}

void TestLists::droppedFilesGoToTheCategoryOrToTheMainWindow() {
    ListHome home;
    QDir().mkpath(QStringLiteral("links"));
    fs::WriteFile("links\\News.URL", "[InternetShortcut]\r\nURL=http://news.example/\r\n");
    fs::WriteFile("links\\Empty.url", "[InternetShortcut]\r\nName=x\r\n");
    ListHome::CopyFixture(QStringLiteral("store/picture/text.txt"), QStringLiteral("text.txt"));
    ListHome::CopyFixture(QStringLiteral("store/picture/jfif.jpg"), QStringLiteral("jfif.jpg"));
    RequestSpy spy;
    ScriptedPrompt prompt;

    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->ImportFile(QDir::current().filePath(QStringLiteral("links/News.URL")).toStdString());
    QCOMPARE(bookmarks->RowCount(), 1);
    QCOMPARE(bookmarks->ItemText(0, 0), std::string("News"));
    QCOMPARE(bookmarks->ItemText(0, 3).back(), '*');
    QVERIFY(spy.OfKind(RequestKind::ImportFile).empty());
    const std::string empty = QDir::current().filePath(QStringLiteral("links/Empty.url")).toStdString();
    bookmarks->ImportFile(empty);
    QCOMPARE(bookmarks->RowCount(), 1);
    QCOMPARE(spy.OfKind(RequestKind::ImportFile).back().Text(), empty);
    QCOMPARE(spy.OfKind(RequestKind::ImportFile).back().bytes.size(), empty.size() + 1);

    auto pictures = MakeList<CPictureList>(spy, prompt);
    pictures->ImportFile("text.txt");
    QCOMPARE(pictures->RowCount(), 0);
    QCOMPARE(spy.OfKind(RequestKind::ImportFile).back().Text(), std::string("text.txt"));
    pictures->ImportFile("jfif.jpg");
    QCOMPARE(pictures->RowCount(), 1);
    QCOMPARE(spy.OfKind(RequestKind::Log).back().Text(), S("待ち受け[名称未設定]を登録しました"));

    auto address = MakeList<CAddressList>(spy, prompt);
    address->ImportFile("jfif.jpg");
    QCOMPARE(address->RowCount(), 0);
    QCOMPARE(spy.OfKind(RequestKind::ImportFile).size(), std::size_t(3));
}

void TestLists::rightAndDoubleClicksOnlyOnRows() {
    ListHome home;
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->TypedStore().Register("Site", "http://example.jp/", 1);

    bookmarks->RowRightClicked(1, QPoint(10, 20));
    bookmarks->RowDoubleClicked(1);
    bookmarks->RowDoubleClicked(-1);
    QVERIFY(spy.OfKind(RequestKind::ContextMenu).empty());
    QVERIFY(prompt.opened_urls.empty());

    bookmarks->RowRightClicked(0, QPoint(310, 420));
    const auto menus = spy.OfKind(RequestKind::ContextMenu);
    QCOMPARE(menus.size(), std::size_t(1));
    QCOMPARE(menus[0].bytes.size(), sizeof(ContextMenuRequest));
    ContextMenuRequest request;
    memcpy(&request, menus[0].bytes.data(), sizeof request);
    QCOMPARE(request.menu_index, 1);
    QCOMPARE(request.screen_x, 310);
    QCOMPARE(request.screen_y, 420);
    QCOMPARE(bookmarks->CurrentRow(), 0);

    bookmarks->SelectRow(0);
    bookmarks->RowDoubleClicked(0);
    QCOMPARE(prompt.opened_urls, std::vector<std::string>{"http://example.jp/"});

    QCOMPARE(RulesOf(Category::kMyPic).menu_index, 5);
    QCOMPARE(RulesOf(Category::kAddress).default_command, cmd::kEdit);
    QCOMPARE(RulesOf(Category::kInMail).default_command, cmd::kView);
}

void TestLists::sendPostsTheBuiltObjectOrLogsTheFailure() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    ListHome::CopyFixture(QStringLiteral("store/picture/jfif.jpg"), QStringLiteral("jfif.jpg"));
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto melodies = MakeList<CMelodyList>(spy, prompt);
    melodies->ImportFile("song.mld");
    melodies->SelectRow(0);
    melodies->DoCommand(cmd::kSend);
    auto sends = spy.OfKind(RequestKind::Send);
    QCOMPARE(sends.size(), std::size_t(1));
    QCOMPARE(sends[0].bytes.size(), sizeof(SendRequest));
    const SendRequest request = RequestOf(sends[0]);
    QCOMPARE(request.kind, 4);
    QCOMPARE(FieldText(request.title), S("着メロ"));
    QCOMPARE(FieldText(request.local_path), std::string(".\\smld.tmp"));
    QVERIFY(!FieldText(request.object_name).empty());
    QVERIFY(fs::FileSize(".\\smld.tmp") > 0);

    // The P503i(S) takes no standby picture: nothing is sent, the log says so.
    auto pictures = MakeList<CPictureList>(spy, prompt, kModelP503i);
    pictures->ImportFile("jfif.jpg");
    pictures->SelectRow(0);
    pictures->DoCommand(cmd::kSend);
    QCOMPARE(spy.OfKind(RequestKind::Send).size(), std::size_t(1));
    QCOMPARE(spy.OfKind(RequestKind::Log).back().Text(), SendRequestTable::BuildFailedLine());
}

void TestLists::browserOpensOnlyWebAddresses() {
    QVERIFY(IsBrowsableUrl("http://example.jp/"));
    QVERIFY(IsBrowsableUrl("HTTPS://example.jp/a?b"));
    QVERIFY(!IsBrowsableUrl("file:///etc/passwd"));
    QVERIFY(!IsBrowsableUrl("javascript:alert(1)"));
    QVERIFY(!IsBrowsableUrl("/usr/bin/xterm"));
    QVERIFY(!IsBrowsableUrl("http:"));

    ListHome home;
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->TypedStore().Register("Local", "file:///etc/passwd", 1);
    bookmarks->TypedStore().Register("Web", "https://example.jp/", 1);
    bookmarks->SelectRow(0);
    bookmarks->DoCommand(cmd::kBrowser);
    QVERIFY(prompt.opened_urls.empty());
    QCOMPARE(prompt.told, std::vector<std::string>{S("ブラウザが起動できませんでした")});

    bookmarks->SelectRow(1);
    prompt.open_url_result = false;
    bookmarks->DoCommand(cmd::kBrowser);
    QCOMPARE(prompt.opened_urls, std::vector<std::string>{"https://example.jp/"});
    QCOMPARE(prompt.told.size(), std::size_t(2));
}

void TestLists::commentAndTitleEditsUpdateTheRows() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/picture/tiny.gif"), QStringLiteral("tiny.gif"));
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto pictures = MakeList<CPictureList>(spy, prompt);
    pictures->ImportFile("tiny.gif");
    pictures->SelectRow(0);
    prompt.title_comment = std::make_pair(std::string(70, 'T'), S("夕焼け"));
    pictures->DoCommand(cmd::kEdit);
    QCOMPARE(pictures->ItemText(0, 0), std::string(63, 'T'));
    QCOMPARE(pictures->ItemText(0, 4), S("夕焼け"));
    prompt.title_comment.reset();
    pictures->DoCommand(cmd::kEdit);
    QCOMPARE(pictures->ItemText(0, 4), S("夕焼け"));

    auto bookmarks = MakeList<CBookmarkList>(spy, prompt);
    bookmarks->TypedStore().Register("Site", "http://example.jp/", 1);
    bookmarks->SelectRow(0);
    prompt.comment = S("よく見る");
    bookmarks->DoCommand(cmd::kEdit);
    QCOMPARE(bookmarks->ItemText(0, 2), S("よく見る"));
}

void TestLists::previewFollowsTheSelection() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/picture/jfif.jpg"), QStringLiteral("jfif.jpg"));
    ListHome::CopyFixture(QStringLiteral("store/picture/tiny.bmp"), QStringLiteral("tiny.bmp"));
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto pictures = MakeList<CPictureList>(spy, prompt);
    pictures->ImportFile("jfif.jpg");
    pictures->ImportFile("tiny.bmp");
    QCOMPARE(pictures->RowCount(), 2);

    pictures->DoCommand(cmd::kPreview);
    QVERIFY(pictures->Preview());
    QVERIFY(pictures->Preview()->isVisible());
    QVERIFY(pictures->Preview()->PicturePath().empty());
    QVERIFY(prompt.told.empty());

    pictures->SelectRow(1);
    const std::string second = pictures->TypedStore().Find(pictures->UserValue(1))->path;
    QCOMPARE(pictures->Preview()->PicturePath(), second);
    pictures->SelectRow(0);
    QCOMPARE(pictures->Preview()->PicturePath(), pictures->TypedStore().Find(pictures->UserValue(0))->path);

    pictures->Preview()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!pictures->Preview());
    pictures->SelectRow(1);  // no window: nothing to follow
    pictures->DoCommand(cmd::kPreview);
    QCOMPARE(pictures->Preview()->PicturePath(), second);
}

void TestLists::playerIsReusedForTheNextMelody() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    ListHome::CopyFixture(QStringLiteral("store/melody/long.mld"), QStringLiteral("long.mld"));
    RequestSpy spy;
    ScriptedPrompt prompt;
    auto melodies = MakeList<CMelodyList>(spy, prompt);
    int made = 0;
    melodies->SetPlayerFactory([&made](const std::string& index, QWidget* parent) {
        ++made;
        MldPlayer::Options options;
        options.open_output = [](std::string*) { return std::make_shared<RecordingMidiOut>(); };
        options.use_timer = false;
        return new CMelodyPlayerDlg(index, parent, options);
    });
    melodies->ImportFile("song.mld");
    melodies->ImportFile("long.mld");
    melodies->SelectRow(0);
    melodies->DoCommand(cmd::kPlay);
    QVERIFY(melodies->Player());
    QCOMPARE(melodies->Player()->MelodyPath(), melodies->TypedStore().At(0)->path);
    melodies->SelectRow(1);
    melodies->RowDoubleClicked(1);
    QCOMPARE(made, 1);
    QCOMPARE(melodies->Player()->MelodyPath(), melodies->TypedStore().At(1)->path);

    melodies->DoCommand(cmd::kDetails);
    QCOMPARE(prompt.details_paths, std::vector<std::string>{melodies->TypedStore().At(1)->path});
    std::string title, path;
    QCOMPARE(melodies->GetMelody(1, &title, &path), 1);
    QCOMPARE(path, melodies->TypedStore().At(1)->path);
    QCOMPARE(melodies->GetMelody(2, &title, &path), 0);
}

void TestLists::previewAndPlayerStayInFrontOfTheMainWindow() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/picture/jfif.jpg"), QStringLiteral("jfif.jpg"));
    ListHome::CopyFixture(QStringLiteral("store/picture/tiny.bmp"), QStringLiteral("tiny.bmp"));
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    RequestSpy spy;
    ScriptedPrompt prompt;
    QMainWindow main_window;
    auto* tabs = new QTabWidget(&main_window);
    main_window.setCentralWidget(tabs);
    auto* pictures = new CPictureList([] { return kModelN505i; }, &spy, tabs);
    auto* melodies = new CMelodyList([] { return kModelN505i; }, &spy, tabs);
    for (CCategoryList* list : {static_cast<CCategoryList*>(pictures), static_cast<CCategoryList*>(melodies)}) {
        list->SetPrompt(&prompt);
        list->Load();
    }
    tabs->addTab(pictures, QStringLiteral("pictures"));
    tabs->addTab(melodies, QStringLiteral("melodies"));
    melodies->SetPlayerFactory([](const std::string& index, QWidget* parent) {
        MldPlayer::Options options;
        options.open_output = [](std::string*) { return std::make_shared<RecordingMidiOut>(); };
        options.use_timer = false;
        return new CMelodyPlayerDlg(index, parent, options);
    });
    pictures->ImportFile("jfif.jpg");
    pictures->ImportFile("tiny.bmp");
    melodies->ImportFile("song.mld");
    main_window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main_window));

    pictures->SelectRow(0);
    pictures->DoCommand(cmd::kPreview);
    melodies->SelectRow(0);
    melodies->DoCommand(cmd::kPlay);
    QWidget* windows[] = {pictures->Preview(), melodies->Player()};
    for (QWidget* w : windows) {
        QVERIFY(w);
        QVERIFY(w->isVisible());
        // A tool window of the main window is kept above it by the window system, whatever is
        // clicked in the main window; a plain window is not.
        QCOMPARE(w->windowType(), Qt::Tool);
        QVERIFY(w->windowHandle());
        QCOMPARE(w->windowHandle()->transientParent(), main_window.windowHandle());
    }
    // A click on a row raises the main window; the preview follows the selection and stays shown.
    main_window.raise();
    main_window.activateWindow();
    const QRect row = pictures->visualRect(pictures->Model()->index(1, 0));
    QTest::mouseClick(pictures->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(pictures->Preview()->PicturePath(), pictures->TypedStore().Find(pictures->UserValue(1))->path);
    QVERIFY(pictures->Preview()->isVisible());
    QVERIFY(melodies->Player()->isVisible());
}

void TestLists::sentMailStoresComposedMailAndPrefillsReplies() {
    ListHome home;
    RequestSpy spy;
    ScriptedPrompt prompt;
    std::vector<std::pair<MailRecord, int>> opened;
    CMailList::SetMailWindowFactory([&opened](const MailRecord& record, int mode, QWidget*) {
        opened.emplace_back(record, mode);
        return new QWidget;
    });
    auto outmail = MakeList<COutMailList>(spy, prompt);
    MailRecord finished{};
    finished.key = -1;
    CopyField(finished.address, "hanako@example.ne.jp");
    CopyField(finished.subject, S("お知らせ %s"));
    CopyField(finished.body, "100%d\n");
    QCOMPARE(outmail->MailRequest(2, finished), 1);
    QCOMPARE(outmail->RowCount(), 1);
    QCOMPARE(outmail->ItemText(0, 1), S("お知らせ %s"));
    QCOMPARE(outmail->ItemText(0, 0), std::string("hanako@example.ne.jp"));
    QCOMPARE(outmail->Record(0)->image, 2);
    QCOMPARE(spy.OfKind(RequestKind::Log).back().Text(), S("送信メール[お知らせ %s]を登録しました"));

    MailRecord reply{};
    reply.key = -1;
    CopyField(reply.address, "taro@example.ne.jp");
    CopyField(reply.subject, "Re: hi");
    CopyField(reply.body, "> hi");
    QCOMPARE(outmail->MailRequest(3, reply), 1);
    QCOMPARE(opened.size(), std::size_t(1));
    QCOMPARE(opened[0].second, 1);
    QCOMPARE(opened[0].first.key, -1);
    QCOMPARE(FieldText(opened[0].first.address), std::string("taro@example.ne.jp"));
    QCOMPARE(FieldText(opened[0].first.subject), std::string("Re: hi"));

    // Status 0 (written here): sent as an unsent mail.
    outmail->SelectRow(0);
    outmail->DoCommand(cmd::kSend);
    const auto sends = spy.OfKind(RequestKind::Send);
    QCOMPARE(sends.size(), std::size_t(1));
    QCOMPARE(RequestOf(sends[0]).kind, 9);
    QCOMPARE(FieldText(RequestOf(sends[0]).local_path), std::string(".\\somail.tmp"));
    CMailList::SetMailWindowFactory(nullptr);
}

void TestLists::mailWindowIsBroughtForwardNotOpenedTwice() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/inmail"), QStringLiteral("."));
    RequestSpy spy;
    ScriptedPrompt prompt;
    std::vector<MailRecord> opened;
    std::vector<int> modes;
    std::vector<std::unique_ptr<QWidget>> windows;
    CMailList::SetMailWindowFactory([&](const MailRecord& record, int mode, QWidget*) {
        opened.push_back(record);
        modes.push_back(mode);
        windows.push_back(std::make_unique<QWidget>());
        return windows.back().get();
    });
    auto inmail = MakeList<CInMailList>(spy, prompt);
    inmail->SelectRow(0);
    inmail->DoCommand(cmd::kView);
    inmail->RowDoubleClicked(0);
    QCOMPARE(opened.size(), std::size_t(1));
    QCOMPARE(modes, std::vector<int>{0});
    QCOMPARE(FieldText(opened[0].subject), S("こんにちは"));
    QCOMPARE(opened[0].key, inmail->UserValue(0));
    windows.clear();  // the person closed it: the next view opens a new one
    inmail->DoCommand(cmd::kView);
    QCOMPARE(opened.size(), std::size_t(2));
    CMailList::SetMailWindowFactory(nullptr);
}

QTEST_MAIN(TestLists)
#include "test_lists.moc"
