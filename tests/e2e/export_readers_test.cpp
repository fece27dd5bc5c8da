// The exported ".vcf" and ".eml" files, read by other programs' parsers: Python's vobject and
// its email package, with the Shift_JIS text decoded as code page 932.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/sjis.h"
#include "formats/items.h"
#include "platform/fs.h"
#include "store/exports.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Asserts inside Python; a non-zero exit carries the first failed check.
constexpr const char* kReader = R"PY(
import email, email.header, email.policy, email.utils, sys, vobject

def check(what, got, want):
    if got != want:
        sys.exit(f"{what}: got {got!r}, want {want!r}")

card = vobject.readOne(open("taro.vcf", "rb").read().decode("cp932"))
check("name", card.n.value.family, "山田太郎")
check("reading", card.sound.value, "ﾔﾏﾀﾞﾀﾛｳ;;;;")
check("numbers", [t.value for t in card.contents["tel"]], ["09012345678", "0311112222"])
tel = card.contents["tel"][0]
check("first number's kind", "CELL" in tel.params.get("TYPE", []) + tel.singletonparams, True)
check("mail", [e.value for e in card.contents["email"]], ["taro@docomo.ne.jp"])
check("street", card.adr.value.street, "東京都千代田区")
check("postal code", card.adr.value.code, "100-0001")
check("note", card.note.value, "メモです")

def header_text(value):
    # An 8-bit header comes back as its raw bytes; the mail's charset reads them.
    text, charset = email.header.decode_header(value)[0]
    if isinstance(text, str):
        text = text.encode("ascii", "surrogateescape")
    return text.decode("cp932")

def read_mail(path):
    raw = open(path, "rb").read()
    msg = email.message_from_bytes(raw, policy=email.policy.compat32)
    check(path + " defects", msg.defects, [])
    return msg

msg = read_mail("in.eml")
check("from", msg["From"], "sender@docomo.ne.jp")
check("to", msg["To"], "")
check("subject", header_text(msg["Subject"]), "お元気ですか")
check("charset", msg.get_content_charset(), "shift-jis")
check("date", email.utils.parsedate_to_datetime(msg["Date"]).isoformat(), "2003-07-01T04:06:40+09:00")
body = msg.get_payload(decode=True).decode(msg.get_content_charset())
check("body", body.replace("\r\n", "\n"), "こんにちは\n元気です")

msg = read_mail("out.eml")
check("sent from", msg["From"], "")
check("sent to", msg["To"], "a@x.jp;b@y.jp")
)PY";

class ExportReadersTest : public test::TempHome {};

TEST_F(ExportReadersTest, VCardAndMailFileOpenInStandardReaders) {
    // Under wine the Linux python3 is visible but cannot be started as a Windows program.
    if (SORVANTO_TARGET_WINDOWS) GTEST_SKIP() << "the readers are Linux's python3 modules, which a Windows program cannot start";
    if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no python3";
    fs::CreateFolder("Address");
    const std::string entry = "[System]\r\nName=" + sjis::Lit("山田太郎") + "\r\nKana=" + sjis::Lit("ﾔﾏﾀﾞﾀﾛｳ") +
                              "\r\nTelCnt=2\r\nTel0=CELL:09012345678\r\nTelIcon0=0000\r\nTel1=0311112222\r\n"
                              "MailCnt=1\r\nMail0=INTERNET:taro@docomo.ne.jp\r\nAdrNo=100-0001\r\nAdr=" +
                              sjis::Lit("東京都千代田区") + "\r\nNote=" + sjis::Lit("メモです") + "\r\n";
    ASSERT_TRUE(fs::WriteFile("Address\\0A1B2C3D4E", entry));
    AddressItem person;
    person.name = sjis::Lit("山田太郎");
    person.kana = sjis::Lit("ﾔﾏﾀﾞﾀﾛｳ");
    person.memo = sjis::Lit("メモです");
    person.path = "Address\\0A1B2C3D4E";
    ASSERT_TRUE(ExportVCard(person, "taro.vcf"));

    MailItem received;
    received.from_or_to = "sender@docomo.ne.jp";
    received.subject = sjis::Lit("お元気ですか");
    received.body = sjis::Lit("こんにちは\r\n元気です");
    received.mail_date = 1057000000;  // 2003-07-01 04:06:40 in Tokyo
    ASSERT_TRUE(ExportMailFile(received, true, "in.eml"));
    MailItem sent = received;
    sent.from_or_to = "a@x.jp;b@y.jp";
    ASSERT_TRUE(ExportMailFile(sent, false, "out.eml"));

    test::WriteFileBytes("read_exports.py", kReader);
    const int rc = std::system((std::string(kPython) + " read_exports.py 2> reader.txt").c_str());
    EXPECT_EQ(rc, 0) << test::ReadFileBytes("reader.txt");
}

}  // namespace
}  // namespace sorvanto
