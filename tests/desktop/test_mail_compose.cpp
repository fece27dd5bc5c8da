#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "common/sjis.h"
#include "controls/sjis_text.h"
#include "dialogs/address_select_dlg.h"
#include "dialogs/mail_compose_dlg.h"
#include "dialogs/sjis_byte_limit.h"
#include "editing/mail_window_rules.h"
#include "formats/base64.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "store/mail_store.h"
#include "test_mail_fixture.h"

using namespace sorvanto;
using namespace sorvanto::test;

namespace {

std::string Sj(const char* utf8) { return sjis::Lit(utf8); }
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string TextOf(QWidget* edit) { return SjisByteLimit::Text(edit); }

void Focus(QWidget* w) {
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(w, &in);
}

int SendPictograph(QWidget* window, const std::string& payload) {
    return CopyDataEvent::Send(window, static_cast<int>(RequestKind::Pictograph), payload);
}

// Types each character as a key press, as an input method would hand it over.
void Type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
    }
}

void Reap() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QStringList Entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

}  // namespace

class MailComposeTest : public QObject {
    Q_OBJECT

    MailRequestSink* sink_ = nullptr;
    ScriptedPrompt* prompt_ = nullptr;

    CMailComposeDlg* Open(const MailRecord& record, int mode, CMailComposeDlg::MelodySource melodies = {},
                          AddressProvider addresses = {}) {
        auto* w = new CMailComposeDlg(record, mode, sink_, std::move(melodies), std::move(addresses));
        w->SetPrompt(prompt_);
        w->show();
        return w;
    }

private Q_SLOTS:
    void init() {
        sink_ = new MailRequestSink;
        prompt_ = new ScriptedPrompt;
    }
    void cleanup() {
        // Deleting a window also deletes the windows it owns (an open message box), so each
        // is deleted only while it still exists.
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
        for (const QPointer<QWidget>& w : windows) delete w.data();
        delete sink_;
        delete prompt_;
    }

    // A stored sent mail with a melody: the body is split, the list shows the melody, and
    // "完了" hands back body, boundary and the melody unchanged, then the window goes.
    void storedMailWithAttachmentRoundTrips() {
        const std::string b64 = base64::Encode(MakeMelody("Song", 300), 1024);
        QCOMPARE(b64.size(), std::size_t{400});
        QPointer<CMailComposeDlg> w = Open(MakeRecord(5, "a@b.jp", "s", "hello\r\n--B:M\r\n" + b64, 1), 1);
        QCOMPARE(w->windowTitle(), U("修正"));
        QVERIFY(w->ReplyButton()->isHidden());
        QVERIFY(!w->FinishButton()->isHidden());
        QCOMPARE(TextOf(w->BodyEdit()), std::string("hello"));
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("Song")});
        QVERIFY(w->SaveButton()->isEnabled());
        QCOMPARE(w->Counter()->text(), U("5/91 文字"));

        w->Finish();
        QCOMPARE(sink_->requests.size(), std::size_t{1});
        const auto& r = sink_->requests[0];
        QCOMPARE(r.kind, 2);
        QCOMPARE(r.record.key, 5);
        QCOMPARE(r.record.attachment, 1);
        QCOMPARE(FieldText(r.record.body), "hello\r\n--B:M\r\n" + b64);
        QCOMPARE(FieldText(r.record.address), std::string("a@b.jp"));
        Reap();
        QVERIFY(w.isNull());
    }

    // The same from the stored mail file: opened from the sent-mail store, finished without an
    // edit and stored again, the file keeps every byte (dated "now", which is its own date here).
    void storedMailFileIsUnchangedByFinishWithoutEdits() {
        MailHome home;
        clock::SetForTesting([] { return std::int64_t{1073001907}; }, {});
        const std::string b64 = base64::Encode(MakeMelody("Song", 300), 1024);
        const std::string file = "\na@b.jp\n" + Sj("件名") + "\n1073001907\n1\n" + Sj("一行目") + "\r\n" +
                                 Sj("二行目") + "\r\n--B:M\r\n" + b64;
        fs::WriteFile("outmail.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=OutMail\\M\r\n");
        fs::CreateFolder("OutMail");
        fs::WriteFile("OutMail\\M", file);
        MailStore store(Category::kOutMail);
        QVERIFY(store.Load());
        QPointer<CMailComposeDlg> w = Open(MailRecordOf(0, *store.At(0)), 1);
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("Song")});
        QCOMPARE(TextOf(w->BodyEdit()), Sj("一行目") + "\r\n" + Sj("二行目"));
        w->Finish();
        QCOMPARE(sink_->requests.size(), std::size_t{1});
        QVERIFY(store.SaveComposed(sink_->requests[0].record));
        QCOMPARE(fs::ReadFile("OutMail\\M").value_or(std::string()), file);
        clock::SetForTesting({}, {});
    }

    void newMailWithOnlyAttachmentStartsWithShortBoundary() {
        fs::WriteFile("m.mld", MakeMelody("Tune", 60));
        auto source = [](int i, std::string& title, std::string& path) {
            if (i > 0) return false;
            title = "Tune";
            path = "m.mld";
            return true;
        };
        CMailComposeDlg* w = Open(MakeRecord(-1, "", "", ""), 1, source);
        QCOMPARE(w->windowTitle(), U("新規作成"));
        w->OpenAttachmentList();
        w->ChooseAttachment(1);
        w->Finish();
        QCOMPARE(sink_->requests.size(), std::size_t{1});
        const std::string body = FieldText(sink_->requests[0].record.body);
        QCOMPARE(body, "--B:M\r\n" + base64::Encode(MakeMelody("Tune", 60), 1024));
        QCOMPARE(sink_->requests[0].record.key, -1);
    }

    void viewModeIsReadOnlyAndRepliesWithoutClosing() {
        const std::string subject = std::string(30, 'x');
        QPointer<CMailComposeDlg> w = Open(MakeRecord(2, "from@docomo.ne.jp", subject, Sj("本文")), 0);
        QCOMPARE(w->windowTitle(), U("参照"));
        QVERIFY(w->AddressEdit()->isReadOnly());
        QVERIFY(w->SubjectEdit()->isReadOnly());
        QVERIFY(w->BodyEdit()->isReadOnly());
        QVERIFY(w->FinishButton()->isHidden());
        QVERIFY(!w->ReplyButton()->isHidden());
        QVERIFY(!w->AddressButton()->isEnabled());
        QVERIFY(!w->AttachmentList()->isEnabled());
        QCOMPARE(w->BodyEdit()->palette().color(QPalette::Base), w->palette().color(QPalette::Window));

        // Nothing goes into a mail that is only shown.
        Focus(w->BodyEdit());
        QCOMPARE(SendPictograph(w, std::string("\xF8\x9F\0", 3)), 0);

        w->ReplyButton()->click();
        QCOMPARE(sink_->requests.size(), std::size_t{1});
        const auto& r = sink_->requests[0];
        QCOMPARE(r.kind, 3);
        QCOMPARE(r.record.key, -1);
        QCOMPARE(FieldText(r.record.address), std::string("from@docomo.ne.jp"));
        QCOMPARE(FieldText(r.record.subject), "Re:" + std::string(27, 'x'));
        QCOMPARE(FieldText(r.record.body), std::string());
        Reap();
        QVERIFY(!w.isNull() && w->isVisible());
    }

    void emptyMailClosesWithoutStoringAndRefusedMailStaysOpen() {
        QPointer<CMailComposeDlg> empty = Open(MakeRecord(-1, "", "", ""), 1);
        empty->Finish();
        Reap();
        QVERIFY(empty.isNull());
        QVERIFY(sink_->requests.empty());

        // The list could not store it (its scratch file could not be made): keep everything.
        sink_->answer = 0;
        QPointer<CMailComposeDlg> w = Open(MakeRecord(-1, "to@x.jp", "s", ""), 1);
        SjisByteLimit::SetText(w->BodyEdit(), "typed");
        w->Finish();
        Reap();
        QVERIFY(!w.isNull() && w->isVisible());
        QCOMPARE(TextOf(w->BodyEdit()), std::string("typed"));
        QCOMPARE(sink_->requests.size(), std::size_t{1});
    }

    void attachmentListChoosesDropsAndRefusesLargeMelodies() {
        fs::WriteFile("small.mld", MakeMelody("Small", 150));  // 200 Base64 characters
        fs::WriteFile("big.mld", MakeMelody("Big", 400));      // 536: too large for any body
        const std::vector<std::pair<std::string, std::string>> melodies = {
            {"Small", "small.mld"}, {Sj("大きい"), "big.mld"}, {"Gone", "missing.mld"}};
        auto source = [&melodies](int i, std::string& title, std::string& path) {
            if (i < 0 || i >= static_cast<int>(melodies.size())) return false;
            title = melodies[static_cast<std::size_t>(i)].first;
            path = melodies[static_cast<std::size_t>(i)].second;
            return true;
        };
        CMailComposeDlg* w = Open(MakeRecord(-1, "", "", ""), 1, source);
        SjisByteLimit::SetText(w->BodyEdit(), "12345");
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("添付無し")});
        QVERIFY(!w->SaveButton()->isEnabled());

        w->OpenAttachmentList();
        QCOMPARE(Entries(w->AttachmentList()), (QStringList{U("添付無し"), U("Small"), U("大きい"), U("Gone")}));
        w->CloseAttachmentList();
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("添付無し")});

        w->OpenAttachmentList();
        w->ChooseAttachment(1);
        QVERIFY(w->Draft().Attached());
        QCOMPARE(w->Draft().AttachmentText().size(), std::size_t{200});
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("Small")});
        QCOMPARE(w->Counter()->text(), U("5/291 文字"));
        QVERIFY(w->SaveButton()->isEnabled());

        // The current attachment heads the list; a melody too large is refused and changes nothing.
        w->OpenAttachmentList();
        QCOMPARE(Entries(w->AttachmentList()).first(), U("Small"));
        w->ChooseAttachment(3);
        QCOMPARE(prompt_->shown, std::vector<std::string>{Sj("サイズが大きすぎます")});
        QCOMPARE(w->Draft().AttachmentTitle(), std::string("Small"));
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("Small")});

        w->OpenAttachmentList();
        w->ChooseAttachment(1);  // "添付無し"
        QVERIFY(!w->Draft().Attached());
        QVERIFY(!w->SaveButton()->isEnabled());
        QCOMPARE(w->Counter()->text(), U("5/500 文字"));

        // An unreadable melody: its title shows and the limit drops, but nothing rides along.
        w->OpenAttachmentList();
        w->ChooseAttachment(3);
        QCOMPARE(Entries(w->AttachmentList()), QStringList{U("Gone")});
        QCOMPARE(w->Counter()->text(), U("5/491 文字"));
        w->Finish();
        QCOMPARE(sink_->requests.back().record.attachment, 0);
        QCOMPARE(FieldText(sink_->requests.back().record.body), std::string("12345"));
    }

    void attachmentIsSavedAsTheMelodyFile() {
        const std::string melody = MakeMelody("Song", 120);
        CMailComposeDlg* w = Open(MakeRecord(1, "a", "s", "b\r\n--B:M\r\n" + base64::Encode(melody, 1024), 1), 1);
        prompt_->save_path = "saved.mld";
        w->SaveButton()->click();
        QCOMPARE(prompt_->save_filter, std::string("MLD File (*.mld)|*.mld|All Files (*.*)|*.*||"));
        QCOMPARE(fs::ReadFile("saved.mld").value_or(std::string()), melody);
    }

    void limitsCountShiftJisBytes() {
        CMailComposeDlg* w = Open(MakeRecord(-1, "", "", ""), 1);
        QTest::keyClicks(w->SubjectEdit(), QString(40, QLatin1Char('x')));
        QCOMPARE(TextOf(w->SubjectEdit()).size(), std::size_t{30});
        w->SubjectEdit()->clear();
        Type(w->SubjectEdit(), U("あいうえおかきくけこさしすせそたちつてと"));
        QCOMPARE(TextOf(w->SubjectEdit()), Sj("あいうえおかきくけこさしすせそ"));

        // A paste that would pass the body's limit does not go in; the counter keeps step.
        SjisByteLimit::SetText(w->BodyEdit(), std::string(495, 'b'));
        w->BodyEdit()->moveCursor(QTextCursor::End);
        w->BodyEdit()->insertPlainText(U("日本語"));
        QCOMPARE(TextOf(w->BodyEdit()).size(), std::size_t{495});
        w->BodyEdit()->insertPlainText(U("日本"));
        QCOMPARE(TextOf(w->BodyEdit()).size(), std::size_t{499});
        QCOMPARE(w->Counter()->text(), U("499/500 文字"));

        // A character Shift_JIS cannot carry is refused rather than lost at storing.
        w->AddressEdit()->insert(U("a\u00e9"));
        QCOMPARE(TextOf(w->AddressEdit()), std::string());
    }

    void pictographGoesToTheCaretOfSubjectOrBodyOnly() {
        QApplication::clipboard()->setText(QStringLiteral("keep me"));
        CMailComposeDlg* w = Open(MakeRecord(-1, "to@x.jp", "ab", ""), 1);
        const std::string sun("\xF8\x9F\0", 3);

        Focus(w->AddressEdit());
        QCOMPARE(SendPictograph(w, sun), 0);
        QCOMPARE(TextOf(w->AddressEdit()), std::string("to@x.jp"));

        Focus(w->SubjectEdit());
        w->SubjectEdit()->setCursorPosition(1);
        QCOMPARE(SendPictograph(w, sun), 1);
        QCOMPARE(TextOf(w->SubjectEdit()), std::string("a\xF8\x9F" "b"));

        Focus(w->BodyEdit());
        QCOMPARE(SendPictograph(w, sun), 1);
        QCOMPARE(TextOf(w->BodyEdit()), std::string("\xF8\x9F"));
        QCOMPARE(SendPictograph(w, std::string()), 0);

        // Back in the address line, pictographs stop again.
        Focus(w->AddressEdit());
        QCOMPARE(SendPictograph(w, sun), 0);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep me"));
    }

    void addressButtonAppendsChosenAddressesAndCutsLongLines() {
        const std::vector<std::pair<std::string, std::vector<std::string>>> book = {
            {Sj("太郎"), {"taro@x.jp", "taro2@x.jp"}}, {Sj("空"), {}}, {"Hanako", {"hana@y.jp"}}};
        AddressProvider provider = [&book](int item, int mail, std::string& name, std::string& address) {
            if (item < 0 || item >= static_cast<int>(book.size())) return false;
            const auto& e = book[static_cast<std::size_t>(item)];
            name = e.first;
            address = mail < static_cast<int>(e.second.size()) ? e.second[static_cast<std::size_t>(mail)] : "";
            return true;
        };
        CMailComposeDlg* w = Open(MakeRecord(-1, "first@z.jp; ", "", ""), 1, {}, provider);
        int rows = -1;
        QTimer::singleShot(0, [&rows] {
            auto* d = qobject_cast<CAddressSelectDlg*>(QApplication::activeModalWidget());
            if (!d) return;
            rows = d->List()->topLevelItemCount();
            d->List()->setCurrentItem(d->List()->topLevelItem(2));
            d->AddButton()->click();
            d->accept();
        });
        w->AddressButton()->click();
        QCOMPARE(rows, 3);  // the entry without addresses has no row
        QCOMPARE(TextOf(w->AddressEdit()), std::string("first@z.jp;hana@y.jp"));
        QVERIFY(prompt_->shown.empty());

        // A confirmed line past 256 bytes is cut at its last ';' before the limit.
        std::string long_line;
        for (int i = 0; long_line.size() < 300; ++i) long_line += "user" + std::to_string(i) + "@example.jp;";
        long_line.pop_back();
        QTimer::singleShot(0, [&long_line] {
            auto* d = qobject_cast<CAddressSelectDlg*>(QApplication::activeModalWidget());
            if (!d) return;
            SjisByteLimit::SetText(d->RecipientsEdit(), long_line);
            d->accept();
        });
        w->AddressButton()->click();
        QCOMPARE(prompt_->shown, std::vector<std::string>{Sj("アドレスが多すぎます。")});
        const std::string cut = TextOf(w->AddressEdit());
        QVERIFY(cut.size() < 256);
        QCOMPARE(cut, long_line.substr(0, long_line.substr(0, 256).rfind(';')));
    }

    void keysNeitherFinishNorDiscardExceptEscInBody() {
        QPointer<CMailComposeDlg> w = Open(MakeRecord(-1, "to@x.jp", "s", ""), 1);
        QTest::keyClick(w->SubjectEdit(), Qt::Key_Return);
        QTest::keyClick(w->SubjectEdit(), Qt::Key_Escape);
        QTest::keyClick(w->AddressEdit(), Qt::Key_Escape);
        QTest::keyClick(w, Qt::Key_Escape);
        Reap();
        QVERIFY(!w.isNull() && w->isVisible());
        QVERIFY(sink_->requests.empty());
        QTest::keyClick(w->BodyEdit(), Qt::Key_Return);
        // A line break is stored as the handset writes it, and counts two bytes.
        QCOMPARE(TextOf(w->BodyEdit()), std::string("\r\n"));
        QCOMPARE(w->Counter()->text(), U("2/500 文字"));
        QTest::keyClick(w->BodyEdit(), Qt::Key_Escape);
        Reap();
        QVERIFY(w.isNull());
        QVERIFY(sink_->requests.empty());
    }

    void growingTheWindowMovesTheControlsAsTheyWere() {
        CMailComposeDlg* w = Open(MakeRecord(-1, "", "", ""), 1);
        w->resize(480, 420);
        w->layout()->activate();
        auto at = [](QWidget* c) { return c->geometry(); };
        const QRect body = at(w->BodyEdit()), counter = at(w->Counter()), list = at(w->AttachmentList()),
                    save = at(w->SaveButton()), address = at(w->AddressEdit()), finish = at(w->FinishButton());
        w->resize(580, 500);
        w->layout()->activate();
        QCOMPARE(at(w->BodyEdit()).width(), body.width() + 100);
        QCOMPARE(at(w->BodyEdit()).height(), body.height() + 80);
        QCOMPARE(at(w->AddressEdit()).width(), address.width() + 100);
        QCOMPARE(at(w->AttachmentList()).top(), list.top() + 80);
        QCOMPARE(at(w->AttachmentList()).width(), list.width() + 100);
        QCOMPARE(at(w->SaveButton()).topLeft(), save.topLeft() + QPoint(0, 80));
        QCOMPARE(at(w->Counter()).right(), counter.right() + 100);
        QCOMPARE(at(w->FinishButton()), finish);
    }
};

QTEST_MAIN(MailComposeTest)
#include "test_mail_compose.moc"
