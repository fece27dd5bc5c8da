#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/command_ids.h"
#include "common/sjis.h"
#include "dialogs/mail_compose_dlg.h"
#include "dialogs/sjis_byte_limit.h"
#include "lists/in_mail_list.h"
#include "lists/out_mail_list.h"
#include "platform/fs.h"
#include "test_mail_fixture.h"

using namespace sorvanto;
using namespace sorvanto::test;

namespace {

// The main window's part in the mail traffic: finished mail and replies go to the sent-mail
// list, and its answer goes back to the mail window.
class MainStandIn : public QWidget {
public:
    COutMailList* out = nullptr;
    int finished = 0;
    bool event(QEvent* e) override {
        if (e->type() != CopyDataEvent::EventType()) return QWidget::event(e);
        auto* request = static_cast<CopyDataEvent*>(e);
        int answer = 1;
        if ((request->Kind() == 2 || request->Kind() == 3) && request->Bytes().size() == sizeof(MailRecord)) {
            MailRecord r;
            std::memcpy(&r, request->Bytes().data(), sizeof r);
            answer = out->MailRequest(request->Kind(), r);
            finished += request->Kind() == 2;
        }
        request->SetResult(answer);
        return true;
    }
};

std::vector<CMailComposeDlg*> MailWindows() {
    std::vector<CMailComposeDlg*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<CMailComposeDlg*>(w); m && m->isVisible()) out.push_back(m);
    return out;
}

void Reap() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class MailListsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MailHome> home_;
    ScriptedPrompt prompt_;
    MainStandIn* main_ = nullptr;
    CInMailList* in_ = nullptr;

private Q_SLOTS:
    void initTestCase() { CMailComposeDlg::Install(); }
    void init() {
        home_ = std::make_unique<MailHome>();
        prompt_ = ScriptedPrompt();
        fs::CreateFolder("OutMail");
        fs::CreateFolder("InMail");
        fs::WriteFile("OutMail\\S1", "\nfriend@x.jp\nsent\n1000000000\n0\nsent body");
        fs::WriteFile("outmail.ini", "[System]\r\nCount=1\r\nDir=OutMail\\\r\n[Item0]\r\nFile=OutMail\\S1\r\n"
                                     "EntryTime=1000000000\r\nFlag=1\r\nStatus=1\r\n");
        fs::WriteFile("InMail\\R1", "sender@docomo.ne.jp\n\nhello\n1000000000\n0\nhi there");
        fs::WriteFile("inmail.ini", "[System]\r\nCount=1\r\nDir=InMail\\\r\n[Item0]\r\nFile=InMail\\R1\r\n"
                                    "EntryTime=1000000000\r\nFlag=1\r\nStatus=0\r\n");
        main_ = new MainStandIn;
        main_->out = new COutMailList([] { return 0; }, main_, main_);
        in_ = new CInMailList([] { return 0; }, main_, main_);
        main_->out->SetPrompt(&prompt_);
        in_->SetPrompt(&prompt_);
        main_->out->Load();
        in_->Load();
    }
    void cleanup() {
        for (CMailComposeDlg* w : MailWindows()) delete w;
        delete main_;
        home_.reset();
    }

    void newMailIsStoredUnsentAndTheWindowCloses() {
        main_->out->DoCommand(cmd::kNew);
        auto windows = MailWindows();
        QCOMPARE(windows.size(), std::size_t{1});
        QCOMPARE(windows[0]->windowTitle(), QString::fromUtf8("新規作成"));
        SjisByteLimit::SetText(windows[0]->AddressEdit(), "to@x.jp");
        SjisByteLimit::SetText(windows[0]->BodyEdit(), "new body");
        windows[0]->FinishButton()->click();
        Reap();
        QVERIFY(MailWindows().empty());
        auto& store = static_cast<MailStore&>(main_->out->Store());
        QCOMPARE(store.Count(), 2);
        QCOMPARE(store.At(1)->from_or_to, std::string("to@x.jp"));
        QCOMPARE(store.At(1)->status, 0);
        QCOMPARE(store.At(1)->flag, 0);
        QCOMPARE(main_->out->RowCount(), 2);
        QVERIFY(!fs::Exists(".\\mail.tmp"));
    }

    void mailThatCannotBeStoredStaysInItsWindow() {
        QDir().mkdir(QStringLiteral("mail.tmp"));  // the scratch file cannot be created
        main_->out->DoCommand(cmd::kNew);
        auto windows = MailWindows();
        QCOMPARE(windows.size(), std::size_t{1});
        SjisByteLimit::SetText(windows[0]->BodyEdit(), "precious");
        windows[0]->FinishButton()->click();
        Reap();
        QCOMPARE(prompt_.shown, std::vector<std::string>{sjis::Lit("処理に失敗しました")});
        QCOMPARE(MailWindows().size(), std::size_t{1});
        QCOMPARE(SjisByteLimit::Text(windows[0]->BodyEdit()), std::string("precious"));
        QCOMPARE(main_->out->Store().Count(), 1);
    }

    void editingOpensOneWindowPerMailAndResetsStatus() {
        main_->out->SelectRow(0);
        main_->out->DoCommand(cmd::kEdit);
        main_->out->DoCommand(cmd::kEdit);
        auto windows = MailWindows();
        QCOMPARE(windows.size(), std::size_t{1});
        QCOMPARE(windows[0]->windowTitle(), QString::fromUtf8("修正"));
        QCOMPARE(SjisByteLimit::Text(windows[0]->BodyEdit()), std::string("sent body"));
        SjisByteLimit::SetText(windows[0]->SubjectEdit(), "changed");
        windows[0]->Finish();
        Reap();
        const auto& store = static_cast<MailStore&>(main_->out->Store());
        QCOMPARE(store.Count(), 1);
        QCOMPARE(store.At(0)->subject, std::string("changed"));
        QCOMPARE(store.At(0)->status, 0);
        // Closed windows are not brought forward: a new edit opens a fresh one.
        main_->out->DoCommand(cmd::kEdit);
        QCOMPARE(MailWindows().size(), std::size_t{1});
    }

    void viewingTwiceShowsOneWindowAndReplyOpensAPrefilledMail() {
        in_->SelectRow(0);
        in_->DoCommand(cmd::kView);
        in_->DoCommand(cmd::kView);
        auto windows = MailWindows();
        QCOMPARE(windows.size(), std::size_t{1});
        CMailComposeDlg* view = windows[0];
        QCOMPARE(view->Mode(), int(CMailComposeDlg::kView));
        view->ReplyButton()->click();
        windows = MailWindows();
        QCOMPARE(windows.size(), std::size_t{2});
        CMailComposeDlg* reply = windows[0] == view ? windows[1] : windows[0];
        QCOMPARE(reply->Mode(), int(CMailComposeDlg::kCompose));
        QCOMPARE(SjisByteLimit::Text(reply->AddressEdit()), std::string("sender@docomo.ne.jp"));
        QCOMPARE(SjisByteLimit::Text(reply->SubjectEdit()), std::string("Re:hello"));
        QCOMPARE(SjisByteLimit::Text(reply->BodyEdit()), std::string());
        QCOMPARE(reply->windowTitle(), QString::fromUtf8("新規作成"));
    }
};

QTEST_MAIN(MailListsTest)
#include "test_mail_lists.moc"
