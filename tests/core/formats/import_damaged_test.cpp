#include <filesystem>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "formats/base64.h"
#include "formats/importer_for_model.h"
#include "import_test_sink.h"

namespace sorvanto::test {
namespace {

std::string S(const char* utf8) { return sjis::Lit(utf8); }

class DamagedImport : public TempHome {
protected:
    RecordingSink sink;
};

// One name per kind of conversion gets 10 MB it cannot use: a long run of property-like lines
// that never ends its object, or one endless line of noise. Nothing may be registered.
TEST_F(DamagedImport, TenMegabyteObjectsRegisterNothing) {
    std::string lines;
    while (lines.size() < 10u << 20) lines += "BEGIN:VCARD\r\nTEL;CELL:0\r\nX-BODY;ENCODING=BASE64:QUJD\r\n";
    std::mt19937 rng(7);
    std::string noise(10u << 20, '\0');
    for (char& c : noise) c = static_cast<char>(rng() % 96 + 32);
    const std::vector<std::pair<int, const char*>> cases = {
        {0, "pb.vcf"}, {0, "mld.vnt"}, {0, "inmsg.vmg"}, {0, "bmk.vnt"}, {1, "scln.vnt"},
        {2, "nec_mld.vnt"}, {2, "mypic.vnt"}, {2, "nec_imsg.vmg"}, {4, "telecom_pb.vcf"}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        auto importer = ImporterForModel(cases[i].first, sink);
        importer->Import(Receive(cases[i].second, i % 2 ? noise : lines));
        EXPECT_TRUE(sink.calls.empty()) << cases[i].second;
        std::filesystem::remove_all("TmpFiles");
    }
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(DamagedImport, LongLinesDoNotTurnIntoProperties) {
    // A memo far longer than a line read: its tail holds text that looks like a number and an
    // end of card. Neither may count; the memo is cut on a character boundary.
    const std::string card = "BEGIN:VCARD\r\nN;CHARSET=SHIFT_JIS:" + S("名") + ";;;;\r\nX-NOTE;CHARSET=SHIFT_JIS:" +
                             std::string(492, 'm') + S("あ") + "TEL;CELL:666" + std::string(600, 'z') +
                             "\r\nTEL;CELL:1\r\nEND:VCARD\r\n";
    auto importer = ImporterForModel(0, sink);
    importer->Import(Receive("pb.vcf", card));
    ASSERT_EQ(sink.calls.size(), 1u);
    const auto pairs = IniPairs(sink.calls[0].bytes);
    ASSERT_EQ(pairs.size(), 5u);
    EXPECT_EQ(pairs[1].first, "Note");
    EXPECT_EQ(pairs[1].second, std::string(492, 'm'));  // the read ends inside the kana
    EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"Tel0", "CELL:1"}));
    EXPECT_EQ(pairs[3].second, "1");  // TelCnt

    // In a whole book, a piece of a long line that begins "END:VCARD" does not end the card.
    sink.calls.clear();
    const std::string long_note = "X-NOTE;CHARSET=SHIFT_JIS:" + std::string(511 - 25, 'n') + "END:VCARD" + "\r\n";
    importer->Import(Receive("telecom_pb.vcf", "BEGIN:VCARD\r\nN;CHARSET=SHIFT_JIS:a;;;;\r\n" + long_note +
                                                   "TEL;CELL:2\r\nEND:VCARD\r\n"));
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(IniPairs(sink.calls[0].bytes).back(), (std::pair<std::string, std::string>{"MailCnt", "0"}));
    EXPECT_EQ(IniPairs(sink.calls[0].bytes)[2], (std::pair<std::string, std::string>{"Tel0", "CELL:2"}));
}

TEST_F(DamagedImport, OverlongSenderIsCutToWhatTheStoreKeeps) {
    auto importer = ImporterForModel(2, sink);
    std::string from;
    for (int i = 0; i < 40; ++i) from += "From: user" + std::to_string(100 + i) + "@docomo.ne.jp\r\n";
    importer->Import(Receive("nec_imsg.vmg",
                             "BEGIN:VMSG\r\nFrom: " + std::string(3000, 'x') + "\r\n" + from +
                                 "To: b@x\r\nDate: 02 Jan 2004 09:05:07 +0900\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
                                 "body\r\nEND:VBODY\r\nEND:VENV\r\nEND:VENV\r\nEND:VMSG\r\n"));
    ASSERT_EQ(sink.calls.size(), 1u);
    const std::string& f = sink.calls[0].bytes;
    const std::string first = f.substr(0, f.find('\n'));
    // The first, over-long line is cut at the read limit and then to the stored line; no
    // further address fits after it.
    EXPECT_EQ(first, std::string(517, 'x'));
    EXPECT_EQ(f.substr(first.size() + 1), "b@x\n\n1073001907\n0\nbody");
}

TEST_F(DamagedImport, Base64WithGarbageIsRefused) {
    auto nec = ImporterForModel(2, sink);
    nec->Import(Receive("nec_mld.vnt", "BEGIN:VNOTE\r\nBODY;ENCODING=BASE64:bWVsbw*AAAAA\r\nEND:VNOTE\r\n"));
    nec->Import(Receive("mypic.vnt", "BEGIN:VNOTE\r\nX-DOCOMO-BODY;ENCODING=BASE64:\r\n/9j/4A\xC0\xC1QSkZJ\r\n\r\nEND:VNOTE\r\n"));
    nec->Import(Receive("nec_img.vnt", "BEGIN:VNOTE\r\nBODY;ENCODING=BASE64:R0lGOD lhAQAB\r\nX-NEC-TYPE:GIF\r\nEND:VNOTE\r\n"));
    auto f1 = ImporterForModel(1, sink);
    f1->Import(Receive("scln.vnt", "X-WIDTH:1\r\nX-HEIGHT:1\r\nX-BODY;ENCODING=BASE64:AA==AA\r\n\r\nEND:VNOTE\r\n"));
    EXPECT_TRUE(sink.calls.empty());
    for (const char* name : {"nec_mld.vnt", "mypic.vnt", "nec_img.vnt", "scln.vnt"}) EXPECT_TRUE(StillReceived(name)) << name;
    EXPECT_TRUE(Leftovers().empty());
}

// A mail whose "END:VBODY" never came keeps its whole header and the body that arrived, alone
// or inside a box (whose received file is deleted afterwards), for both mail forms.
TEST_F(DamagedImport, MailsWithoutEndOfBodyKeepHeaderAndWhatArrived) {
    const std::string qp_head = Crlf("BEGIN:VMSG\nBEGIN:VENV\nBEGIN:VBODY\nFrom:f@x\nTo:t@x\nSubject:=?shift-jis?B?YWJj?=\n"
                                     "Date:Fri, 02 Jan 2004 09:05:07 +0900\nContent-Transfer-Encoding:quoted-printable\n\n");
    const std::string bit_head = Crlf("BEGIN:VMSG\nBEGIN:VENV\nBEGIN:VBODY\nFrom: f@x\nTo: t@x\nSubject: abc\n"
                                      "Date: 02 Jan 2004 09:05:07 +0900\nContent-Transfer-Encoding: 8bit\n\n");
    const std::string whole = Crlf("body\nEND:VBODY\nEND:VENV\nEND:VENV\nEND:VMSG\n");
    const std::string unclosed = Crlf("par=\n=82=A0t\nEND:VENV\nEND:VENV\nEND:VMSG\n");  // no END:VBODY
    const std::string stored = "f@x\nt@x\nabc\n1073001907\n0\n";
    const std::string partial_qp = "par" + S("あ") + "t";

    auto f0 = ImporterForModel(0, sink);
    f0->Import(Receive("inmsg.vmg", qp_head + Crlf("cut off in the mid")));
    f0->Import(Receive("telecom_inmsg.vmg", qp_head + whole + qp_head + unclosed + qp_head + whole + qp_head + Crlf("end")));
    auto nec = ImporterForModel(2, sink);
    nec->Import(Receive("nec_imsg.vmg", bit_head + Crlf("line one\nline tw")));
    nec->Import(Receive("telecom_sentmsg.vmg", bit_head + whole + bit_head + Crlf("8bit\nEND:VENV\nEND:VMSG\n") + bit_head));

    const std::vector<std::string> bodies = {"cut off in the mid", "body", partial_qp, "body", "end",
                                             "line one\r\nline tw", "body", "8bit", ""};
    ASSERT_EQ(sink.calls.size(), bodies.size());
    for (std::size_t i = 0; i < bodies.size(); ++i) EXPECT_EQ(sink.calls[i].bytes, stored + bodies[i]) << i;
    EXPECT_EQ(sink.Ops(), (std::vector<std::string>{"received", "received", "received", "received", "received",
                                                    "received", "sent", "sent", "sent"}));
    for (const char* name : {"inmsg.vmg", "telecom_inmsg.vmg", "nec_imsg.vmg", "telecom_sentmsg.vmg"})
        EXPECT_FALSE(StillReceived(name)) << name;
    EXPECT_TRUE(Leftovers().empty());

    // Cut inside the header: no mail to register, and a single object stays for another try.
    sink.calls.clear();
    f0->Import(Receive("outmsg.vmg", Crlf("BEGIN:VMSG\nFrom:f@x\nTo:t@x\nDate:Fri, 02 Jan 2004 09:05:07 +0900\n")));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(StillReceived("outmsg.vmg"));
}

// Reading a camera picture ends once its file name and body are found without a title: a
// summary line after the body does not become the title.
TEST_F(DamagedImport, SummaryAfterThePictureBodyIsNoTitle) {
    const std::string jpeg = "\xFF\xD8\xFF\xE0jpeg";
    const std::string body = "X-DOCOMO-BODY;ENCODING=BASE64:\n" + base64::Encode(jpeg, 4096) + "\n\n";
    auto importer = ImporterForModel(4, sink);
    importer->Import(Receive("img.vnt", Crlf("BEGIN:VNOTE\nX-DOCOMO-FILENAME:P1.jpg\n" + body +
                                             "SUMMARY;CHARSET=SHIFT_JIS:memo\nEND:VNOTE\n")));
    // Without the file name yet, reading goes on and a later title still counts.
    importer->Import(Receive("pic.vnt", Crlf("BEGIN:VNOTE\n" + body + "SUMMARY;CHARSET=SHIFT_JIS:late\n"
                                             "X-DOCOMO-FILENAME:P2.jpg\nEND:VNOTE\n")));
    ASSERT_EQ(sink.calls.size(), 2u);
    EXPECT_EQ(sink.calls[0].title, "MyPic.jpg");
    EXPECT_EQ(sink.calls[0].text, "P1.jpg");
    EXPECT_EQ(sink.calls[0].bytes, jpeg);
    EXPECT_EQ(sink.calls[1].title, "late");
    EXPECT_EQ(sink.calls[1].text, "P2.jpg");
}

TEST_F(DamagedImport, EmptyAndMissingFilesRegisterNothing) {
    for (int model : {0, 1, 2, 4}) {
        auto importer = ImporterForModel(model, sink);
        for (const auto& row : importer->NameTable()) {
            importer->Import(Receive(std::string(row.name), ""));
            importer->Import("TmpFiles\\00000000 " + std::string(row.name));  // never received
        }
    }
    EXPECT_TRUE(sink.calls.empty());
}

}  // namespace
}  // namespace sorvanto::test
