#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "formats/address_send_job.h"
#include "formats/bookmark_send_job.h"
#include "formats/camera_picture_send_job.h"
#include "formats/mail_send_job.h"
#include "formats/melody_send_job.h"
#include "formats/standby_picture_send_job.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::DataPath;
using test::ReadFileBytes;

std::string Input(const std::string& name) { return DataPath("send/input/" + name).string(); }
std::string Expected(const std::string& name) { return ReadFileBytes(DataPath("send/expected/" + name)); }
std::string Built(const std::string& path) { return ReadFileBytes(fs::NativePath(path)); }

// Model ids of the six offered handsets.
constexpr int kP503 = 0, kP504 = 1, kN504 = 2, kF504 = 4, kN503 = 7, kN505 = 8;

class SendBuildTest : public test::TempHome {};

TEST_F(SendBuildTest, AddressEntryVariantsFollowTheModel) {
    struct Case {
        int model;
        const char* full;
        const char* bare;
    } cases[] = {
        {kP503, "address_full_v1.vcf", "address_bare_v1.vcf"}, {kP504, "address_full_v1.vcf", "address_bare_v1.vcf"},
        {kN504, "address_full_v0.vcf", "address_bare_v0.vcf"}, {kF504, "address_full_v0.vcf", "address_bare_v0.vcf"},
        {kN503, "address_full_v0.vcf", "address_bare_v0.vcf"}, {kN505, "address_full_v0.vcf", "address_bare_v0.vcf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        AddressSendJob job(c.model, 0);
        std::string name;
        ASSERT_EQ(job.BuildAddress(Input("full.adr"), ".\\saddr.tmp", name), 1);
        EXPECT_EQ(name, "pb.vcf");
        EXPECT_EQ(Built("saddr.tmp"), Expected(c.full));
        ASSERT_EQ(job.BuildAddress(Input("bare.adr"), "", name), 1);  // default file
        EXPECT_EQ(Built("saddr.tmp"), Expected(c.bare));
    }
}

TEST_F(SendBuildTest, AddressCountsBeyondTheFileDoNotRunAway) {
    test::WriteFileBytes(Home() / "huge.adr",
                         "[System]\r\nName=x\r\nTelCnt=2000000000\r\nTel0=CELL:1\r\nMailCnt=-5\r\n");
    AddressSendJob job(kN504, 0);
    std::string name;
    ASSERT_EQ(job.BuildAddress("huge.adr", "saddr.tmp", name), 1);
    const std::string vcf = Built("saddr.tmp");
    EXPECT_NE(vcf.find("TEL;CELL:1\r\n"), std::string::npos);
    EXPECT_LT(vcf.size(), 400u);
    EXPECT_EQ(vcf.find("EMAIL"), std::string::npos);
}

TEST_F(SendBuildTest, WholeBookStartsWithTheDummyEntryAndReplacesAnOldCollection) {
    test::WriteFileBytes(Home() / "saddr_all.tmp", "left over from the last send");
    AddressSendJob job(kN504, 0);
    std::string name;
    const char* entries[] = {"full.adr", "bare.adr"};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(job.BuildAddress(Input(entries[i]), ".\\saddr.tmp", name), 1);
        ASSERT_EQ(job.AddToCollection(i, ".\\saddr.tmp", ".\\saddr_all.tmp", name), 1);
    }
    EXPECT_EQ(name, "telecom/pb.vcf");
    EXPECT_EQ(Built("saddr_all.tmp"), Expected("book_n504.vcf"));
    EXPECT_EQ(job.AddToCollection(2, "missing.tmp", ".\\saddr_all.tmp", name), 0);
    EXPECT_EQ(Built("saddr_all.tmp"), Expected("book_n504.vcf"));
}

TEST_F(SendBuildTest, BookmarkNamesAndForms) {
    struct Case {
        int model;
        const char* name;
        const char* expected;
    } cases[] = {
        {kP503, "bmk.vnt", "bookmark_vnote.vnt"}, {kN505, ".url", "bookmark_vbkm.url"},
        {kN504, ".url", "bookmark_vbkm.url"},     {kN503, ".url", "bookmark_vbkm.url"},
        {kP504, "bm.url", "bookmark_vbkm.url"},   {kF504, "bm.url", "bookmark_vbkm.url"},
        {-1, "bm.url", "bookmark_vbkm.url"},
    };
    const std::string title = "\x93\x56\x8b\x43\x97\x5c\x95\xf1";  // 天気予報
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        BookmarkSendJob job(c.model, 0);
        std::string name;
        ASSERT_EQ(job.BuildBookmark(title, "http://example.jp/i/weather?a=1&b=2", ".\\sbmk.tmp", name), 1);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(Built("sbmk.tmp"), Expected(c.expected));
    }
}

TEST_F(SendBuildTest, BookmarkReportsATargetItCouldNotCreate) {
    BookmarkSendJob job(kP504, 0);
    std::string name;
    EXPECT_EQ(job.BuildBookmark("t", "http://x/", "no-such-folder\\sbmk.tmp", name), 0);
}

TEST_F(SendBuildTest, StandbyPictureP504SendsBitmapRowsTopFirst) {
    StandbyPictureSendJob job(kP504);
    std::string name;
    ASSERT_EQ(job.BuildStandbyPicture(Input("standby16.bmp"), "t", 0, 0, ".\\smga.tmp", name), 1);
    EXPECT_EQ(name, "scln.vnt");
    EXPECT_EQ(Built("smga.tmp"), Expected("standby_p504.vnt"));
    ASSERT_EQ(job.BuildStandbyPicture(Input("standby_wide.bmp"), "t", 0, 0, ".\\smga.tmp", name), 1);
    EXPECT_EQ(Built("smga.tmp"), Expected("standby_wide_p504.vnt"));
    EXPECT_FALSE(fs::Exists("sscln.tmp"));
}

TEST_F(SendBuildTest, StandbyPictureRefusalsWriteNothing) {
    // A header that claims more pixels than the file holds, or a pixel offset past its end.
    std::string lying = ReadFileBytes(Input("standby16.bmp"));
    lying[22] = 100;
    test::WriteFileBytes(Home() / "tall.bmp", lying);
    std::string far = ReadFileBytes(Input("standby16.bmp"));
    far[12] = 0x7f;
    test::WriteFileBytes(Home() / "far.bmp", far);
    test::WriteFileBytes(Home() / "short.bmp", "BM\x10");
    struct Case {
        int model;
        std::string file;
        int type;
    } cases[] = {
        {kP503, Input("standby16.bmp"), 0},  // this model takes no standby picture
        {kP504, Input("picture.jpg"), 1},    // only bitmaps for the P504i(S)
        {kP504, Input("standby24.bmp"), 0},  // and only 16-bit ones
        {kP504, "tall.bmp", 0},
        {kP504, "far.bmp", 0},
        {kP504, "short.bmp", 0},
        {kP504, "missing.bmp", 0},
        {kN504, "missing.jpg", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        StandbyPictureSendJob job(c.model);
        std::string name;
        EXPECT_EQ(job.BuildStandbyPicture(c.file, "t", c.type, 0, ".\\smga.tmp", name), 0);
        EXPECT_FALSE(fs::Exists("smga.tmp"));
    }
}

TEST_F(SendBuildTest, StandbyPictureNecFormCarriesTheTypeLine) {
    const std::string title = "\x97\x5b\x8f\xc4\x82\xaf";  // 夕焼け
    for (int model : {kN504, kN503, kN505}) {
        StandbyPictureSendJob job(model);
        std::string name;
        ASSERT_EQ(job.BuildStandbyPicture(Input("picture.jpg"), title, 1, 0, ".\\smga.tmp", name), 1);
        EXPECT_EQ(name, "nec_img.vnt");
        EXPECT_EQ(Built("smga.tmp"), Expected("standby_nec_jpeg.vnt"));
    }
    StandbyPictureSendJob f504(kF504);
    std::string name;
    ASSERT_EQ(f504.BuildStandbyPicture(Input("standby16.bmp"), title, 0, 0, "", name), 1);
    EXPECT_EQ(name, "scln.vnt");
    EXPECT_EQ(Built("sscln.txt"), Expected("standby_nec_bmp.vnt"));
}

class MailBuildTest : public SendBuildTest {
protected:
    void SetUp() override {
        SendBuildTest::SetUp();
        clock::UseJapanTimeForTesting();
        // 2004-01-02 09:05:07 in Japan.
        clock::SetForTesting([] { return std::int64_t{1073001907}; }, {});
    }
    void TearDown() override {
        clock::SetForTesting({}, {});
        SendBuildTest::TearDown();
    }
};

TEST_F(MailBuildTest, SentMailGoesToTheBoxEachModelExpects) {
    const std::string subject = "\x8c\x8f\x96\xbc";  // 件名
    const std::string body = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x81\x42\r\n\x93\xf1\x8d\x73\x96\xda\x82\xc5\x82\xb7";
    std::string name;
    MailSendJob p504(kP504, 0, 0);
    ASSERT_EQ(p504.BuildMail("", "hanako@example.jp", subject, body, 0, ".\\somail.tmp", name), 1);
    EXPECT_EQ(name, "sentmsg.vmg");
    EXPECT_EQ(Built("somail.tmp"), Expected("mail_sent_p504.vmg"));

    MailSendJob f504(kF504, 0, 0);
    ASSERT_EQ(f504.BuildMail("", "hanako@example.jp", subject, body, 0, ".\\somail.tmp", name), 1);
    EXPECT_EQ(name, "outmsg.vmg");
    EXPECT_EQ(Built("somail.tmp"), Expected("mail_sent_f504.vmg"));
}

TEST_F(MailBuildTest, EmptySubjectAndBareLineFeedsInAnEightBitBody) {
    MailSendJob job(kN504, 3, 0);
    std::string name;
    ASSERT_EQ(job.BuildMail("taro@example.jp", "", "", "one\ntwo\r\nthree", 0, ".\\simail.tmp", name), 1);
    EXPECT_EQ(name, "*.vmg");
    EXPECT_EQ(Built("simail.tmp"), Expected("mail_unread_n504_nosubject.vmg"));
}

TEST_F(MailBuildTest, MailboxTableOfBothForms) {
    struct Case {
        int model, mailbox;
        const char* box;
        const char* name;
    } cases[] = {
        {kP503, 0, "X-IRMC-BOX:SENTBOX\r\n", "sentmsg.vmg"}, {kP503, 2, "X-IRMC-BOX:OUTBOX\r\n", "outmsg.vmg"},
        {kP503, 1, "X-IRMC-BOX:INBOX\r\n", "inmsg.vmg"},     {kP504, 3, "X-IRMC-BOX:UNREAD\r\n", "inmsg.vmg"},
        {kF504, 2, "X-IRMC-BOX:SENTBOX\r\n", "sentmsg.vmg"}, {kF504, 1, "X-IRMC-BOX:INBOX\r\n", "inmsg.vmg"},
        {kF504, 3, "X-IRMC-BOX:UNREAD\r\n", "inmsg.vmg"},    {kN505, 0, "X-IRMC-BOX:OUTBOX\r\n", "*.vmg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + "/" + std::to_string(c.mailbox));
        MailSendJob job(c.model, c.mailbox, 0);
        std::string name;
        ASSERT_EQ(job.BuildMail("a", "b", "s", "x", 0, "m.tmp", name), 1);
        EXPECT_EQ(name, c.name);
        EXPECT_NE(Built("m.tmp").find(c.box), std::string::npos);
    }
}

TEST_F(MailBuildTest, QuotedPrintableBodyIsCutAtItsBuffer) {
    MailSendJob job(kP504, 0, 0);
    std::string name;
    ASSERT_EQ(job.BuildMail("", "b", "s", std::string(1000, '\x82'), 0, "m.tmp", name), 1);
    const std::string vmg = Built("m.tmp");
    const std::size_t start = vmg.find("quoted-printable\r\n\r\n") + 20;
    const std::size_t end = vmg.find("\r\nEND:VBODY");
    std::string encoded = vmg.substr(start, end - start);
    std::size_t soft_breaks = 0;
    for (std::size_t at = encoded.find("=\r\n"); at != std::string::npos; at = encoded.find("=\r\n", at + 1))
        ++soft_breaks;
    // 1,559 characters in the buffer, each soft break counted there as "=" and one LF.
    EXPECT_EQ(encoded.size() - soft_breaks, 1559u);
}

TEST_F(SendBuildTest, MelodyForms) {
    const std::string title = "\x8f\x74\x82\xcc\x89\xcc";  // 春の歌
    struct Case {
        int model;
        const char* name;
        const char* expected;
    } cases[] = {
        {kP504, "mld.vnt", "melody_p504.vnt"},     {kP503, "mld.vnt", "melody_p503.vnt"},
        {kN504, "nec_mld.vnt", "melody_nec.vnt"},  {kN503, "nec_mld.vnt", "melody_nec.vnt"},
        {kN505, "nec_mld.vnt", "melody_nec.vnt"},  {kF504, "mld.vnt", "melody_nec.vnt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        MelodySendJob job(c.model);
        std::string name;
        ASSERT_EQ(job.BuildMelody(Input("melody10k.mld"), title, ".\\smld.tmp", name), 1);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(Built("smld.tmp"), Expected(c.expected));
    }
    MelodySendJob job(kP504);
    std::string name;
    EXPECT_EQ(job.BuildMelody("missing.mld", title, ".\\smld2.tmp", name), 0);
    EXPECT_FALSE(fs::Exists("smld2.tmp"));
}

TEST_F(SendBuildTest, TenKilobyteMelodyForP504HasItsLineShape) {
    MelodySendJob job(kP504);
    std::string name;
    ASSERT_EQ(job.BuildMelody(Input("melody10k.mld"), "", "", name), 1);
    const std::string vnt = Built("smld.tmp");
    const std::size_t start = vnt.find("BASE64:") + 7;
    const std::size_t end = vnt.find("\r\n\r\nEND:VNOTE\r\n");
    ASSERT_NE(end, std::string::npos);
    int lines = 0;
    std::size_t chars = 0, last = 0;
    for (std::size_t at = start; at < end + 2;) {
        const std::size_t eol = vnt.find("\r\n", at);
        last = eol - at;
        chars += last;
        ++lines;
        at = eol + 2;
    }
    EXPECT_EQ(lines, 185);
    EXPECT_EQ(chars, 13656u);
    EXPECT_EQ(last, 40u);
}

TEST_F(SendBuildTest, CameraPictureForms) {
    const std::string title = "\x97\x5b\x8f\xc4\x82\xaf";
    const int bytes = static_cast<int>(fs::FileSize(Input("picture.jpg")));
    for (int model : {kP503, kN504, kF504, kN503, kN505}) {
        CameraPictureSendJob job(model);
        std::string name;
        ASSERT_EQ(job.BuildCameraPicture(Input("picture.jpg"), title, 120, 160, bytes, 1, ".\\spic.tmp", name), 1);
        EXPECT_EQ(name, "mypic.vnt");
        EXPECT_EQ(Built("spic.tmp"), Expected("camera_docomo.vnt"));
    }
    CameraPictureSendJob p504(kP504);
    std::string name;
    ASSERT_EQ(p504.BuildCameraPicture(Input("picture.jpg"), title, 120, 160, bytes, 1, "", name), 1);
    EXPECT_EQ(name, "mypic.vnt");
    EXPECT_EQ(Built("mypic.txt"), Expected("camera_p504.vnt"));
    EXPECT_EQ(p504.BuildCameraPicture("missing.jpg", title, 1, 1, 1, 1, "gone.tmp", name), 0);
    EXPECT_FALSE(fs::Exists("gone.tmp"));
}

}  // namespace
}  // namespace sorvanto
