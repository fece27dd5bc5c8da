#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/command_ids.h"
#include "common/sjis.h"
#include "dialogs/address_dlg.h"
#include "dialogs/address_select_dlg.h"
#include "dialogs/mail_compose_dlg.h"
#include "dialogs/sjis_byte_limit.h"
#include "lists/address_list.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "test_mail_fixture.h"

using namespace sorvanto;
using namespace sorvanto::test;
using Edit = CAddressDlg::Edit;
using Button = CAddressDlg::Button;

namespace {

std::string Sj(const char* utf8) { return sjis::Lit(utf8); }
QString U(const char* utf8) { return QString::fromUtf8(utf8); }

void Type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
    }
}

void SetEdit(CAddressDlg& d, Edit e, const std::string& sjis) { SjisByteLimit::SetText(d.EditOf(e), sjis); }

std::vector<std::string> Column(QTreeWidget* list, int column) {
    std::vector<std::string> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out.push_back(list->topLevelItem(i)->text(column).toStdString());
    return out;
}

const char* kEntry =
    "[System]\r\nName=Taro\r\nKana=\xC0\xDB\xB3\r\nTelCnt=3\r\nTel0=HOME:0311112222\r\nTelIcon0=0101\r\n"
    "Tel1=CELL:09011112222\r\nTelIcon1=0202\r\nTel2=WORK:0622223333\r\nTelIcon2=0303\r\nMailCnt=1\r\n"
    "Mail0=INTERNET:taro@docomo.ne.jp\r\nMailIcon0=07\r\nAdrNo=123-4567\r\nAdr=Tokyo\r\nNote=memo\r\n";

}  // namespace

class AddressDlgTest : public QObject {
    Q_OBJECT

    ScriptedPrompt prompt_;

private Q_SLOTS:
    void init() { prompt_ = ScriptedPrompt(); }

    // Deleting the first number and adding one: the rest keep their stored kinds and icons, the
    // new one is a "CELL" number; 登録 closes with OK.
    void editsAnEntryAndKeepsStoredKinds() {
        MailHome home;
        fs::CreateFolder("Address");
        fs::WriteFile("Address\\E1", std::string(kEntry));
        CAddressDlg d("Address\\E1", false);
        d.SetPrompt(&prompt_);
        QCOMPARE(d.windowTitle(), U("アドレス帳登録 : 修正"));
        QCOMPARE(Column(d.List(), 0), (std::vector<std::string>{"名前", "カナ", "電話1", "電話2", "電話3", "メール1", "〒", "住所", "メモ"}));
        QCOMPARE(d.List()->topLevelItem(2)->text(1), U("0311112222"));
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kPostalCode)), std::string("1234567"));
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kKana)), std::string("\xC0\xDB\xB3"));

        d.List()->setCurrentItem(d.List()->topLevelItem(2));
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kPhone)), std::string("0311112222"));
        d.ButtonOf(Button::kPhoneDelete)->click();
        QCOMPARE(prompt_.shown.back(), Sj("[0311112222]を削除してもよろしいですか？"));
        QCOMPARE(d.List()->topLevelItemCount(), 8);

        SetEdit(d, Edit::kPhone, "03-1111");
        d.ButtonOf(Button::kPhoneAdd)->click();
        QCOMPARE(prompt_.shown.back(), Sj("有効でない文字が含まれています"));
        SetEdit(d, Edit::kPhone, "*#123");
        d.ButtonOf(Button::kPhoneAdd)->click();
        QCOMPARE(d.List()->topLevelItem(7)->text(1), U("*#123"));  // just before "メモ"
        QCOMPARE(d.List()->topLevelItem(8)->text(0), U("メモ"));

        d.ButtonOf(Button::kRegister)->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        IniFile out("Address\\E1");
        QCOMPARE(out.GetInt("System", "TelCnt"), 3);
        QCOMPARE(out.GetString("System", "Tel0"), std::string("CELL:09011112222"));
        QCOMPARE(out.GetString("System", "TelIcon0"), std::string("0202"));
        QCOMPARE(out.GetString("System", "Tel1"), std::string("WORK:0622223333"));
        QCOMPARE(out.GetString("System", "TelIcon1"), std::string("0303"));
        QCOMPARE(out.GetString("System", "Tel2"), std::string("CELL:*#123"));
        QCOMPARE(out.GetString("System", "TelIcon2"), std::string("0000"));
        QCOMPARE(out.GetString("System", "MailIcon0"), std::string("07"));
    }

    void postalCodeKeepsDigitsAndEditsHoldTheirBytes() {
        MailHome home;
        CAddressDlg d(".\\Addr.tmp", true);
        d.SetPrompt(&prompt_);
        QCOMPARE(d.windowTitle(), U("アドレス帳登録 : 新規作成"));
        Type(d.EditOf(Edit::kName), QString(30, QLatin1Char('n')));
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kName)).size(), std::size_t{24});
        d.EditOf(Edit::kName)->clear();
        Type(d.EditOf(Edit::kName), U("山田太郎山田太郎山田太郎山田太郎"));
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kName)), Sj("山田太郎山田太郎山田太郎"));
        d.ButtonOf(Button::kNameModify)->click();

        Type(d.EditOf(Edit::kPostalCode), U("123-45678"));
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kPostalCode)), std::string("123-4567"));
        d.ButtonOf(Button::kAddressModify)->click();
        QCOMPARE(SjisByteLimit::Text(d.EditOf(Edit::kPostalCode)), std::string("1234567"));
        QCOMPARE(d.List()->topLevelItem(2)->text(1), U("1234567"));

        d.ButtonOf(Button::kRegister)->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        IniFile out(".\\Addr.tmp");
        QCOMPARE(out.GetString("System", "Name"), Sj("山田太郎山田太郎山田太郎"));
        QCOMPARE(out.GetString("System", "AdrNo"), std::string("123-4567"));
        QCOMPARE(out.GetString("System", "TelCnt"), std::string("0"));
        QCOMPARE(out.GetString("System", "MailCnt"), std::string("0"));
    }

    void missingNameAndFailedWriteKeepTheDialogOpen() {
        MailHome home;
        CAddressDlg d("NoSuchFolder\\Addr.tmp", true);
        d.SetPrompt(&prompt_);
        d.show();
        d.ButtonOf(Button::kRegister)->click();
        QCOMPARE(prompt_.shown.back(), Sj("名前が登録されていません"));
        QCOMPARE(prompt_.icons.back(), Prompt::Icon::kQuestion);
        QVERIFY(d.isVisible());

        SetEdit(d, Edit::kName, "Hanako");
        d.ButtonOf(Button::kNameModify)->click();
        SetEdit(d, Edit::kMail, "hana@x.jp");
        d.ButtonOf(Button::kMailAdd)->click();
        d.ButtonOf(Button::kRegister)->click();
        QCOMPARE(prompt_.shown.back(), Sj("処理に失敗しました"));
        QCOMPARE(prompt_.icons.back(), Prompt::Icon::kExclamation);
        QVERIFY(d.isVisible());
        QCOMPARE(d.List()->topLevelItem(0)->text(1), U("Hanako"));
        QCOMPARE(d.List()->topLevelItem(4)->text(1), U("hana@x.jp"));
    }

    void selectionListsEveryAddressAndAppendsOnce() {
        AddressProvider book = [](int item, int mail, std::string& name, std::string& address) {
            static const std::vector<std::vector<std::string>> mails = {{"a@x.jp", "b@x.jp"}, {}, {"c@y.jp"}};
            if (item < 0 || item >= 3) return false;
            name = "N" + std::to_string(item);
            address = mail < static_cast<int>(mails[static_cast<std::size_t>(item)].size())
                          ? mails[static_cast<std::size_t>(item)][static_cast<std::size_t>(mail)] : "";
            return true;
        };
        CAddressSelectDlg d(book);
        QCOMPARE(d.windowTitle(), U("アドレス選択"));
        QCOMPARE(d.List()->topLevelItemCount(), 3);
        QCOMPARE(d.List()->topLevelItem(1)->text(0), U("N0"));
        QCOMPARE(d.List()->topLevelItem(2)->text(1), U("c@y.jp"));
        d.SetRecipients("z@z.jp; ");
        d.AddButton()->click();  // nothing selected: nothing happens
        QCOMPARE(SjisByteLimit::Text(d.RecipientsEdit()), std::string("z@z.jp; "));
        d.List()->setCurrentItem(d.List()->topLevelItem(0));
        d.AddButton()->click();
        d.List()->setCurrentItem(d.List()->topLevelItem(2));
        d.AddButton()->click();
        QCOMPARE(SjisByteLimit::Text(d.RecipientsEdit()), std::string("z@z.jp;a@x.jp;c@y.jp"));
        SjisByteLimit::SetText(d.RecipientsEdit(), "a@x.jp;; \n");
        d.accept();
        QCOMPARE(d.Recipients(), std::string("a@x.jp"));

        // Tab leaves the recipients edit for the next control, as in any small dialog.
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.RecipientsEdit()->setFocus();
        QTest::keyClick(d.RecipientsEdit(), Qt::Key_Tab);
        QVERIFY(!d.RecipientsEdit()->hasFocus());
        QVERIFY(SjisByteLimit::Text(d.RecipientsEdit()).find('\t') == std::string::npos);
    }

    // Through the address book: "新規作成" opens the editor on ".\Addr.tmp" and registers it.
    void addressBookNewEntryGoesThroughTheEditor() {
        MailHome home;
        CMailComposeDlg::Install();
        MailRequestSink main;
        CAddressList list([] { return 0; }, &main, nullptr);
        list.Load();
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<CAddressDlg*>(QApplication::activeModalWidget());
            if (!d) return;
            SjisByteLimit::SetText(d->EditOf(Edit::kName), sjis::Lit("新人"));
            d->ButtonOf(Button::kNameModify)->click();
            SjisByteLimit::SetText(d->EditOf(Edit::kPhone), "09000001111");
            d->ButtonOf(Button::kPhoneAdd)->click();
            d->ButtonOf(Button::kRegister)->click();
        });
        list.DoCommand(cmd::kNew);
        QCOMPARE(list.Store().Count(), 1);
        std::string name, address;
        QCOMPARE(list.GetAddressEntry(0, 0, &name, &address), 1);
        QCOMPARE(name, Sj("新人"));
        QVERIFY(fs::Exists(".\\Addr.tmp"));
        QCOMPARE(IniFile(".\\Addr.tmp").GetString("System", "Tel0"), std::string("CELL:09000001111"));
    }
};

QTEST_MAIN(AddressDlgTest)
#include "test_address_dlg.moc"
