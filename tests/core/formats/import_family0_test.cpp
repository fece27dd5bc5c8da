#include <gtest/gtest.h>

#include "common/sjis.h"
#include "formats/base64.h"
#include "formats/family0_importer.h"
#include "formats/quoted_printable.h"
#include "import_test_sink.h"

namespace sorvanto::test {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string S(const char* utf8) { return sjis::Lit(utf8); }

std::string Card(const std::string& name, const std::string& number) {
    return Crlf("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:" + name + ";;;;\nTEL;CELL:" + number +
                "\nX-DIF:0001\nEND:VCARD\n");
}

// A family-0 vMessage; header lines can be left out or replaced to damage it.
std::string QpMail(const std::string& qp_body, const std::string& date_line = "Date:Fri, 02 Jan 2004 09:05:07 +0900\n",
                   const std::string& subject_line = "Subject:=?shift-jis?B?YWJj?=\n") {
    return Crlf("BEGIN:VMSG\nVERSION:1.1\nX-IRMC-BOX:INBOX\nBEGIN:VENV\nBEGIN:VENV\nBEGIN:VBODY\n"
                "From:friend@docomo.ne.jp\nTo:me@docomo.ne.jp\n" + subject_line + date_line +
                "Content-Transfer-Encoding:quoted-printable\n\n" + qp_body +
                "\nEND:VBODY\nEND:VENV\nEND:VENV\nEND:VMSG\n");
}

// 2004-01-02 09:05:07 in Tokyo.
constexpr const char* kDate = "1073001907";

class Family0Import : public TempHome {
protected:
    RecordingSink sink;
    Family0Importer importer{sink};
};

TEST_F(Family0Import, NamesThatAreNotImportedOrUnknownStayInTmpFiles) {
    for (const char* name : {"myno.vcf", "scdl.vcs", "nt.vnt", "scln.vnt", "anim.vnt", "telecom_nt.vcf", "telecom_cal.vcf"}) {
        EXPECT_EQ(importer.Import(Receive(name, Card("x", "1"))), 1) << name;
        EXPECT_TRUE(StillReceived(name)) << name;
    }
    // Names compare exactly: other letter case or other names are not recognised.
    for (const char* name : {"PB.VCF", "Pb.vcf", "pb.vcf2", "nec_pb.vcf"}) {
        EXPECT_EQ(importer.Import(Receive(name, Card("x", "1"))), 2) << name;
        EXPECT_TRUE(StillReceived(name)) << name;
    }
    EXPECT_EQ(importer.Import("TmpFiles\\4a1b2c3d"), 2);
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(Family0Import, AddressFileHoldsTheCardsFieldsInOrder) {
    const std::string card = Crlf("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:" + S("山田 太郎") +
                                  ";;;;\nX-DIF:0009\nSOUND;CHARSET=SHIFT_JIS;X-IRMC-N:" + S("ﾔﾏﾀﾞ") +
                                  ";;;;\nTEL;CELL:090-1111-2222\nX-DIF:0001\nTEL;HOME:03-3333-4444\n"
                                  "EMAIL;INTERNET:taro@docomo.ne.jp\nX-MIF:01\nX-NOTE;CHARSET=SHIFT_JIS:" +
                                  S("メモ") + "\nX-CLASS:PUBLIC\nEND:VCARD\n");
    EXPECT_EQ(importer.Import(Receive("pb.vcf", card)), 2);
    ASSERT_EQ(sink.Ops(), std::vector<std::string>{"address"});
    EXPECT_EQ(sink.calls[0].path, ".\\addr.ini");
    const Pairs expected = {{"Name", S("山田 太郎")},
                            {"TelIcon-1", "0009"},  // an icon before any number
                            {"Kana", S("ﾔﾏﾀﾞ")},
                            {"Tel0", "CELL:090-1111-2222"},
                            {"TelIcon0", "0001"},
                            {"Tel1", "HOME:03-3333-4444"},
                            {"Mail0", "INTERNET:taro@docomo.ne.jp"},
                            {"MailIcon0", "01"},
                            {"Note", S("メモ")},
                            {"TelCnt", "2"},
                            {"MailCnt", "1"}};
    EXPECT_EQ(IniPairs(sink.calls[0].bytes), expected);
    EXPECT_EQ(sink.calls[0].bytes.substr(0, 10), "[System]\r\n");
    EXPECT_FALSE(StillReceived("pb.vcf"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Family0Import, KeyGivenTwiceKeepsItsPlaceAndLoneCrBecomesABlank) {
    const std::string card = Crlf("BEGIN:VCARD\nN;CHARSET=SHIFT_JIS:first;;;;\nTEL;CELL:1\nX-DIF:0001\nX-DIF:0002\n") +
                             "X-NOTE;CHARSET=SHIFT_JIS:a\rb\r\n" +
                             Crlf("N;CHARSET=SHIFT_JIS:second;;;;\nEND:VCARD\n");
    EXPECT_EQ(importer.Import(Receive("pb.vcf", card)), 2);
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].bytes,
              "[System]\r\nName=second\r\nTel0=CELL:1\r\nTelIcon0=0002\r\nNote=a b\r\nTelCnt=1\r\nMailCnt=0\r\n");
}

TEST_F(Family0Import, WholeBookRegistersEveryFinishedCardInFileOrder) {
    // The fourth card lacks its END:VCARD line: it is not registered.
    const std::string book = Card(S("一"), "1") + Card(S("二"), "2") + Card(S("三"), "3") +
                             Crlf("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:four;;;;\nTEL;CELL:4\n");
    importer.Import(Receive("telecom_pb.vcf", book));
    ASSERT_EQ(sink.calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto pairs = IniPairs(sink.calls[i].bytes);
        ASSERT_FALSE(pairs.empty());
        EXPECT_EQ(pairs[0].second, S(i == 0 ? "一" : i == 1 ? "二" : "三"));
        EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"Tel0", "CELL:" + std::to_string(i + 1)}));
    }
    EXPECT_FALSE(StillReceived("telecom_pb.vcf"));
    EXPECT_TRUE(Leftovers().empty());  // neither the split file nor ".\addr.ini"
}

TEST_F(Family0Import, SingleCardWithoutEndIsNotRegistered) {
    importer.Import(Receive("pb.vcf", Crlf("BEGIN:VCARD\nN;CHARSET=SHIFT_JIS:cut;;;;\nTEL;CELL:1\n")));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(StillReceived("pb.vcf"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Family0Import, MailGoesToTheSinkOfItsBoxWithTheStoredLayout) {
    const std::string qp_body = "100%=0D=0A=82=A0";  // "100%" CR LF "あ"
    const std::vector<std::pair<const char*, const char*>> boxes = {
        {"inmsg.vmg", "received"}, {"sentmsg.vmg", "sent"}, {"outmsg.vmg", "outbox"}};
    for (const auto& [name, op] : boxes) {
        sink.calls.clear();
        importer.Import(Receive(name, QpMail(qp_body)));
        ASSERT_EQ(sink.Ops(), std::vector<std::string>{op}) << name;
        EXPECT_EQ(sink.calls[0].path, "cnv.msg");
        EXPECT_EQ(sink.calls[0].bytes, std::string("friend@docomo.ne.jp\nme@docomo.ne.jp\nabc\n") + kDate +
                                           "\n0\n100%\r\n" + S("あ"));
        EXPECT_FALSE(StillReceived(name));
    }
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Family0Import, MailWithoutDateIsNotImported) {
    importer.Import(Receive("inmsg.vmg", QpMail("body", "")));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(StillReceived("inmsg.vmg"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Family0Import, SubjectInAnotherFormStaysEmpty) {
    for (const char* line : {"Subject: =?shift-jis?B?YWJj?=\n", "Subject:=?iso-2022-jp?B?YWJj?=\n", "Subject:abc\n"}) {
        sink.calls.clear();
        importer.Import(Receive("inmsg.vmg", QpMail("x", "Date:Fri, 02 Jan 2004 09:05:07 +0900\n", line)));
        ASSERT_EQ(sink.calls.size(), 1u) << line;
        EXPECT_EQ(sink.calls[0].bytes, std::string("friend@docomo.ne.jp\nme@docomo.ne.jp\n\n") + kDate + "\n0\nx");
    }
}

TEST_F(Family0Import, DecodedSubjectCannotBreakTheMailFileIntoLines) {
    const std::string encoded = base64::Encode(std::string_view("a\r\nb"), 64);
    importer.Import(Receive("inmsg.vmg", QpMail("x", "Date:Fri, 02 Jan 2004 09:05:07 +0900\n",
                                                "Subject:=?shift-jis?B?" + encoded + "?=\n")));
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].bytes, std::string("friend@docomo.ne.jp\nme@docomo.ne.jp\na  b\n") + kDate + "\n0\nx");
}

TEST_F(Family0Import, BodyIsCutAt778DecodedBytesAndAfter1522EncodedBytes) {
    // Plain letters: the decoded body reaches its 778-byte limit first.
    std::string letters(1000, 'a');
    importer.Import(Receive("inmsg.vmg", QpMail(QuotedPrintableCodec::EncodeMemory(letters, 4000, true))));
    ASSERT_EQ(sink.calls.size(), 1u);
    const std::string& file = sink.calls[0].bytes;
    EXPECT_EQ(file.substr(file.size() - 779), "\n" + std::string(778, 'a'));

    // Escaped bytes: three encoded characters per byte, so the cut at 1,522 encoded bytes
    // comes first and the body is a shorter prefix of what was sent.
    sink.calls.clear();
    std::string kana;
    for (int i = 0; i < 400; ++i) kana += S("あ");
    importer.Import(Receive("inmsg.vmg", QpMail(QuotedPrintableCodec::EncodeMemory(kana, 4000, true))));
    ASSERT_EQ(sink.calls.size(), 1u);
    const std::string stored = sink.calls[0].bytes;
    const std::string body = stored.substr(stored.find("\n0\n") + 3);
    EXPECT_GT(body.size(), 470u);
    EXPECT_LT(body.size(), 520u);
    EXPECT_EQ(kana.compare(0, body.size(), body), 0);
}

TEST_F(Family0Import, AttachmentFlagFollowsTheMelodyBoundary) {
    struct Case {
        std::string body;
        char flag;
    };
    const std::vector<Case> cases = {
        {"--B:M\r\nbWVsbw==", '1'},           // empty text, melody at once
        {"hi\r\n--B:M\r\nbWVsbwAA", '1'},     // text, boundary, melody
        {"hi\r\n--B:M\r\nbWV", '0'},          // boundary too close to the end
        {"hi\r\n--B:X\r\nbWVsbwAA", '0'},
    };
    for (const auto& c : cases) {
        sink.calls.clear();
        importer.Import(Receive("inmsg.vmg", QpMail(QuotedPrintableCodec::EncodeMemory(c.body, 400, true))));
        ASSERT_EQ(sink.calls.size(), 1u);
        const std::string& f = sink.calls[0].bytes;
        const std::size_t at = f.find(std::string("\n") + kDate + "\n") + 12;
        EXPECT_EQ(f[at], c.flag) << c.body;
        EXPECT_EQ(f.substr(at + 2), c.body);
    }
}

TEST_F(Family0Import, InboxSplitsIntoMailsAndSkipsABrokenOne) {
    const std::string box = QpMail("one") + QpMail("two", "") + QpMail("three");
    importer.Import(Receive("telecom_inmsg.vmg", box));
    ASSERT_EQ(sink.Ops(), (std::vector<std::string>{"received", "received"}));
    EXPECT_EQ(sink.calls[0].bytes.substr(sink.calls[0].bytes.size() - 3), "one");
    EXPECT_EQ(sink.calls[1].bytes.substr(sink.calls[1].bytes.size() - 5), "three");
    EXPECT_FALSE(StillReceived("telecom_inmsg.vmg"));
    EXPECT_TRUE(Leftovers().empty());

    sink.calls.clear();
    importer.Import(Receive("telecom_sentmsg.vmg", QpMail("s")));
    importer.Import(Receive("telecom_outmsg.vmg", QpMail("o")));
    EXPECT_EQ(sink.Ops(), (std::vector<std::string>{"sent", "outbox"}));
}

TEST_F(Family0Import, MelodyIsDecodedFromQuotedPrintable) {
    static const char kHead[] = "melo\0\0\0\x10\0\x05\x01\0\x01titl\0\x01X";
    const std::string mld = std::string(kHead, sizeof kHead - 1) + "\r\n=\t\xff";
    const std::string note = Crlf("BEGIN:VNOTE\nVERSION:1.1\nX-FORMAT:1\n") + "X-BODY;ENCODING=QUOTED-PRINTABLE:" +
                             QuotedPrintableCodec::EncodeMemory(mld, 4000, true) + Crlf("\nEND:VNOTE\n");
    importer.Import(Receive("mld.vnt", note));
    ASSERT_EQ(sink.Ops(), std::vector<std::string>{"melody"});
    EXPECT_EQ(sink.calls[0].path, "cnv.mld");
    EXPECT_EQ(sink.calls[0].bytes, mld);
    EXPECT_FALSE(StillReceived("mld.vnt"));
    EXPECT_TRUE(Leftovers().empty());

    sink.calls.clear();
    importer.Import(Receive("mld.vnt", Crlf("BEGIN:VNOTE\nX-BODY;ENCODING=QUOTED-PRINTABLE:6D656C6F\n")));
    EXPECT_TRUE(sink.calls.empty());  // never closed by END:VNOTE
    EXPECT_TRUE(StillReceived("mld.vnt"));
}

TEST_F(Family0Import, BookmarksFromVNoteAndVBookmark) {
    importer.Import(Receive("bmk.vnt", Crlf("BEGIN:VNOTE\nVERSION:1.1\nX-SUMMARY;CHARSET=SHIFT_JIS:" + S("天気") +
                                            "\nX-BODY:http://a.example/\nX-JUMPINFO:\nEND:VNOTE\n")));
    importer.Import(Receive("bm.url", Crlf("BEGIN:VBKM\nVERSION:1.0\nURL:http://b.example/\nTITLE;CHARSET=SHIFT_JIS:B\nEND:VBKM\n")));
    importer.Import(Receive("telecom_bm.url",
                            Crlf("BEGIN:VBKM\nURL:http://c/\nTITLE;CHARSET=SHIFT_JIS:C\nEND:VBKM\n"
                                 "BEGIN:VBKM\nTITLE;CHARSET=SHIFT_JIS:no url\nEND:VBKM\n"
                                 "BEGIN:VBKM\nURL:http://d/\nTITLE;CHARSET=SHIFT_JIS:D\nEND:VBKM\n")));
    ASSERT_EQ(sink.calls.size(), 4u);
    EXPECT_EQ(sink.calls[0].title, S("天気"));
    EXPECT_EQ(sink.calls[0].text, "http://a.example/");
    EXPECT_EQ(sink.calls[1].title, "B");
    EXPECT_EQ(sink.calls[1].text, "http://b.example/");
    EXPECT_EQ(sink.calls[2].text, "http://c/");
    EXPECT_EQ(sink.calls[3].text, "http://d/");
    EXPECT_TRUE(Leftovers().empty());

    // A vBookmark is no vNote bookmark: the single-bookmark kind of this family needs the vNote.
    sink.calls.clear();
    importer.Import(Receive("bmk.vnt", Crlf("BEGIN:VBKM\nURL:http://b/\nTITLE;CHARSET=SHIFT_JIS:B\nEND:VBKM\n")));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(StillReceived("bmk.vnt"));
}

}  // namespace
}  // namespace sorvanto::test
