#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/copy_data_event.h"
#include "dialogs/comment_dlg.h"
#include "dialogs/image_preview_dlg.h"
#include "dialogs/melody_player_dlg.h"
#include "dialogs/mld_info_dlg.h"
#include "dialogs/title_comment_dlg.h"
#include "platform/ini_file.h"
#include "platform/midi_out_recorder.h"
#include "test_lists_support.h"

using namespace sorvanto;
using namespace sorvanto::test;

namespace {

MldPlayer::Options RecordingOptions() {
    MldPlayer::Options options;
    options.open_output = [](std::string*) { return std::make_shared<RecordingMidiOut>(); };
    options.use_timer = false;
    return options;
}

int SendText(QObject* target, RequestKind kind, const std::string& text) {
    return CopyDataEvent::Send(target, static_cast<int>(kind), text.empty() ? std::string() : text + '\0');
}

// The pictograph "晴れ" (F89F) as the keyboard sends it.
const std::string kSun = std::string("\xF8\x9F", 2);

}  // namespace

class TestSmallDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewTakesOnlyNonEmptyPicturePaths();
    void previewDrawsThePictureOrTheDefault();
    void previewKeepsTheCloseButtonCentred();
    void playerVolumeStepsAndIsKeptInTheMelodyIndex();
    void playerPlaysWhatItIsSentAndSwitchesItsButtons();
    void commentDialogLimitsAndTakesPictographsAtTheCaret();
    void titleCommentDialogPutsPictographsInTheLastEdit();
    void commentDialogsCountShiftJisBytesAndTabOnward();
    void playerLogsWhyItCannotPlay();
    void melodyDetailsListTheInformationLines();
};

void TestSmallDialogs::previewTakesOnlyNonEmptyPicturePaths() {
    CImagePreviewDlg dialog;
    QCOMPARE(SendText(&dialog, RequestKind::PreviewPicture, ""), 0);
    QCOMPARE(SendText(&dialog, RequestKind::PlayMelody, "x.jpg"), 0);
    QVERIFY(dialog.PicturePath().empty());
    QCOMPARE(SendText(&dialog, RequestKind::PreviewPicture, "Picture\\0A1B2C3D4E5"), 1);
    QCOMPARE(dialog.PicturePath(), std::string("Picture\\0A1B2C3D4E5"));
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
}

void TestSmallDialogs::previewDrawsThePictureOrTheDefault() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("images/small.jpg"), QStringLiteral("good.jpg"));
    // A JPEG that ends after its first markers cannot be decoded.
    const std::string good = fs::ReadFile("good.jpg").value_or("");
    fs::WriteFile("corrupt.jpg", good.substr(0, 20));
    CImagePreviewDlg dialog;
    dialog.show();

    QImage shot = dialog.grab().toImage();
    QVERIFY(!dialog.ShowedPicture());
    const QImage blank = shot;

    SendText(&dialog, RequestKind::PreviewPicture, "corrupt.jpg");
    shot = dialog.grab().toImage();
    QVERIFY(!dialog.ShowedPicture());
    QCOMPARE(shot, blank);

    SendText(&dialog, RequestKind::PreviewPicture, "good.jpg");
    shot = dialog.grab().toImage();
    QVERIFY(dialog.ShowedPicture());
    QVERIFY(shot != blank);
    // Stretched to the frame: the corners of the frame carry the picture, not the background.
    const QImage picture = CImagePreviewDlg::LoadPicture("good.jpg");
    QVERIFY(!picture.isNull());
    const QRect f = dialog.FrameRect();
    const QColor background = dialog.palette().window().color();
    QVERIFY(shot.pixelColor(f.topLeft() + QPoint(1, 1)) != background ||
            shot.pixelColor(f.bottomRight() - QPoint(1, 1)) != background);
}

void TestSmallDialogs::previewKeepsTheCloseButtonCentred() {
    CImagePreviewDlg dialog;
    dialog.show();
    const QRect frame = dialog.FrameRect();
    const QPoint button = dialog.CloseButton()->pos();
    dialog.resize(dialog.width() + 40, dialog.height() + 30);
    QCOMPARE(dialog.FrameRect().width(), frame.width() + 40);
    QCOMPARE(dialog.FrameRect().height(), frame.height() + 30);
    QCOMPARE(dialog.FrameRect().topLeft(), frame.topLeft());
    QCOMPARE(dialog.CloseButton()->pos(), button + QPoint(20, 30));
    const int centre = dialog.CloseButton()->geometry().center().x();
    QVERIFY(std::abs(centre - dialog.width() / 2) <= 1);
}

void TestSmallDialogs::playerVolumeStepsAndIsKeptInTheMelodyIndex() {
    ListHome home;
    fs::WriteFile(".\\mldfile.ini", "[System]\r\nCount=0\r\nDir=Melody\\\r\n[MelodyPrev]\r\nVolum=126\r\n");
    {
        auto* player = new CMelodyPlayerDlg(".\\mldfile.ini", nullptr, RecordingOptions());
        QCOMPARE(player->Volume(), 126);
        QCOMPARE(player->Player().MasterVolume(), 126);
        player->VolumeUp();
        player->VolumeUp();
        QCOMPARE(player->Volume(), 127);
        QCOMPARE(player->VolumeEdit()->text(), QStringLiteral("127"));
        // Another writer of the index while the player is open.
        IniFile index(".\\mldfile.ini");
        index.SetInt("System", "Count", 1);
        index.Save();
        player->close();  // deletes itself
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    IniFile index(".\\mldfile.ini");
    QCOMPARE(index.GetInt("MelodyPrev", "Volum", 0), 127);
    QCOMPARE(index.GetInt("System", "Count", 0), 1);

    fs::WriteFile(".\\mldfile.ini", "[MelodyPrev]\r\nVolum=1\r\n");
    CMelodyPlayerDlg low(".\\mldfile.ini", nullptr, RecordingOptions());
    low.VolumeDown();
    low.VolumeDown();
    QCOMPARE(low.Volume(), 0);
    QCOMPARE(low.VolumeEdit()->text(), QStringLiteral("0"));

    fs::WriteFile(".\\mldfile.ini", "[MelodyPrev]\r\nVolum=900\r\n");
    CMelodyPlayerDlg odd(".\\mldfile.ini", nullptr, RecordingOptions());
    QCOMPARE(odd.Volume(), 127);
}

void TestSmallDialogs::playerPlaysWhatItIsSentAndSwitchesItsButtons() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    CMelodyPlayerDlg player(std::string(), nullptr, RecordingOptions());
    QVERIFY(player.PlayButton()->isEnabled());
    QVERIFY(!player.StopButton()->isEnabled());
    QCOMPARE(SendText(&player, RequestKind::PlayMelody, ""), 0);
    QVERIFY(!player.Player().Playing());

    QCOMPARE(SendText(&player, RequestKind::PlayMelody, "song.mld"), 1);
    QVERIFY(player.Player().Playing());
    QVERIFY(!player.PlayButton()->isEnabled());
    QVERIFY(player.StopButton()->isEnabled());
    MldData melody;
    melody.Load("song.mld");
    QCOMPARE(player.TitleEdit()->text(), QString::fromStdString(sjis::ToUtf8(melody.ChunkText(MldChunkId::kTitle))));
    QVERIFY(!player.TitleEdit()->text().isEmpty());

    // Played to its end: the end test switches the buttons back.
    for (int i = 0; i < 200000 && !player.Player().Finished(); ++i) player.Player().Tick();
    QVERIFY(player.Player().Finished());
    player.CheckFinished();
    QVERIFY(player.PlayButton()->isEnabled());
    QVERIFY(!player.StopButton()->isEnabled());
    QVERIFY(!player.Player().Playing());

    // A second melody while one plays starts anew.
    player.Play();
    QVERIFY(player.Player().Playing());
    player.Stop();
    QVERIFY(!player.Player().Playing());
}

void TestSmallDialogs::commentDialogLimitsAndTakesPictographsAtTheCaret() {
    CCommentDlg dialog;
    dialog.SetComment(S("あいう"));
    QCOMPARE(dialog.Edit()->toPlainText(), QStringLiteral("あいう"));
    QApplication::clipboard()->setText(QStringLiteral("the user's clipboard"));

    QTextCursor cursor = dialog.Edit()->textCursor();
    cursor.setPosition(1);
    dialog.Edit()->setTextCursor(cursor);
    QCOMPARE(SendText(&dialog, RequestKind::Pictograph, kSun), 1);
    QCOMPARE(SendText(&dialog, RequestKind::Pictograph, ""), 0);
    QCOMPARE(SendText(&dialog, RequestKind::Log, kSun), 0);
    dialog.accept();
    QCOMPARE(dialog.Comment(), S("あ") + kSun + S("いう"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's clipboard"));

    char buffer[5];
    QCOMPARE(dialog.GetComment(buffer, sizeof buffer), 4);
    QCOMPARE(std::string(buffer), S("あ") + kSun);
    char small[4];
    // Never half a double-byte character.
    QCOMPARE(dialog.GetComment(small, sizeof small), 2);

    // A pictograph takes two bytes: one byte short of the limit leaves no room for it.
    dialog.SetComment(std::string(199, 'x'));
    QCOMPARE(SendText(&dialog, RequestKind::Pictograph, kSun), 1);
    QCOMPARE(dialog.Edit()->toPlainText(), QString(199, QLatin1Char('x')));
}

void TestSmallDialogs::titleCommentDialogPutsPictographsInTheLastEdit() {
    CTitleCommentDlg dialog;
    dialog.SetTitle("Title");
    dialog.SetComment("Note");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.CommentEdit()->setFocus();
    dialog.CommentEdit()->moveCursor(QTextCursor::End);
    QCOMPARE(SendText(&dialog, RequestKind::Pictograph, kSun), 1);
    dialog.TitleEdit()->setFocus();
    dialog.TitleEdit()->setCursorPosition(0);
    QCOMPARE(SendText(&dialog, RequestKind::Pictograph, kSun), 1);
    dialog.accept();
    QCOMPARE(dialog.Title(), kSun + "Title");
    QCOMPARE(dialog.Comment(), "Note" + kSun);
}

void TestSmallDialogs::commentDialogsCountShiftJisBytesAndTabOnward() {
    // 150 double-byte characters would be 300 bytes; the edits stop at 200 bytes, so that
    // nothing typed is cut away without a word when the comment is stored.
    const QString many(150, QChar(0x3042));  // あ
    CCommentDlg comment;
    comment.show();
    QVERIFY(QTest::qWaitForWindowActive(&comment));
    for (QChar c : many) comment.Edit()->insertPlainText(QString(c));
    QCOMPARE(comment.Edit()->toPlainText(), QString(100, QChar(0x3042)));
    comment.Edit()->insertPlainText(QStringLiteral("x"));  // one byte more does not fit either
    comment.accept();
    QCOMPARE(comment.Comment().size(), std::size_t{200});
    // A longer comment stored before is shown whole and kept as it is.
    const std::string stored = S("長") + std::string(257, 'y');
    comment.SetComment(stored);
    comment.accept();
    QCOMPARE(comment.Comment(), stored);

    CTitleCommentDlg both;
    both.show();
    QVERIFY(QTest::qWaitForWindowActive(&both));
    for (QChar c : many) both.TitleEdit()->insert(QString(c));
    for (QChar c : many) both.CommentEdit()->insertPlainText(QString(c));
    both.accept();
    QCOMPARE(both.Title().size(), std::size_t{200});
    QCOMPARE(both.Comment().size(), std::size_t{200});

    // Tab moves on from a multi-line edit instead of going into the text.
    comment.SetComment("a");
    comment.Edit()->setFocus();
    QTest::keyClick(comment.Edit(), Qt::Key_Tab);
    QVERIFY(!comment.Edit()->hasFocus());
    both.CommentEdit()->setFocus();
    QTest::keyClick(both.CommentEdit(), Qt::Key_Tab);
    QVERIFY(!both.CommentEdit()->hasFocus());
    comment.accept();
    both.accept();
    QCOMPARE(comment.Comment(), std::string("a"));
    QVERIFY(both.Comment().find('\t') == std::string::npos);
}

void TestSmallDialogs::playerLogsWhyItCannotPlay() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    MldPlayer::Options silent;
    silent.open_output = [](std::string* error) {
        *error = "MIDI output is switched off (MidiOut=none)";
        return std::shared_ptr<MidiOut>();
    };
    silent.use_timer = false;
    CMelodyPlayerDlg player(std::string(), nullptr, silent);
    std::vector<std::string> logged;
    player.SetLogFn([&logged](const std::string& line) { logged.push_back(line); });
    QCOMPARE(SendText(&player, RequestKind::PlayMelody, "song.mld"), 1);
    QCOMPARE(logged, std::vector<std::string>{S("着メロを再生できませんでした(MIDI output is switched off (MidiOut=none))")});

    CMelodyPlayerDlg sounding(std::string(), nullptr, RecordingOptions());
    sounding.SetLogFn([&logged](const std::string& line) { logged.push_back(line); });
    QCOMPARE(SendText(&sounding, RequestKind::PlayMelody, "song.mld"), 1);
    QCOMPARE(logged.size(), std::size_t{1});
}

void TestSmallDialogs::melodyDetailsListTheInformationLines() {
    ListHome home;
    ListHome::CopyFixture(QStringLiteral("store/melody/song.mld"), QStringLiteral("song.mld"));
    fs::WriteFile("bad.mld", "not a melody");
    CMldInfoDlg good("song.mld");
    QVERIFY(good.Lines()->count() > 0);
    QCOMPARE(good.windowTitle(), QStringLiteral("詳細情報：MLDファイル"));
    CMldInfoDlg bad("bad.mld");
    QCOMPARE(bad.Lines()->count(), 1);
    QCOMPARE(bad.Lines()->item(0)->text(), QStringLiteral("不正なデータファイル"));
}

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
