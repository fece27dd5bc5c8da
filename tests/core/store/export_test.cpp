#include <gtest/gtest.h>

#include "store/address_entry_file.h"
#include "store/address_store.h"
#include "store/exports.h"
#include "store/mail_text_file.h"
#include "store/row_texts.h"
#include "store/store_import_sink.h"
#include "store_fixture.h"

namespace sorvanto::test {
namespace {

using ExportTest = StoreTest;

TEST_F(ExportTest, VCardOfAStoredEntry) {
    CopyFixture("address");
    AddressStore store;
    ASSERT_TRUE(store.Load());
    ASSERT_TRUE(ExportVCard(*store.At(0), (Home() / "out.vcf").string()));
    EXPECT_EQ(Read("out.vcf"), "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:" + Sj("山田太郎") +
                                   ";;;;\r\nSOUND;CHARSET=SHIFT_JIS:" + Sj("ﾔﾏﾀﾞﾀﾛｳ") +
                                   ";;;;\r\nTEL;HOME;VOICE:0312345678\r\nTEL;CELL:09012345678\r\n"
                                   "EMAIL;INTERNET:taro@example.ne.jp\r\n"
                                   "ADR;CHARSET=SHIFT_JIS;HOME:;;" + Sj("東京都千代田区") + ";;;100-0001;\r\n"
                                   "NOTE;CHARSET=SHIFT_JIS:" + Sj("友人") + "\r\nEND:VCARD\r\n");

    // A number without a kind, a postal code without an address, no memo.
    Write("Address/X", "[System]\r\nName=n\r\nTelCnt=1\r\nTel0=0123\r\nMailCnt=0\r\nAdrNo=100-0001\r\n");
    AddressItem bare;
    bare.path = "Address\\X";
    bare.name = "n";
    ASSERT_TRUE(ExportVCard(bare, "bare.vcf"));
    EXPECT_EQ(Read("bare.vcf"),
              "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:n;;;;\r\nSOUND;CHARSET=SHIFT_JIS:;;;;\r\n"
              "TEL:0123\r\nEND:VCARD\r\n");
    EXPECT_FALSE(ExportVCard(bare, (Home() / "no/such/folder.vcf").string()));
}

TEST_F(ExportTest, MailFile) {
    MailItem m;
    m.from_or_to = "taro@example.jp";
    m.subject = Sj("件名");
    m.mail_date = 1057000000;  // Tuesday 1 July 2003, 04:06:40 in Tokyo
    m.body = "a\nb\r\nc";
    ASSERT_TRUE(ExportMailFile(m, true, "in.eml"));
    EXPECT_EQ(Read("in.eml"), "From:taro@example.jp\r\nTo:\r\nSubject:" + Sj("件名") +
                                  "\r\nDate:Tuesday, 01 Jul 2003 04:06:40 +0900\r\nMIME-Version:1.0\r\n"
                                  "Content-Type:text/plain;charset=\"shift-jis\"\r\n\r\na\r\nb\r\nc");
    ASSERT_TRUE(ExportMailFile(m, false, "out.eml"));
    EXPECT_NE(Read("out.eml").find("From:\r\nTo:taro@example.jp\r\n"), std::string::npos);
}

TEST_F(ExportTest, ShortcutRoundTripAndImport) {
    ASSERT_TRUE(WriteInternetShortcut("http://example.jp/", "a.url"));
    EXPECT_EQ(Read("a.url"), "[InternetShortcut]\r\nURL=http://example.jp/\r\n");

    std::filesystem::create_directories(Home() / "drop");
    Write("drop/News.URL", "[InternetShortcut]\r\nURL=http://news.example/\r\n");
    Write("drop/Empty.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
    BookmarkStore store;
    ASSERT_TRUE(store.Load());
    ASSERT_TRUE(store.ImportShortcut((Home() / "drop/News.URL").string()));
    EXPECT_EQ(store.At(0)->title, "News");
    EXPECT_EQ(store.At(0)->url, "http://news.example/");
    EXPECT_EQ(store.At(0)->flag, 0);
    EXPECT_FALSE(store.ImportShortcut((Home() / "drop/Empty.url").string()));
    EXPECT_EQ(store.Count(), 1);
}

TEST_F(ExportTest, DataFileCopyAndProposedNames) {
    Write("Melody/M", "melo data");
    ASSERT_TRUE(ExportDataFile("Melody\\M", (Home() / "song.mld").string()));
    EXPECT_EQ(Read("song.mld"), "melo data");
    EXPECT_FALSE(ExportDataFile("Melody\\gone", "x.mld"));
    EXPECT_FALSE(std::filesystem::exists(Home() / "x.mld"));

    EXPECT_EQ(ProposedFileName("a\\b/c:d;e*f?g\"h<i>j|k\r\nl"), "abcdefghijkl");
    EXPECT_EQ(ProposedFileName("\\/:"), "");
    // The second byte of a double-byte character may be 0x5C: it stays.
    EXPECT_EQ(ProposedFileName(Sj("ソフト")), Sj("ソフト"));
}

TEST_F(ExportTest, RowTimeTexts) {
    EXPECT_EQ(RowTimeText(0, true), "");
    EXPECT_EQ(RowTimeText(1057000000, true), "2003/07/01 04:06:40  ");
    EXPECT_EQ(RowTimeText(1057000000, false), "2003/07/01 04:06:40 *");
    MailItem m;
    m.attachment = 1;
    m.flag = 0;
    m.mail_date = 1057000000;
    const auto texts = RowTexts(m);
    EXPECT_EQ(texts[3], "2003/07/01 04:06:40  ");
    EXPECT_EQ(texts[4], Sj("有り"));
    EXPECT_EQ(texts[5], "");
}

TEST_F(ExportTest, EntryAndMailWritersRoundTrip) {
    AddressEntry e;
    e.name = Sj("名前");
    e.tels = {"CELL:0901", "HOME:03"};
    e.tel_icons = {"0000", "0002"};
    e.mails = {"INTERNET:x@y.jp"};
    e.adr_no = "100-0001";
    ASSERT_TRUE(WriteAddressEntry("entry.ini", e));
    const auto back = ReadAddressEntry("entry.ini");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->tels, e.tels);
    EXPECT_EQ(back->tel_icons, e.tel_icons);
    EXPECT_EQ(back->mail_icons, std::vector<std::string>{"00"});
    AddressItem item;
    ASSERT_TRUE(ReadAddressItem("entry.ini", item));
    EXPECT_EQ(item.phone, "03");

    MailText m;
    m.to = "a\r\nb";
    m.subject = "s";
    m.date = 5;
    m.body = "x\ny";
    ASSERT_TRUE(WriteMailText("m.msg", m));
    EXPECT_EQ(Read("m.msg"), "\na  b\ns\n5\n0\nx\ny");
}

TEST_F(ExportTest, ImportSinkRoutesEverySlotWithTheHandsetFlag) {
    CategoryStores stores;
    stores.LoadAll();
    StoreImportSink sink(stores);
    Write("cnv.msg", "f@x\nt@x\ns\n1\n0\nbody");
    Write("addr.ini", "[System]\r\nName=a\r\n");
    sink.BeginBatch();
    sink.AddMelody(Fixture("melody/song.mld"));
    sink.AddBookmark("t", "http://u/");
    sink.AddOutboxMail("cnv.msg");
    sink.AddSentMail("cnv.msg");
    sink.AddReceivedMail("cnv.msg");
    sink.AddAddress("addr.ini");
    sink.AddStandbyPicture("p", Fixture("picture/jfif.jpg"));
    sink.AddCameraPicture("c", Fixture("picture/exif.jpg"), "k");
    sink.EndBatch();

    EXPECT_EQ(stores.out_mail.Count(), 2);
    EXPECT_EQ(stores.out_mail.At(0)->status, 0);
    EXPECT_EQ(stores.out_mail.At(1)->status, 1);
    EXPECT_EQ(stores.out_mail.At(1)->from_or_to, "t@x");
    EXPECT_EQ(stores.in_mail.At(0)->from_or_to, "f@x");
    EXPECT_EQ(stores.my_pic.At(0)->comment, "k");
    for (Category c : {Category::kMelody, Category::kPicture, Category::kBookmark, Category::kInMail,
                       Category::kAddress, Category::kMyPic}) {
        EXPECT_EQ(stores.Of(c).Count(), 1);
        IniFile index(std::string(FilesOf(c).index_path));
        EXPECT_EQ(index.GetInt("Item0", "Flag"), 1);
    }
}

}  // namespace
}  // namespace sorvanto::test
