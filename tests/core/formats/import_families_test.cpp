#include <cstring>

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "formats/base64.h"
#include "formats/family0_importer.h"
#include "formats/family1_importer.h"
#include "formats/family4_importer.h"
#include "formats/importer_for_model.h"
#include "formats/nec_importer.h"
#include "import_test_sink.h"

namespace sorvanto::test {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string S(const char* utf8) { return sjis::Lit(utf8); }

std::uint32_t Le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// Pixel (x, y) of the handset's picture, top row first: every value distinct per row.
std::uint16_t Pixel(int x, int y) { return static_cast<std::uint16_t>(y * 256 + x); }

std::string StandbyNote(int width, int height, std::size_t pixel_bytes) {
    std::string pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            pixels += static_cast<char>(Pixel(x, y) & 0xFF);
            pixels += static_cast<char>(Pixel(x, y) >> 8);
        }
    pixels.resize(pixel_bytes);
    std::string text = base64::Encode(pixels, pixels.size() * 2 + 8), lines;
    for (std::size_t i = 0; i < text.size(); i += 72) lines += text.substr(i, 72) + "\n";
    return Crlf("BEGIN:VNOTE\nVERSION:1.1\nX-BMPTYPE:04\nX-HPICLR:0\nX-WIDTH:" + std::to_string(width) +
                "\nX-HEIGHT:" + std::to_string(height) + "\nX-BODY;ENCODING=BASE64:" + lines +
                "\nX-COPYRIGHT:0\nEND:VNOTE\n");
}

std::string PictureNote(const std::string& summary_line, const std::string& picture) {
    return Crlf("BEGIN:VNOTE\nVERSION:1.1\nX-DOCOMO-FILENAME:P0001.jpg\n" + summary_line +
                "X-DOCOMO-BODY;ENCODING=BASE64:\n" + base64::Encode(picture, 4096) + "\n\nEND:VNOTE\n");
}

std::string EightBitMail(const std::string& headers, const std::string& body) {
    return Crlf("BEGIN:VMSG\nVERSION:1.1\nX-IRMC-BOX:INBOX\nBEGIN:VENV\nBEGIN:VENV\nBEGIN:VBODY\n" + headers +
                "Content-Transfer-Encoding: 8bit\n\n") +
           body + Crlf("\nEND:VBODY\nEND:VENV\nEND:VENV\nEND:VMSG\n");
}

const std::string kHeaders = "From: a@docomo.ne.jp\nTo: b@docomo.ne.jp\nSubject: =?Shift_JIS?B?YWJj?=\n"
                             "Date: 02 Jan 2004 09:05:07 +0900\n";
const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + "pixels\xFF\xD9";

class FamilyImport : public TempHome {
protected:
    RecordingSink sink;
};

TEST_F(FamilyImport, ModelIdChoosesTheFamily) {
    EXPECT_NE(dynamic_cast<Family0Importer*>(ImporterForModel(0, sink).get()), nullptr);
    EXPECT_NE(dynamic_cast<Family1Importer*>(ImporterForModel(1, sink).get()), nullptr);
    for (int id : {2, 7, 8}) EXPECT_NE(dynamic_cast<NecImporter*>(ImporterForModel(id, sink).get()), nullptr);
    EXPECT_NE(dynamic_cast<Family4Importer*>(ImporterForModel(4, sink).get()), nullptr);
    for (int id : {-1, 3, 5, 6, 9}) EXPECT_EQ(ImporterForModel(id, sink), nullptr) << id;
}

TEST_F(FamilyImport, KindsThatAreNotImportedStay) {
    Family1Importer f1{sink};
    NecImporter nec{sink};
    Family4Importer f4{sink};
    const std::vector<std::pair<ObjectImporter*, std::vector<const char*>>> cases = {
        {&f1, {"mypb.vcf", "cal.vcs", ".vnt", "anim.vnt", "telecom_nt.vcf", "telecom_cal.vcf"}},
        {&nec, {"nec_mypb.vcf", "nec_cal.vcs", ".vnt", "telecom_nt.vcf", "telecom_cal.vcf"}},
        {&f4, {"mypb.vcf", "cal.vcs", ".vnt", "telecom_nt.vcf", "telecom_cal.vcf"}},
    };
    for (const auto& [importer, names] : cases)
        for (const char* name : names) {
            EXPECT_EQ(importer->Import(Receive(name, "BEGIN:VNOTE\r\n")), 1) << name;
            EXPECT_TRUE(StillReceived(name)) << name;
        }
    // Family 4 has no standby-picture kind; other families' names are unknown to it.
    for (const char* name : {"scln.vnt", "nec_img.vnt", "nec_pb.vcf"}) {
        EXPECT_EQ(f4.Import(Receive(name, StandbyNote(2, 2, 8))), 2) << name;
        EXPECT_TRUE(StillReceived(name)) << name;
    }
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(FamilyImport, Family1StandbyBitmapStoresTheLastHandsetRowFirst) {
    Family1Importer importer{sink};
    importer.Import(Receive("scln.vnt", StandbyNote(132, 144, 132 * 144 * 2)));
    ASSERT_EQ(sink.Ops(), std::vector<std::string>{"standby"});
    EXPECT_EQ(sink.calls[0].title, S("From携帯"));
    EXPECT_EQ(sink.calls[0].path, "img2.tmp");
    const std::string& bmp = sink.calls[0].bytes;
    ASSERT_EQ(bmp.size(), 38082u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le32(bmp, 2), 38082u);
    EXPECT_EQ(Le32(bmp, 10), 66u);
    EXPECT_EQ(Le32(bmp, 14), 40u);
    EXPECT_EQ(Le32(bmp, 18), 132u);
    EXPECT_EQ(Le32(bmp, 22), 144u);
    EXPECT_EQ(Le32(bmp, 26), 1u | (16u << 16));
    EXPECT_EQ(Le32(bmp, 30), 3u);
    EXPECT_EQ(bmp.substr(34, 20), std::string(20, '\0'));
    EXPECT_EQ(Le32(bmp, 54), 0xF800u);
    EXPECT_EQ(Le32(bmp, 58), 0x07E0u);
    EXPECT_EQ(Le32(bmp, 62), 0x001Fu);
    for (int stored_row : {0, 1, 143}) {
        const int handset_row = 143 - stored_row;
        for (int x : {0, 131}) {
            const std::size_t at = 66 + (stored_row * 132 + x) * 2;
            const unsigned v = static_cast<unsigned char>(bmp[at]) | (static_cast<unsigned char>(bmp[at + 1]) << 8);
            EXPECT_EQ(v, Pixel(x, handset_row)) << stored_row << "," << x;
        }
    }
    EXPECT_FALSE(StillReceived("scln.vnt"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, ShortOrUnsizedBitmapIsNotRegistered) {
    Family1Importer importer{sink};
    importer.Import(Receive("scln.vnt", StandbyNote(132, 144, 132 * 144 * 2 - 2)));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(StillReceived("scln.vnt"));
    std::string no_width = StandbyNote(4, 4, 32);
    no_width.replace(no_width.find("X-WIDTH:4"), 9, "X-WIDTH:0");
    importer.Import(Receive("scln.vnt", no_width));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, CameraPicturesCarryTitleAndFileName) {
    Family1Importer f1{sink};
    f1.Import(Receive("pic.vnt", PictureNote("SUMMARY;CHARSET=SHIFT_JIS:" + S("桜") + "\n", kJpeg)));
    f1.Import(Receive("mypic.vnt", PictureNote("", kJpeg)));
    Family4Importer f4{sink};
    f4.Import(Receive("img.vnt", PictureNote("", kJpeg)));  // a camera picture, never a standby one
    ASSERT_EQ(sink.Ops(), (std::vector<std::string>{"camera", "camera", "camera"}));
    EXPECT_EQ(sink.calls[0].title, S("桜"));
    EXPECT_EQ(sink.calls[0].text, "P0001.jpg");
    EXPECT_EQ(sink.calls[0].path, "img.tmp");
    EXPECT_EQ(sink.calls[0].bytes, kJpeg);
    EXPECT_EQ(sink.calls[1].title, "MyPic.jpg");
    EXPECT_EQ(sink.calls[2].title, "MyPic.jpg");
    EXPECT_EQ(sink.calls[2].bytes, kJpeg);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, NecStandbyPictureIsTitledFromKeitai) {
    NecImporter importer{sink};
    const std::string gif = "GIF89a\x02\x00\x02\x00pixels;";
    importer.Import(Receive("nec_img.vnt", Crlf("BEGIN:VNOTE\nVERSION:1.1\nSUMMARY;CHARSET=SHIFT_JIS:x\n"
                                                "BODY;ENCODING=BASE64:" + base64::Encode(gif, 400) +
                                                "\nX-NEC-POSITION:CENTER\nX-NEC-TYPE:GIF\nEND:VNOTE\n")));
    ASSERT_EQ(sink.Ops(), std::vector<std::string>{"standby"});
    EXPECT_EQ(sink.calls[0].title, S("From携帯"));
    EXPECT_EQ(sink.calls[0].bytes, gif);
    EXPECT_FALSE(StillReceived("nec_img.vnt"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, PlainVCardBecomesTheSameAddressFile) {
    const std::string card = Crlf("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:" + S("鈴木") +
                                  ";;;;\nSOUND;X-IRMC-N;CHARSET=SHIFT_JIS:" + S("スズキ") +
                                  ";;;;\nTEL:090-1\nTEL:\nX-DIF:0009\nTEL;HOME:03-2\nEMAIL:s@docomo.ne.jp\n"
                                  "EMAIL;INTERNET:t@example.jp\nADR;CHARSET=SHIFT_JIS;HOME:;;" + S("大阪市") +
                                  ";;;530-0001;\nNOTE;CHARSET=SHIFT_JIS:" + S("メモ") +
                                  "\nX-NOTE;CHARSET=SHIFT_JIS:no\nEND:VCARD\n");
    const Pairs expected = {{"Name", S("鈴木")},
                            {"Kana", S("スズキ")},
                            {"Tel0", "CELL:090-1"},
                            {"TelIcon0", "0000"},
                            {"Tel1", "HOME:03-2"},
                            {"TelIcon1", "0000"},
                            {"Mail0", "INTERNET:s@docomo.ne.jp"},
                            {"MailIcon0", "00"},
                            {"Mail1", "INTERNET:t@example.jp"},
                            {"MailIcon1", "00"},
                            {"Adr", S("大阪市")},
                            {"AdrNo", "530-0001"},
                            {"Note", S("メモ")},
                            {"TelCnt", "2"},
                            {"MailCnt", "2"}};
    NecImporter nec{sink};
    Family4Importer f4{sink};
    nec.Import(Receive("nec_pb.vcf", card));
    f4.Import(Receive("pb.vcf", card));
    nec.Import(Receive("telecom_pb.vcf", card + card));
    ASSERT_EQ(sink.calls.size(), 4u);
    for (const auto& call : sink.calls) EXPECT_EQ(IniPairs(call.bytes), expected);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, EightBitMailJoinsRecipientsAndKeepsCrLfBody) {
    NecImporter importer{sink};
    // The body comes with LF line ends here; it is stored with CR LF.
    importer.Import(Receive("nec_imsg.vmg", EightBitMail(kHeaders + "To: c@docomo.ne.jp\n", "line1\nline2")));
    std::string lf_body = EightBitMail(kHeaders, "x");
    const std::size_t body_at = lf_body.find("\r\n\r\nx") + 4;
    lf_body.replace(body_at, 1, "one\ntwo\n" + S("三"));
    importer.Import(Receive("nec_smsg.vmg", lf_body));
    importer.Import(Receive("nec_omsg.vmg", EightBitMail(
        "From: me@docomo.ne.jp\nTo: b@docomo.ne.jp\nSubject: plain " + S("件名") + "\nDate: 0 Foo 0 00:00:00\n", "x")));
    ASSERT_EQ(sink.Ops(), (std::vector<std::string>{"received", "sent", "outbox"}));
    EXPECT_EQ(sink.calls[0].bytes, "a@docomo.ne.jp\nb@docomo.ne.jp;c@docomo.ne.jp\nabc\n1073001907\n0\nline1\r\nline2");
    EXPECT_EQ(sink.calls[1].bytes, "a@docomo.ne.jp\nb@docomo.ne.jp\nabc\n1073001907\n0\none\r\ntwo\r\n" + S("三"));
    EXPECT_EQ(sink.calls[2].bytes, "me@docomo.ne.jp\nb@docomo.ne.jp\nplain " + S("件名") + "\n0\n0\nx");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, EightBitBodyIsCutAt780BytesWithoutTouchingTheHeaderLines) {
    Family4Importer importer{sink};
    std::string body;
    for (int i = 0; i < 60; ++i) body += "0123456789\r\n";  // 720 bytes
    body += "--B:M\r\nbWVsbw" + std::string(200, 'A');
    importer.Import(Receive("inmsg.vmg", EightBitMail(kHeaders, body)));
    ASSERT_EQ(sink.calls.size(), 1u);
    const std::string head = "a@docomo.ne.jp\nb@docomo.ne.jp\nabc\n1073001907\n1\n";
    EXPECT_EQ(sink.calls[0].bytes, head + body.substr(0, 780));
}

TEST_F(FamilyImport, EightBitMailNeedsDate) {
    NecImporter importer{sink};
    importer.Import(Receive("nec_imsg.vmg", EightBitMail("From: a@x\nTo: b@x\n", "body")));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(StillReceived("nec_imsg.vmg"));
    // A body that never closes is no reason to lose the mail (the damaged-import tests).
    importer.Import(Receive("nec_smsg.vmg", Crlf("BEGIN:VMSG\n" + kHeaders + "Content-Transfer-Encoding: 8bit\n\ncut")));
    EXPECT_EQ(sink.Ops(), std::vector<std::string>{"sent"});
    EXPECT_FALSE(StillReceived("nec_smsg.vmg"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FamilyImport, Base64MelodyEndsAtNecPropertiesEmptyLineOrEndOfNote) {
    const std::string mld = std::string("melo\0\0\0\x09\0\x03\x01\0\x01xyz", 17);
    const std::string b64 = base64::Encode(mld, 400);
    const std::vector<std::pair<const char*, std::string>> notes = {
        {"nec_mld.vnt", "BODY;ENCODING=BASE64:" + b64 + "\r\nX-NEC-COPYRIGHT:0\r\nEND:VNOTE\r\n"},
        {"nec_mld.vnt", "X-BODY;ENCODING=BASE64:" + b64.substr(0, 8) + "\r\n" + b64.substr(8) + "\r\n\r\nEND:VNOTE\r\n"},
        {"nec_mld.vnt", "BODY;ENCODING=BASE64:" + b64 + "\r\nEND:VNOTE\r\n"},
    };
    NecImporter importer{sink};
    for (const auto& [name, tail] : notes) importer.Import(Receive(name, "BEGIN:VNOTE\r\nVERSION:1.1\r\n" + tail));
    ASSERT_EQ(sink.Ops(), (std::vector<std::string>{"melody", "melody", "melody"}));
    for (const auto& call : sink.calls) EXPECT_EQ(call.bytes, mld);
    EXPECT_TRUE(Leftovers().empty());
}

}  // namespace
}  // namespace sorvanto::test
