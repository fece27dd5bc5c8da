// A stored sent mail opened in the composer and finished goes back into its mail file through
// the same core steps the mail window takes: the list's record, the draft's split and "完了",
// and the store's rewrite.
#include <gtest/gtest.h>

#include "common/sjis.h"
#include "editing/mail_draft.h"
#include "editing/mail_window_rules.h"
#include "formats/base64.h"
#include "platform/clock.h"
#include "store/mail_store.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

constexpr std::int64_t kStoredDate = 1073001907;

std::string Melody(const std::string& title, std::size_t total) {
    std::string m = "melo" + std::string(4, '\0') + "titl";
    m.push_back(static_cast<char>(title.size() >> 8));
    m.push_back(static_cast<char>(title.size() & 0xFF));
    m += title;
    m.resize(total, '\x11');
    return m;
}

class StoredMailRoundTripTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        // The rewrite dates the mail "now"; now is the stored date, so an unchanged mail is the
        // same file.
        clock::SetForTesting([] { return kStoredDate; }, {});
    }
    void TearDown() override {
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
    // One sent mail in "OutMail\M" with these bytes after its header lines.
    void StoreSentMail(const std::string& body, int attachment) {
        test::WriteFileBytes(Home() / "outmail.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=OutMail\\M\r\n");
        std::filesystem::create_directories(Home() / "OutMail");
        test::WriteFileBytes(Home() / "OutMail" / "M", "\nhanako@docomo.ne.jp\n" + sjis::Lit("件名") + "\n" +
                                                           std::to_string(kStoredDate) + "\n" +
                                                           std::to_string(attachment) + "\n" + body);
    }
    std::string MailFile() const { return test::ReadFileBytes(Home() / "OutMail" / "M"); }
    // What the mail window does with a stored item: open it, finish it without an edit, store it.
    static MailDraft OpenItem(const MailStore& store) { return MailDraft(MailRecordOf(0, *store.At(0))); }
    static bool FinishUnchanged(MailStore& store, const MailDraft& draft) {
        const auto record = draft.Finish(draft.Address(), draft.Subject(), draft.Body());
        return record && store.SaveComposed(*record);
    }
};

TEST_F(StoredMailRoundTripTest, FinishingWithoutAnEditLeavesTheFileAsItWas) {
    const std::string b64 = base64::Encode(Melody("Song", 300), 1024);
    const std::string text = sjis::Lit("この曲どう？") + "\r\n" + sjis::Lit("二行目");
    struct Case {
        std::string body;
        int attachment;
        std::string shown;  // the body text the composer shows
    } cases[] = {
        {text + "\r\n--B:M\r\n" + b64, 1, text},
        {"--B:M\r\n" + b64, 1, ""},
        {text + "\r\n", 0, text + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        StoreSentMail(c.body, c.attachment);
        const std::string before = MailFile();
        MailStore store(Category::kOutMail);
        ASSERT_TRUE(store.Load());
        const MailDraft draft = OpenItem(store);
        EXPECT_EQ(draft.Body(), c.shown);
        EXPECT_EQ(draft.Attached(), c.attachment == 1);
        if (c.attachment) {
            EXPECT_EQ(draft.AttachmentTitle(), "Song");
        }
        ASSERT_TRUE(FinishUnchanged(store, draft));
        EXPECT_EQ(MailFile(), before);
        EXPECT_EQ(store.At(0)->attachment, c.attachment);
    }
}

TEST_F(StoredMailRoundTripTest, BodyWithBareLineFeedsStillFindsItsMelody) {
    // Written so by earlier builds after an edit: no CR anywhere in the body.
    const std::string b64 = base64::Encode(Melody("Old", 120), 1024);
    for (const std::string& body : {"one\ntwo\n--B:M\n" + b64, "--B:M\n" + b64}) {
        SCOPED_TRACE(body.substr(0, 8));
        StoreSentMail(body, 1);
        MailStore store(Category::kOutMail);
        ASSERT_TRUE(store.Load());
        const MailDraft draft = OpenItem(store);
        ASSERT_TRUE(draft.Attached());
        EXPECT_EQ(draft.AttachmentTitle(), "Old");
        EXPECT_EQ(draft.AttachmentText(), b64);
        EXPECT_EQ(draft.Body(), body[0] == 'o' ? "one\ntwo" : "");
        // Finishing keeps the melody; the boundary is written the usual way.
        ASSERT_TRUE(FinishUnchanged(store, draft));
        EXPECT_EQ(store.At(0)->attachment, 1);
        EXPECT_NE(MailFile().find("--B:M\r\n" + b64), std::string::npos);
    }
}

TEST_F(StoredMailRoundTripTest, NewMailWithOnlyAMelodyComesBackWithItsMelody) {
    test::WriteFileBytes(Home() / "outmail.ini", "[System]\r\nCount=0\r\n");
    MailStore store(Category::kOutMail);
    ASSERT_TRUE(store.Load());
    const std::string tune = Melody("Tune", 300);
    MailDraft fresh(NewMailRecord({"a@b.jp", "", ""}));
    ASSERT_EQ(fresh.ChooseMelody(tune, "Tune", 0), MailDraft::ChooseResult::Attached);
    const auto record = fresh.Finish("a@b.jp", "", "");
    ASSERT_TRUE(record);
    ASSERT_TRUE(store.SaveComposed(*record));
    ASSERT_EQ(store.Count(), 1);

    MailStore reloaded(Category::kOutMail);
    ASSERT_TRUE(store.Close());
    ASSERT_TRUE(reloaded.Load());
    const MailDraft again = OpenItem(reloaded);
    EXPECT_EQ(again.Body(), "");
    ASSERT_TRUE(again.Attached());
    EXPECT_EQ(again.AttachmentTitle(), "Tune");
    EXPECT_EQ(again.AttachmentBytes(), tune);
}

}  // namespace
}  // namespace sorvanto
