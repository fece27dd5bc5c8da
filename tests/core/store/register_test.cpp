#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "support/process.h"

#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"
#include "store/row_texts.h"
#include "store_fixture.h"

namespace sorvanto::test {
namespace {

using RegisterTest = StoreTest;

TEST_F(RegisterTest, PictureFormatsAndTheJfifRule) {
    PictureStore standby(Category::kPicture);
    PictureStore camera(Category::kMyPic);
    RecordingObserver seen;
    standby.SetObserver(&seen);
    camera.SetObserver(&seen);
    ASSERT_TRUE(standby.Load());
    ASSERT_TRUE(camera.Load());

    EXPECT_EQ(standby.Register(Fixture("picture/exif.jpg"), "x", "", 1), RegisterResult::kNotAccepted);
    EXPECT_EQ(standby.Register(Fixture("picture/text.txt"), "x", "", 1), RegisterResult::kNotAccepted);
    EXPECT_EQ(standby.Register(Fixture("picture/missing.jpg"), "x", "", 1), RegisterResult::kNotAccepted);
    EXPECT_TRUE(seen.log.empty());
    EXPECT_TRUE(seen.failures.empty());
    EXPECT_EQ(standby.Count(), 0);

    ASSERT_EQ(standby.Register(Fixture("picture/jfif.jpg"), Sj("海"), "", 1), RegisterResult::kRegistered);
    ASSERT_EQ(standby.Register(Fixture("picture/tiny.gif"), std::string(80, 'g'), "", 0), RegisterResult::kRegistered);
    ASSERT_EQ(standby.Register(Fixture("picture/tiny.bmp"), "b", "", 0), RegisterResult::kRegistered);
    ASSERT_EQ(camera.Register(Fixture("picture/exif.jpg"), "c", Sj("説明"), 1), RegisterResult::kRegistered);

    const PictureItem* jpeg = standby.At(0);
    EXPECT_EQ(jpeg->type, 1);
    EXPECT_EQ(jpeg->width, 16);
    EXPECT_EQ(jpeg->height, 8);
    EXPECT_EQ(Read(fs::NativePath(jpeg->path)), ReadFileBytes(Fixture("picture/jfif.jpg")));
    EXPECT_EQ(standby.At(1)->title, std::string(63, 'g'));
    EXPECT_EQ(RowTexts(*standby.At(1))[1], "3 x 2");
    EXPECT_EQ(RowTexts(*standby.At(1))[3], "GIF");
    EXPECT_EQ(RowTexts(*standby.At(2))[3], "BMP");
    EXPECT_EQ(standby.At(2)->height, 2);
    EXPECT_EQ(camera.At(0)->comment, Sj("説明"));
    EXPECT_EQ(camera.At(0)->path.substr(0, 6), "MyPic\\");

    EXPECT_EQ(seen.log[0], Sj("待ち受け[海]を登録しました"));
    EXPECT_EQ(seen.log[3], Sj("カメラ画像[c]を登録しました"));
}

TEST_F(RegisterTest, MelodyNeedsItsTitleChunk) {
    MelodyStore store;
    RecordingObserver seen;
    store.SetObserver(&seen);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.Register(Fixture("melody/notitle.mld"), 1), RegisterResult::kNotAccepted);
    ASSERT_EQ(store.Register(Fixture("melody/song.mld"), 1), RegisterResult::kRegistered);
    EXPECT_EQ(store.At(0)->title, Sj("テスト"));
    EXPECT_EQ(store.At(0)->bytes, static_cast<int>(ReadFileBytes(Fixture("melody/song.mld")).size()));
    EXPECT_EQ(seen.log, (std::vector<std::string>{Sj("着メロ[テスト]を登録しました")}));
}

TEST_F(RegisterTest, MelodyTitleScan) {
    auto head = [](std::string tail) { return std::string("melo\0\0\0\0", 8) + tail; };
    // The last match wins.
    EXPECT_EQ(MelodyStore::TitleOf256(head(std::string("titl\0\x01" "Atitl\0\x02" "BC", 15))), "BC");
    // A length past the bytes read takes only what was read.
    EXPECT_EQ(MelodyStore::TitleOf256(head(std::string("titl\x01\x00" "abc", 9))), "abc");
    // A tag whose length bytes were not read is no match.
    EXPECT_EQ(MelodyStore::TitleOf256(head("titl")), std::nullopt);
    EXPECT_EQ(MelodyStore::TitleOf256("melo"), std::nullopt);
    EXPECT_EQ(MelodyStore::TitleOf256(std::string("MELO\0\0\0\0titl\0\x01x", 15)), std::nullopt);
}

TEST_F(RegisterTest, NamesInOneSecondAreDistinct) {
    // Same second, ticks 0x100 apart: the low bytes are equal, so the second name exists and
    // the clocks are read again.
    auto ticks = std::make_shared<std::vector<std::uint32_t>>(std::vector<std::uint32_t>{0x105, 0x205, 0x206});
    auto next = std::make_shared<std::size_t>(0);
    clock::SetForTesting([] { return std::int64_t{0x3F2A10B0}; },
                         [ticks, next] {
                             const auto t = (*ticks)[std::min(*next, ticks->size() - 1)];
                             ++*next;
                             return t;
                         });
    AddressStore store;
    ASSERT_TRUE(store.Load());
    Write("entry.ini", "[System]\r\nName=a\r\n");
    ASSERT_TRUE(store.Register("entry.ini", 0));
    ASSERT_TRUE(store.Register("entry.ini", 0));
    EXPECT_EQ(store.At(0)->path, "Address\\3F2A10B005");
    EXPECT_EQ(store.At(1)->path, "Address\\3F2A10B006");
    EXPECT_EQ(store.At(1)->entry_time, 0x3F2A10B0);

    // A frozen clock still gives every registration its own file. A file the store did not
    // write holds the next name: it is passed over and keeps its bytes.
    Write("Address/3F2A10B007", "not ours");
    clock::SetForTesting([] { return std::int64_t{0x3F2A10B0}; }, [] { return std::uint32_t{6}; });
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(store.Register("entry.ini", 0));
    std::set<std::string> paths;
    for (int k : store.Keys()) paths.insert(store.Find(k)->path);
    EXPECT_EQ(paths.size(), 302u);
    EXPECT_EQ(paths.count("Address\\3F2A10B007"), 0u);
    EXPECT_EQ(paths.count("Address\\3F2A10B008"), 1u);
    EXPECT_EQ(Read("Address/3F2A10B007"), "not ours");
}

TEST_F(RegisterTest, AddressAndMailThatAreNotEntriesFailAndLeaveNothing) {
    AddressStore addresses;
    MailStore in(Category::kInMail);
    RecordingObserver seen;
    addresses.SetObserver(&seen);
    in.SetObserver(&seen);
    ASSERT_TRUE(addresses.Load());
    ASSERT_TRUE(in.Load());

    Write("empty.ini", "[System]\r\n");
    Write("oneline.msg", "from@example.jp\r\n");
    EXPECT_FALSE(addresses.Register("empty.ini", 1));
    EXPECT_FALSE(in.Register("oneline.msg", 0, 1));
    EXPECT_FALSE(in.Register("missing.msg", 0, 1));
    EXPECT_EQ(seen.failures, std::vector<std::string>(3, Sj("処理に失敗しました")));
    EXPECT_TRUE(seen.log.empty());
    EXPECT_TRUE(std::filesystem::is_empty(Home() / "Address"));
    EXPECT_TRUE(std::filesystem::is_empty(Home() / "InMail"));
    EXPECT_EQ(Read("oneline.msg"), "from@example.jp\r\n");  // the source as it was
}

TEST_F(RegisterTest, MailRegistrationAndComposedMail) {
    FreezeClock(1100000000);
    MailStore out(Category::kOutMail);
    RecordingObserver seen;
    out.SetObserver(&seen);
    ASSERT_TRUE(out.Load());
    Write("cnv.msg", "\r\nto@example.jp\r\nSubj\r\n1099999999\r\n0\r\nhello\r\n");
    int key = -1;
    ASSERT_TRUE(out.Register("cnv.msg", 1, 1, &key));
    EXPECT_EQ(out.Find(key)->from_or_to, "to@example.jp");
    EXPECT_EQ(MailRowImage(*out.Find(key), false), 1);

    MailRecord r{};
    r.key = -1;
    CopyField(r.address, "a@b.jp");
    CopyField(r.subject, "100%d %s");
    CopyField(r.body, "line1\nline2");
    ASSERT_TRUE(out.SaveComposed(r));
    ASSERT_EQ(out.Count(), 2);
    const MailItem* fresh = out.At(1);
    EXPECT_EQ(fresh->subject, "100%d %s");
    EXPECT_EQ(fresh->flag, 0);
    EXPECT_EQ(Read(fs::NativePath(fresh->path)),
              "\na@b.jp\n100%d %s\n1100000000\n0\nline1\nline2");
    EXPECT_FALSE(std::filesystem::exists(Home() / "mail.tmp"));
    EXPECT_EQ(seen.log.back(), Sj("送信メール[100%d %s]を登録しました"));

    // Editing a sent mail makes it unsent again.
    r.key = key;
    CopyField(r.subject, "edited");
    ASSERT_TRUE(out.SaveComposed(r));
    EXPECT_EQ(out.Find(key)->subject, "edited");
    EXPECT_EQ(out.Find(key)->status, 0);
    EXPECT_EQ(seen.changed, std::vector<int>{key});
    r.key = 999;
    EXPECT_FALSE(out.SaveComposed(r));
}

TEST_F(RegisterTest, DeleteLogsRemovesTheFileAndRewritesTheIndex) {
    CopyFixture("address");
    AddressStore store;
    RecordingObserver seen;
    store.SetObserver(&seen);
    ASSERT_TRUE(store.Load());
    const int key = store.Keys()[0];
    EXPECT_EQ(store.DeleteQuestion(key), Sj("アドレス[山田太郎]を削除しますか？"));
    ASSERT_TRUE(store.Delete(key));
    EXPECT_EQ(seen.log, (std::vector<std::string>{Sj("アドレス[山田太郎]を削除しました")}));
    EXPECT_EQ(seen.removed, std::vector<int>{key});
    EXPECT_FALSE(std::filesystem::exists(Home() / "Address/3F2A10B0D1"));
    EXPECT_FALSE(store.Delete(key));

    IniFile index(".\\address.ini");
    EXPECT_EQ(index.GetInt("System", "Count"), 1);
    EXPECT_EQ(index.GetString("Item0", "File"), "Address\\3F2A10B0D2");
    EXPECT_FALSE(index.HasSection("Item1"));
}

TEST_F(RegisterTest, IndexIsWrittenAtEveryChangeInTheWriteBackFormat) {
    FreezeClock(1057000000);
    BookmarkStore store;
    ASSERT_TRUE(store.Load());
    int key = -1;
    ASSERT_TRUE(store.Register(Sj("ニュース"), "http://example.jp/\r\nx", 1, &key));
    ASSERT_TRUE(store.SetComment(key, "c"));
    EXPECT_EQ(Read("bookmk.ini"), "[Item0]\r\nTitle=" + Sj("ニュース") +
                                      "\r\nAddress=http://example.jp/  x\r\nComment=c\r\nSetTime=0\r\n"
                                      "EntryTime=1057000000\r\nFlag=1\r\n[System]\r\nCount=1\r\n");
}

TEST_F(RegisterTest, BatchWritesOnceAtItsEnd) {
    BookmarkStore store;
    ASSERT_TRUE(store.Load());
    {
        BatchScope batch(store);
        store.Register("a", "http://a/", 1);
        store.Register("b", "http://b/", 1);
        EXPECT_FALSE(std::filesystem::exists(Home() / "bookmk.ini"));
    }
    EXPECT_EQ(IniFile(".\\bookmk.ini").GetInt("System", "Count"), 2);
}

// Run only as the child of the test below, in its working folder: registers and ends at once,
// with no write-back and no destructors, as a crash would.
TEST(RegisterCrashChild, DISABLED_RegisterThenDie) {
    MelodyStore store;
    store.Load();
    const bool ok = store.Register(DataPath("store/melody/song.mld").string(), 1) == RegisterResult::kRegistered;
    std::_Exit(ok ? 0 : 1);
}

TEST_F(RegisterTest, ARegistrationSurvivesACrash) {
    // The child is this test program itself, started in this test's working folder.
    const RunResult child = test::Run({test::SelfPath(),
                                 "--gtest_filter=RegisterCrashChild.DISABLED_RegisterThenDie",
                                 "--gtest_also_run_disabled_tests"});
    ASSERT_EQ(child.exit_code, 0) << child.out << child.err;

    MelodyStore reopened;
    ASSERT_TRUE(reopened.Load());
    ASSERT_EQ(reopened.Count(), 1);
    EXPECT_EQ(reopened.At(0)->title, Sj("テスト"));
    EXPECT_TRUE(fs::Exists(reopened.At(0)->path));
}

}  // namespace
}  // namespace sorvanto::test
