// Pictures of the mail window (compose with a melody, view), the address editor and the
// address selection. With SORVANTO_SHOT_DIR set (scripts/shot-mail.sh) they are written there
// as PNG files for a person to look at; the test checks that each window draws at its size.
#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include "common/sjis.h"
#include "dialogs/address_dlg.h"
#include "dialogs/address_select_dlg.h"
#include "dialogs/mail_compose_dlg.h"
#include "formats/base64.h"
#include "platform/fs.h"
#include "test_mail_fixture.h"

using namespace sorvanto;
using namespace sorvanto::test;

namespace {

std::string Sj(const char* utf8) { return sjis::Lit(utf8); }

void Save(QWidget& w, const QString& name) {
    w.show();
    QApplication::processEvents();
    const QPixmap pm = w.grab();
    QVERIFY(!pm.isNull());
    QCOMPARE(pm.size() / pm.devicePixelRatio(), w.size());
    const QByteArray dir = qgetenv("SORVANTO_SHOT_DIR");
    if (!dir.isEmpty()) QVERIFY(pm.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name));
}

AddressProvider Book() {
    return [](int item, int mail, std::string& name, std::string& address) {
        static const std::vector<std::pair<const char*, std::vector<std::string>>> book = {
            {"山田太郎", {"taro@docomo.ne.jp", "taro@example.jp"}}, {"佐藤花子", {"hanako@docomo.ne.jp"}},
            {"鈴木一郎", {"ichiro@ezweb.ne.jp"}}};
        if (item < 0 || item >= static_cast<int>(book.size())) return false;
        const auto& e = book[static_cast<std::size_t>(item)];
        name = sjis::Lit(e.first);
        address = mail < static_cast<int>(e.second.size()) ? e.second[static_cast<std::size_t>(mail)] : "";
        return true;
    };
}

}  // namespace

class MailShotTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void composerWithMelody() {
        const std::string melody = base64::Encode(MakeMelody(Sj("春の歌"), 200), 1024);
        const MailRecord r = MakeRecord(3, "taro@docomo.ne.jp;hanako@docomo.ne.jp", Sj("週末の予定") + "\xF8\x9F",
                                        Sj("こんにちは。\r\n土曜日は晴れるそうです。\r\n駅前で10時に会いましょう。") +
                                            "\r\n--B:M\r\n" + melody,
                                        1);
        CMailComposeDlg w(r, CMailComposeDlg::kCompose, nullptr, {}, Book());
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        Save(w, QStringLiteral("mail-compose.png"));
    }

    void composerViewingAReceivedMail() {
        const MailRecord r = MakeRecord(7, "hanako@docomo.ne.jp", Sj("Re:週末の予定"),
                                        Sj("了解です！\r\n楽しみにしています。") + "\xF8\x9F\xF8\xA0", 0);
        CMailComposeDlg w(r, CMailComposeDlg::kView, nullptr, {}, Book());
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        Save(w, QStringLiteral("mail-view.png"));
    }

    void addressEditor() {
        MailHome home;
        fs::WriteFile("entry", "[System]\r\nName=" + Sj("山田太郎") + "\r\nKana=" + Sj("ﾔﾏﾀﾞﾀﾛｳ") +
                                   "\r\nTelCnt=2\r\nTel0=CELL:09012345678\r\nTel1=HOME:0311112222\r\n"
                                   "MailCnt=1\r\nMail0=INTERNET:taro@docomo.ne.jp\r\nAdrNo=100-0001\r\nAdr=" +
                                   Sj("東京都千代田区千代田1-1") + "\r\nNote=" + Sj("大学の友人") + "\r\n");
        CAddressDlg d("entry", false);
        d.List()->setCurrentItem(d.List()->topLevelItem(2));
        Save(d, QStringLiteral("address-editor.png"));
    }

    void addressSelection() {
        CAddressSelectDlg d(Book());
        d.SetRecipients("taro@docomo.ne.jp;");
        d.List()->setCurrentItem(d.List()->topLevelItem(2));
        d.AddSelected();
        Save(d, QStringLiteral("address-select.png"));
    }
};

QTEST_MAIN(MailShotTest)
#include "test_mail_shots.moc"
