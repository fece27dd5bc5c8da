// The text edits of the mail, address and comment dialogs: a character code page 932 cannot
// hold is taken back with a message, pasted emoji are stored as pictograph codes, and a
// comment dialog run with exec() still takes pictographs from the keyboard.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "common/sjis.h"
#include "dialogs/address_dlg.h"
#include "dialogs/address_select_dlg.h"
#include "dialogs/comment_dlg.h"
#include "dialogs/mail_compose_dlg.h"
#include "dialogs/pictograph_keyboard_dlg.h"
#include "dialogs/sjis_edit_guard.h"
#include "dialogs/title_comment_dlg.h"
#include "pictograph/pictograph_grid.h"
#include "test_mail_fixture.h"

using namespace sorvanto;
using namespace sorvanto::test;

namespace {

const std::string kHeart = "\xF9\x91";
const std::string kSun = "\xF8\x9F";

QString Refusal(const char* utf8_char) {
    return QStringLiteral("「%1」は携帯電話で使えない文字のため、入力できません。").arg(QString::fromUtf8(utf8_char));
}

QString TextOf(QWidget* edit) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) return line->text();
    return static_cast<QPlainTextEdit*>(edit)->toPlainText();
}

void Paste(QWidget* edit, const QString& text) {
    QApplication::clipboard()->setText(text);
    if (auto* line = qobject_cast<QLineEdit*>(edit)) line->paste();
    else static_cast<QPlainTextEdit*>(edit)->paste();
}

}  // namespace

class EmojiDialogsTest : public QObject {
    Q_OBJECT

    QStringList messages_;
    MailHome home_;

private Q_SLOTS:
    void init() {
        messages_.clear();
        SjisEditGuard::SetNotifierForTesting([this](QWidget*, const QString& m) { messages_ << m; });
    }
    void cleanup() { SjisEditGuard::SetNotifierForTesting({}); }

    void everyEditRefusesWhatAHandsetCannotHold() {
        MailRequestSink sink;
        auto* mail = new CMailComposeDlg(MakeRecord(-1, "to@x.jp", "ab", "body"), CMailComposeDlg::kCompose, &sink,
                                         {}, {});
        QPointer<QWidget> mail_guard(mail);
        CAddressDlg address(".\\Addr.tmp", true);
        CAddressSelectDlg select({});
        select.SetRecipients("a@x.jp");
        CCommentDlg comment;
        comment.SetComment("memo");
        CTitleCommentDlg title;
        title.SetTitle("t");
        title.SetComment("c");
        const std::vector<QWidget*> edits = {
            mail->AddressEdit(), mail->SubjectEdit(), mail->BodyEdit(), address.EditOf(CAddressDlg::Edit::kName),
            address.EditOf(CAddressDlg::Edit::kMemo), select.RecipientsEdit(), comment.Edit(), title.TitleEdit(),
            title.CommentEdit()};
        for (QWidget* edit : edits) {
            const QString before = TextOf(edit);
            const int told = int(messages_.size());
            // é and the euro sign have no Shift_JIS form; the whole paste is taken back, and
            // the person hears about it once, even where a byte limit also watches the edit.
            Paste(edit, QStringLiteral("x\u00e9\u20ac"));
            QCOMPARE(TextOf(edit), before);
            QCOMPARE(int(messages_.size()), told + 1);
            QCOMPARE(messages_.back(), Refusal("é"));
        }
        delete mail_guard.data();
    }

    void pastedEmojiInTheSubjectIsStoredAsThePictograph() {
        MailRequestSink sink;
        auto* mail = new CMailComposeDlg(MakeRecord(-1, "to@x.jp", "", ""), CMailComposeDlg::kCompose, &sink, {}, {});
        QPointer<QWidget> guard(mail);
        mail->SubjectEdit()->setText(QStringLiteral("I "));
        mail->SubjectEdit()->end(false);
        // As a PC pastes them: the heart with its emoji variation selector, the sun bare.
        Paste(mail->SubjectEdit(), QStringLiteral("\u2764\uFE0F\u2600"));
        mail->BodyEdit()->setPlainText(QStringLiteral("one\ntwo"));
        mail->Finish();
        QCOMPARE(sink.requests.size(), std::size_t(1));
        QCOMPARE(FieldText(sink.requests[0].record.subject), "I " + kHeart + kSun);
        QCOMPARE(FieldText(sink.requests[0].record.body), std::string("one\r\ntwo"));
        QVERIFY(messages_.isEmpty());
        delete guard.data();
    }

    void addressEntryKeepsPictographsOfItsMemo() {
        CAddressDlg dialog(".\\Addr.tmp", true);
        QLineEdit* memo = dialog.EditOf(CAddressDlg::Edit::kMemo);
        Paste(memo, QStringLiteral("\u2764"));
        dialog.ButtonOf(CAddressDlg::Button::kMemoModify)->click();
        bool found = false;
        for (const auto& row : dialog.Rows().Rows()) found |= row.text == kHeart;
        QVERIFY(found);
    }

    void commentDialogUnderExecTakesPictographsFromTheKeyboard() {
        QTemporaryDir dir;
        const QString table = dir.filePath(QStringLiteral("imoji.ini"));
        {
            QFile file(table);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[IMojiCode]\r\nCode0=F89F 0000FF\r\n");
        }
        QWidget main;
        main.resize(200, 100);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        CPictographKeyboardDlg keyboard(table.toStdString());
        keyboard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keyboard));

        CCommentDlg dialog(&main);
        dialog.SetComment("ab");
        bool sent = false;
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            dialog.Edit()->moveCursor(QTextCursor::End);
            // A double-click on the keyboard's first cell, through the window system as the
            // person's would come, so that a modal dialog's blocking applies.
            const auto cell = PictographGrid::CellOf(0);
            const QPoint at(PictographGrid::kWindowOffset + cell.x + 5, PictographGrid::kWindowOffset + cell.y + 5);
            QTest::mouseDClick(keyboard.windowHandle(), Qt::LeftButton, {}, at);
            QTest::qWait(20);
            sent = dialog.Edit()->toPlainText().endsWith(QChar(0x2600));
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY2(sent, "the keyboard was blocked by the comment dialog");
        QCOMPARE(dialog.Comment(), "ab" + kSun);
    }
};

QTEST_MAIN(EmojiDialogsTest)
#include "test_emoji_dialogs.moc"
