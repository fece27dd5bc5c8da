// Duplicate groups, the address merge and the tidy with its backup.
#include <filesystem>

#include "platform/ini_file.h"
#include "search/address_merge_plan.h"
#include "search/duplicate_finder.h"
#include "search/duplicate_tidy.h"
#include "search_fixture.h"

namespace sorvanto::test {
namespace {

using DuplicatesTest = SearchTest;
using Keys = std::vector<int>;

std::vector<Keys> KeysOf(const std::vector<DuplicateGroup>& groups) {
    std::vector<Keys> out;
    for (const auto& g : groups) out.push_back(g.keys);
    return out;
}

TEST_F(DuplicatesTest, AddressEntriesGroupByFoldedNameOrSharedNumberOrAddress) {
    const int a = AddAddress(Sj("山田 太郎"), Sj("ﾔﾏﾀﾞ ﾀﾛｳ"), {"CELL:090-1234-5678"});
    const int b = AddAddress(Sj("佐藤"), Sj("サトウ"), {"CELL:080-0000-0001"});
    const int c = AddAddress(Sj("山田太郎"), Sj("やまだたろう"), {"HOME:03-1111-2222"});
    const int d = AddAddress(Sj("タロウ(会社)"), "", {"CELL:+81 90 1234 5678"});
    const int e = AddAddress(Sj("鈴木"), Sj("スズキ"), {}, {"INTERNET:sato@example.jp"});
    const int f = AddAddress("Sato", "", {}, {"INTERNET:SATO@EXAMPLE.JP"});
    AddAddress(Sj("山田 次郎"), Sj("ヤマダ ジロウ"), {"CELL:090-9999-0000"});
    // A: by name with c, by number with d. B stands alone. e and f share an address.
    EXPECT_EQ(KeysOf(DuplicateFinder::Addresses(stores.address)), (std::vector<Keys>{{a, c, d}, {e, f}}));
    (void)b;
    const auto groups = DuplicateFinder::Find(Refs(), Category::kAddress);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].positions, (std::vector<int>{0, 2, 3}));
}

TEST_F(DuplicatesTest, OtherCategoriesGroupIdenticalItems) {
    const int m1 = AddMail(stores.in_mail, "a@b", "S", "body");
    AddMail(stores.in_mail, "a@b", "S", "body2");
    AddMail(stores.in_mail, "a@b", "S", "body", 1057000001);
    const int m4 = AddMail(stores.in_mail, "a@b", "S", "body");
    const int o1 = AddMail(stores.out_mail, "x@y", "S", "b", 5, 1);
    AddMail(stores.out_mail, "x@y", "S", "b", 5, 0);  // the outbox, not the sent box
    const int o3 = AddMail(stores.out_mail, "x@y", "S", "b", 5, 1);
    int k1 = -1, k2 = -1, k3 = -1;
    stores.bookmark.Register("A", "http://a.jp/", 1, &k1);
    stores.bookmark.Register("B", "http://a.jp/x", 1, &k2);
    stores.bookmark.Register("C", "http://a.jp/", 1, &k3);
    const int s1 = AddMelody("one");
    const int s2 = AddMelody("one");
    AddMelody("one", "x");
    EXPECT_EQ(KeysOf(DuplicateFinder::Find(Refs())),
              (std::vector<Keys>{{s1, s2}, {k1, k3}, {o1, o3}, {m1, m4}}));
    EXPECT_TRUE(DuplicateFinder::Find(Refs(), Category::kPicture).empty());
}

TEST_F(DuplicatesTest, DamagedItemsAreInNoGroup) {
    AddAddress("A", "", {"CELL:1"});
    const int gone = AddAddress("A", "", {"CELL:1"});
    const int broken = AddAddress("A", "", {"CELL:1"});
    AddMail(stores.in_mail, "a@b", "S", "x");
    const int short_mail = AddMail(stores.in_mail, "a@b", "S", "x");
    const int lost_song = AddMelody("one");
    AddMelody("one");
    fs::DeleteFile(stores.address.Find(gone)->path);
    fs::WriteFile(stores.address.Find(broken)->path, "[Other]\r\nName=A\r\n");
    fs::WriteFile(stores.in_mail.Find(short_mail)->path, "a@b\n\nS\n");
    fs::DeleteFile(stores.melody.Find(lost_song)->path);
    EXPECT_TRUE(DuplicateFinder::Find(Refs()).empty());
}

TEST_F(DuplicatesTest, MergeTakesTheUnionOfNumbersAndAddressesWithKindsAndIcons) {
    const int a = AddAddress(Sj("山田 太郎"), Sj("ヤマダ タロウ"), {"HOME:03-1234-5678"}, {"INTERNET:taro@x.jp"},
                             {"0002"});
    const int b = AddAddress(Sj("ﾔﾏﾀﾞ ﾀﾛｳ"), "", {"CELL:090-1234-5678", "VOICE:0312345678"},
                             {"INTERNET:TARO@x.jp", "INTERNET:t2@y.jp"}, {"0001", "0003"});
    const auto groups = DuplicateFinder::Addresses(stores.address);
    ASSERT_EQ(groups.size(), 1u);
    const auto made = MakeAddressMergePlan(stores.address, groups[0]);
    ASSERT_TRUE(made.plan) << made.refusal;
    const AddressEntry& m = made.plan->merged;
    EXPECT_EQ(made.plan->keep_key, a);
    EXPECT_EQ(made.plan->drop_keys, (std::vector<int>{b}));
    EXPECT_EQ(m.name, Sj("山田 太郎"));
    EXPECT_EQ(m.tels, (std::vector<std::string>{"HOME:03-1234-5678", "CELL:090-1234-5678"}));
    EXPECT_EQ(m.tel_icons, (std::vector<std::string>{"0002", "0001"}));
    EXPECT_EQ(m.mails, (std::vector<std::string>{"INTERNET:taro@x.jp", "INTERNET:t2@y.jp"}));
    EXPECT_EQ(m.mail_icons, (std::vector<std::string>{"00", "00"}));

    // Past the limits the merge is refused with the editor's message.
    const auto refused = MakeAddressMergePlan(stores.address, groups[0], MergeLimits{1, 100});
    EXPECT_FALSE(refused.plan);
    EXPECT_EQ(refused.refusal, Sj("登録数が多すぎます"));
}

TEST_F(DuplicatesTest, TidyBacksUpEveryItemFirstThenMergesThroughTheStore) {
    FreezeClock(1057000000);  // 2003/07/01 04:06:40 in Tokyo
    const int a = AddAddress(Sj("山田 太郎"), Sj("ヤマダ タロウ"), {"HOME:03-1234-5678"});
    const int b = AddAddress(Sj("山田 太郎"), Sj("ヤマダ タロウ"), {"CELL:090-1234-5678"});
    const std::string b_path = stores.address.Find(b)->path;
    seen.log.clear();
    const auto groups = DuplicateFinder::Addresses(stores.address);
    ASSERT_EQ(groups.size(), 1u);
    DuplicateTidy tidy(Refs());
    const auto out = tidy.Tidy(groups[0]);
    ASSERT_TRUE(out.ok) << out.message;
    EXPECT_EQ(out.backup_folder, "Backup\\20030701-040640\\");
    // Both entries as they were, as vCards.
    EXPECT_NE(Read("Backup/20030701-040640/address-0000.vcf").find("TEL;HOME:03-1234-5678"), std::string::npos);
    EXPECT_NE(Read("Backup/20030701-040640/address-0001.vcf").find("TEL;CELL:090-1234-5678"), std::string::npos);

    ASSERT_EQ(stores.address.Count(), 1);
    EXPECT_EQ(stores.address.At(0)->phone, "090-1234-5678");  // the row shows the last number
    const auto entry = ReadAddressEntry(stores.address.Find(a)->path);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->tels.size(), 2u);
    EXPECT_FALSE(fs::Exists(b_path));
    EXPECT_EQ(seen.log, (std::vector<std::string>{Sj("アドレス[山田 太郎]を削除しました")}));
    // The index was written at once.
    IniFile index(".\\address.ini");
    EXPECT_EQ(index.GetInt("System", "Count"), 1);

    // A second tidy within the same second gets a folder of its own.
    AddMelody("x");
    AddMelody("x");
    const auto songs = DuplicateFinder::Melodies(stores.melody);
    ASSERT_EQ(songs.size(), 1u);
    const auto second = tidy.Tidy(songs[0]);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.backup_folder, "Backup\\20030701-040640-2\\");
    EXPECT_TRUE(std::filesystem::exists(Home() / "Backup/20030701-040640-2/melody-0001.mld"));
    EXPECT_EQ(stores.melody.Count(), 1);
}

TEST_F(DuplicatesTest, NothingChangesWhenTheBackupCannotBeWrittenOrAnItemIsDamaged) {
    AddAddress("A", "", {"CELL:1"});
    AddAddress("A", "", {"CELL:2"});
    const auto groups = DuplicateFinder::Addresses(stores.address);
    ASSERT_EQ(groups.size(), 1u);
    const std::string before = Read("address.ini");
    seen.log.clear();

    fs::WriteFile("Backup", "a file where the folder should be");
    const auto out = DuplicateTidy(Refs()).Tidy(groups[0]);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, Sj("処理に失敗しました"));
    EXPECT_EQ(stores.address.Count(), 2);
    EXPECT_EQ(Read("address.ini"), before);
    EXPECT_EQ(ReadAddressEntry(stores.address.At(0)->path)->tels.size(), 1u);
    EXPECT_TRUE(seen.log.empty());

    // An entry that went bad after the scan: the merge is refused before any backup.
    fs::DeleteFile("Backup");
    fs::DeleteFile(stores.address.At(1)->path);
    const auto damaged = DuplicateTidy(Refs()).Tidy(groups[0]);
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(damaged.message, Sj("処理に失敗しました"));
    EXPECT_FALSE(std::filesystem::exists(Home() / "Backup"));
    EXPECT_EQ(stores.address.Count(), 2);

    // A melody whose file is gone: its backup fails, what was written is removed.
    AddMelody("x");
    const int lost = AddMelody("x");
    const auto songs = DuplicateFinder::Melodies(stores.melody);
    ASSERT_EQ(songs.size(), 1u);
    fs::DeleteFile(stores.melody.Find(lost)->path);
    EXPECT_FALSE(DuplicateTidy(Refs()).Tidy(songs[0]).ok);
    EXPECT_EQ(stores.melody.Count(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(Home() / "Backup"));
}

}  // namespace
}  // namespace sorvanto::test
