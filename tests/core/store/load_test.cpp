#include <gtest/gtest.h>

#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"
#include "store/row_texts.h"
#include "store_fixture.h"

namespace sorvanto::test {
namespace {

using LoadTest = StoreTest;

TEST_F(LoadTest, ReceivedMailFromWindowsIndexDropsMissingFileAndRenumbers) {
    CopyFixture("inmail");
    MailStore store(Category::kInMail);
    RecordingObserver seen;
    store.SetObserver(&seen);
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(seen.added, (std::vector<int>{0, 1}));

    const MailItem* first = store.At(0);
    EXPECT_EQ(first->from_or_to, "taro@example.ne.jp");
    EXPECT_EQ(first->subject, Sj("こんにちは"));
    EXPECT_EQ(first->mail_date, 1056990000);
    // The header lines end in CR LF and are read as text; the body keeps its CR LF.
    EXPECT_EQ(first->body, Sj("本文です\r\n二行目\r\n"));
    EXPECT_EQ(store.At(1)->status, 1);
    EXPECT_EQ(store.At(1)->attachment, 1);

    ASSERT_TRUE(store.Close());
    EXPECT_EQ(store.Count(), 0);
    const std::string index = Read("inmail.ini");
    EXPECT_EQ(index,
              "[System]\r\nCount=2\r\nDir=InMail\\\r\n"
              "[Item0]\r\nFile=InMail\\3F2A10B0C1\r\nSetTime=0\r\nEntryTime=1057000000\r\nFlag=1\r\nStatus=0\r\n"
              "[Item1]\r\nFile=InMail\\3F2A10B0C3\r\nSetTime=0\r\nEntryTime=1057000002\r\nFlag=0\r\nStatus=1\r\n");
}

TEST_F(LoadTest, AddressBookShowsLastNumberAndAddress) {
    CopyFixture("address");
    AddressStore store;
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(store.Count(), 2);
    const AddressItem* taro = store.At(0);
    EXPECT_EQ(taro->name, Sj("山田太郎"));
    EXPECT_EQ(taro->phone, "09012345678");
    EXPECT_EQ(taro->mail, "taro@example.ne.jp");
    EXPECT_EQ(taro->memo, Sj("友人"));
    EXPECT_EQ(RowTexts(*store.At(1)),
              (std::vector<std::string>{Sj("鈴木"), Sj("ｽｽﾞｷ"), "", "", "", "2003/07/01 04:07:30 *"}));

    std::string name, address;
    ASSERT_TRUE(store.GetAddressEntry(0, 0, name, address));
    EXPECT_EQ(address, "taro@example.ne.jp");
    ASSERT_TRUE(store.GetAddressEntry(1, 0, name, address));
    EXPECT_EQ(name, Sj("鈴木"));
    EXPECT_EQ(address, "");
    EXPECT_FALSE(store.GetAddressEntry(2, 0, name, address));
}

TEST_F(LoadTest, LongMelodyIsCutBackToItsLengthAndTheIndexFollows) {
    CopyFixture("melodyindex");
    const auto long_bytes = Read("Melody/3F2A10B0E1");
    MelodyStore store;
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(store.Count(), 1);
    const int want = static_cast<int>(long_bytes.size()) - 40;
    EXPECT_EQ(store.At(0)->bytes, want);
    EXPECT_EQ(Read("Melody/3F2A10B0E1"), long_bytes.substr(0, static_cast<std::size_t>(want)));
    // Written at once, and the player's key in the same file survives.
    IniFile index(".\\mldfile.ini");
    EXPECT_EQ(index.GetInt("Item0", "Byte"), want);
    EXPECT_EQ(index.GetInt("System", "Volume"), 80);
    EXPECT_EQ(index.GetString("Item0", "Title"), Sj("長い曲"));
}

TEST_F(LoadTest, DirRule) {
    // A folder of its own: created, and new items go there; old paths keep pointing where
    // they were.
    Write("picture.ini", "[System]\r\nDir=Pics\\\r\nCount=1\r\n[Item0]\r\nTitle=a\r\nPath=Picture\\0000000000\r\n");
    PictureStore pictures(Category::kPicture);
    ASSERT_TRUE(pictures.Load());
    EXPECT_TRUE(std::filesystem::is_directory(Home() / "Pics"));
    EXPECT_EQ(pictures.At(0)->path, "Picture\\0000000000");
    FreezeClock(0x3F000000);
    ASSERT_EQ(pictures.Register(Fixture("picture/tiny.gif"), "g", "", 0), RegisterResult::kRegistered);
    EXPECT_EQ(pictures.At(1)->path, "Pics\\3F00000000");

    // Present but empty: data files go into the working folder itself.
    Write("MyPic.ini", "[System]\r\nDir=\r\n");
    PictureStore camera(Category::kMyPic);
    ASSERT_TRUE(camera.Load());
    EXPECT_EQ(camera.DataFolder(), "");

    // Missing: the default folder.
    MailStore out(Category::kOutMail);
    ASSERT_TRUE(out.Load());
    EXPECT_EQ(out.DataFolder(), "OutMail\\");
    EXPECT_TRUE(std::filesystem::is_directory(Home() / "OutMail"));
}

TEST_F(LoadTest, PathsOutsideTheWorkingFolderAreRefused) {
    Write("mldfile.ini",
          "[System]\r\nDir=..\\elsewhere\\\r\nCount=4\r\n"
          "[Item0]\r\nTitle=up\r\nPath=Melody\\..\\..\\victim\r\n"
          "[Item1]\r\nTitle=abs\r\nPath=/etc/passwd\r\n"
          "[Item2]\r\nTitle=drive\r\nPath=C:\\x.mld\r\n"
          "[Item3]\r\nTitle=ok\r\nPath=Melody\\0000000001\r\n");
    MelodyStore store;
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.DataFolder(), "Melody\\");
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.At(0)->title, "ok");

    Write("address.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=\\tmp\\entry\r\n");
    AddressStore addresses;
    ASSERT_TRUE(addresses.Load());
    EXPECT_EQ(addresses.Count(), 0);
}

TEST_F(LoadTest, BadIndexFilesFailQuietly) {
    // Count far beyond the sections present, and a line of 100 KB.
    Write("bookmk.ini", "[System]\r\nCount=2147483647\r\n[Item0]\r\nTitle=" + std::string(100 * 1024, 'x') +
                            "\r\nAddress=http://a/\r\n[Item1]\r\nTitle=b\r\n");
    BookmarkStore bookmarks;
    ASSERT_TRUE(bookmarks.Load());
    ASSERT_EQ(bookmarks.Count(), 2);
    EXPECT_EQ(bookmarks.At(0)->title, std::string(259, 'x'));
    EXPECT_EQ(bookmarks.At(0)->url, "http://a/");

    Write("picture.ini", "[System]\r\nCount=-5\r\n[Item0]\r\nTitle=a\r\n");
    PictureStore pictures(Category::kPicture);
    ASSERT_TRUE(pictures.Load());
    EXPECT_EQ(pictures.Count(), 0);
    // Writing back a negative count deletes nothing it should not.
    ASSERT_TRUE(pictures.WriteBack());
    EXPECT_EQ(IniFile(".\\picture.ini").GetInt("System", "Count"), 0);

    // An address entry file with no key, and a mail file of one line.
    Write("address.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=Address\\E\r\n");
    Write("Address/E", "[System]\r\n; nothing\r\n[Other]\r\nName=x\r\n");
    AddressStore addresses;
    ASSERT_TRUE(addresses.Load());
    EXPECT_EQ(addresses.Count(), 0);

    Write("outmail.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=OutMail\\M\r\nStatus=1\r\n");
    Write("OutMail/M", "only line");
    MailStore out(Category::kOutMail);
    ASSERT_TRUE(out.Load());
    ASSERT_EQ(out.Count(), 1);  // a stored mail cut short still shows what it has
    EXPECT_EQ(out.At(0)->from_or_to, "");
    EXPECT_EQ(out.At(0)->subject, "");
}

TEST_F(LoadTest, MailLinesAreReadWholeAndCut) {
    const std::string long_to(700, 'a');
    Write("outmail.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=OutMail\\M\r\n");
    Write("OutMail/M", "\n" + long_to + "\nsubject\n1000\n1\n" + std::string(2000, 'b'));
    MailStore out(Category::kOutMail);
    ASSERT_TRUE(out.Load());
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out.At(0)->from_or_to, std::string(518, 'a'));
    EXPECT_EQ(out.At(0)->subject, "subject");
    EXPECT_EQ(out.At(0)->mail_date, 1000);
    EXPECT_EQ(out.At(0)->body, std::string(1559, 'b'));
}

}  // namespace
}  // namespace sorvanto::test
