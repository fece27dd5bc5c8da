#include "editing/address_entry_rows.h"

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using Result = AddressEntryRows::AddResult;

class AddressEntryRowsTest : public test::TempHome {
protected:
    IniFile Entry(const std::string& body) {
        test::WriteFileBytes("entry", "[System]\r\n" + body);
        return IniFile("entry");
    }
    std::vector<int> Codes() const {
        std::vector<int> out;
        for (const auto& r : rows.Rows()) out.push_back(r.code);
        return out;
    }
    AddressEntryRows rows;
};

TEST_F(AddressEntryRowsTest, OpensRowsInFixedOrderWithTextAfterTheColon) {
    IniFile entry = Entry(
        "Name=N\r\nKana=K\r\nTelCnt=2\r\nTel0=CELL:0901\r\nTel1=nocolon\r\nMailCnt=1\r\n"
        "Mail0=INTERNET:a@b\r\nAdrNo=123-4567\r\nAdr=Tokyo\r\nNote=memo\r\n");
    rows.Load(entry);
    EXPECT_EQ(Codes(), (std::vector<int>{1, 2, 100, 101, 200, 4, 5, 3}));
    const auto& r = rows.Rows();
    EXPECT_EQ(r[2].text, "0901");
    EXPECT_EQ(r[2].label, sjis::Lit("電話1"));
    EXPECT_EQ(r[3].text, "");  // no ':' gives an empty number
    EXPECT_EQ(r[4].text, "a@b");
    EXPECT_EQ(r[4].label, sjis::Lit("メール1"));
    EXPECT_EQ(r[5].text, "1234567");
    EXPECT_EQ(r[5].label, sjis::Lit("〒"));
}

TEST_F(AddressEntryRowsTest, PhoneValidationOrderAndPlacement) {
    rows.Load(Entry("Name=N\r\nTelCnt=1\r\nTel0=CELL:111\r\n"));
    EXPECT_EQ(rows.AddPhone(""), Result::Ignored);
    EXPECT_EQ(rows.AddPhone("123-4567"), Result::InvalidChar);
    EXPECT_EQ(rows.AddPhone("12 -3"), Result::InvalidChar);  // invalid characters are tested first
    EXPECT_EQ(rows.AddPhone("12 3"), Result::Space);
    EXPECT_EQ(rows.AddPhone("\x82\x4F"), Result::InvalidChar);  // a double-byte digit
    EXPECT_EQ(rows.AddPhone("111"), Result::Duplicate);
    EXPECT_EQ(rows.AddPhone("*12#3,4.5"), Result::Added);
    // The new number lands just before the memo row, numbered after the last phone row.
    EXPECT_EQ(Codes(), (std::vector<int>{1, 2, 100, 4, 5, 101, 3}));
    EXPECT_EQ(rows.Rows()[5].label, sjis::Lit("電話2"));
    EXPECT_EQ(AddressEntryRows::Message(Result::Space), sjis::Lit("空白(スペース)は無効です"));
}

TEST_F(AddressEntryRowsTest, PhoneEqualToPostalCodeIsStillNew) {
    rows.Load(Entry("Name=N\r\nAdrNo=123-4567\r\n"));
    EXPECT_EQ(rows.AddPhone("1234567"), Result::Added);
}

TEST_F(AddressEntryRowsTest, MailRulesAndLimitOfOneHundred) {
    rows.Load(Entry("Name=N\r\n"));
    EXPECT_EQ(rows.AddMail("a b@c"), Result::Space);
    EXPECT_EQ(rows.AddMail("\x82\xA0@x"), Result::InvalidChar);
    EXPECT_EQ(rows.AddMail("\xB1\xB2@x"), Result::Added);  // half-width katakana bytes are allowed
    EXPECT_EQ(rows.AddMail("\xB1\xB2@x"), Result::Duplicate);
    for (int i = 1; i < 100; ++i) ASSERT_EQ(rows.AddMail("m" + std::to_string(i)), Result::Added) << i;
    EXPECT_EQ(rows.AddMail("one-too-many"), Result::TooMany);
    EXPECT_EQ(rows.Rows().back().code, AddressEntryRows::kMemo);
}

TEST_F(AddressEntryRowsTest, DeletingFirstOfThreeKeepsKindsAndIcons) {
    IniFile entry = Entry(
        "Name=N\r\nTelCnt=3\r\nTel0=CELL:1\r\nTelIcon0=0001\r\nTel1=HOME:2\r\nTelIcon1=0002\r\n"
        "Tel2=WORK:3\r\nTelIcon2=0003\r\nMailCnt=0\r\n");
    rows.Load(entry);
    rows.RemoveRow(rows.FindPhone("1"));
    ASSERT_EQ(rows.Write("entry", entry), AddressEntryRows::WriteResult::Written);
    IniFile out("entry");
    EXPECT_EQ(out.GetInt("System", "TelCnt"), 2);
    EXPECT_EQ(out.GetString("System", "Tel0"), "HOME:2");
    EXPECT_EQ(out.GetString("System", "TelIcon0"), "0002");
    EXPECT_EQ(out.GetString("System", "Tel1"), "WORK:3");
    EXPECT_EQ(out.GetString("System", "TelIcon1"), "0003");
    EXPECT_EQ(out.GetString("System", "Tel2"), "WORK:3");  // beyond the count, left as it was
}

TEST_F(AddressEntryRowsTest, ChangedValuesTakeTheEditorKindsAndDefaultIcons) {
    IniFile entry = Entry("Name=N\r\nTelCnt=1\r\nTel0=HOME:1\r\nMailCnt=1\r\nMail0=PREF:a@b\r\nMailIcon0=07\r\n");
    rows.Load(entry);
    rows.RemoveRow(rows.FindPhone("1"));
    ASSERT_EQ(rows.AddPhone("2"), Result::Added);
    rows.RemoveRow(rows.FindMail("a@b"));
    ASSERT_EQ(rows.AddMail("c@d"), Result::Added);
    ASSERT_EQ(rows.Write("entry", entry), AddressEntryRows::WriteResult::Written);
    IniFile out("entry");
    EXPECT_EQ(out.GetString("System", "Tel0"), "CELL:2");
    EXPECT_EQ(out.GetString("System", "TelIcon0"), "0000");
    // With no mail row left the new address takes index 0 again: a new value, but the icon
    // stored under that index stays.
    EXPECT_EQ(out.GetString("System", "Mail0"), "INTERNET:c@d");
    EXPECT_EQ(out.GetString("System", "MailIcon0"), "07");
}

TEST_F(AddressEntryRowsTest, PostalCodeAndNameRules) {
    rows.Load(IniFile("missing"));
    EXPECT_EQ(rows.Write("new", IniFile("missing")), AddressEntryRows::WriteResult::NameMissing);
    EXPECT_FALSE(std::filesystem::exists("new"));
    rows.SetText(AddressEntryRows::kName, "N");
    const std::string typed = AddressEntryRows::PostalDigits("123-4567");
    EXPECT_EQ(typed, "1234567");
    rows.SetText(AddressEntryRows::kPostalCode, typed);
    ASSERT_EQ(rows.Write("new", IniFile("missing")), AddressEntryRows::WriteResult::Written);
    IniFile out("new");
    EXPECT_EQ(out.GetString("System", "AdrNo"), "123-4567");
    EXPECT_EQ(out.GetInt("System", "TelCnt", -1), 0);
    EXPECT_EQ(out.GetInt("System", "MailCnt", -1), 0);
    rows.SetText(AddressEntryRows::kPostalCode, "12");
    ASSERT_EQ(rows.Write("new", IniFile("missing")), AddressEntryRows::WriteResult::Written);
    EXPECT_EQ(IniFile("new").GetString("System", "AdrNo"), "12");
}

TEST_F(AddressEntryRowsTest, UnwritableFileIsReportedNotIgnored) {
    rows.Load(Entry("Name=N\r\n"));
    EXPECT_EQ(rows.Write("no-such-folder/entry", IniFile("entry")), AddressEntryRows::WriteResult::Failed);
    EXPECT_EQ(AddressEntryRows::Message(AddressEntryRows::WriteResult::Failed), sjis::Lit("処理に失敗しました"));
}

TEST_F(AddressEntryRowsTest, HugeCountsFromAFileAreBounded) {
    rows.Load(Entry("Name=N\r\nTelCnt=99999\r\nMailCnt=-5\r\n"));
    EXPECT_EQ(rows.Rows().size(), 2u + 100u + 3u);
    EXPECT_EQ(rows.AddPhone("9"), Result::TooMany);
}

}  // namespace
}  // namespace sorvanto
