#include "editing/mail_window_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "common/sjis.h"
#include "editing/mail_draft.h"
#include "platform/clock.h"
#include "store/mail_store.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

TEST(MailWindowRulesTest, StatusChoosesMailboxAndRequestKind) {
    const auto in_read = MailSendChoiceOf(true, 1);
    const auto in_unread = MailSendChoiceOf(true, 0);
    const auto sent = MailSendChoiceOf(false, 1);
    const auto unsent = MailSendChoiceOf(false, 0);
    EXPECT_EQ(in_read.mailbox, 3);
    EXPECT_EQ(in_unread.mailbox, 1);
    EXPECT_EQ(in_read.request_kind, 10);
    EXPECT_EQ(in_unread.request_kind, 10);
    EXPECT_EQ(sent.mailbox, 0);
    EXPECT_EQ(sent.request_kind, 8);
    EXPECT_EQ(unsent.mailbox, 2);
    EXPECT_EQ(unsent.request_kind, 9);
    // Any nonzero Status counts as sent, as the handset's boxes are read.
    EXPECT_EQ(MailSendChoiceOf(false, 7).request_kind, 8);
    EXPECT_EQ(MailWindowMode(true), 0);
    EXPECT_EQ(MailWindowMode(false), 1);
}

TEST(MailWindowRulesTest, StoredTextsAreCutToTheRecordWithoutSplittingCharacters) {
    MailItem item;
    item.from_or_to = std::string(600, 'a');
    // 1038 single bytes then a double-byte character that would straddle the last byte.
    item.body = std::string(1038, 'b') + sjis::Lit("本") + "tail";
    item.subject = "s";
    item.attachment = 1;
    const MailRecord r = MailRecordOf(12, item);
    EXPECT_EQ(r.key, 12);
    EXPECT_EQ(r.attachment, 1);
    EXPECT_EQ(FieldText(r.address), std::string(600, 'a'));
    EXPECT_EQ(FieldText(r.body), std::string(1038, 'b'));
    EXPECT_EQ(FieldText(r.subject), "s");
}

// The reply request of a received mail opens a new composer with its prefill.
TEST(MailWindowRulesTest, ReplyPrefillOpensANewMailToTheSender) {
    MailRecord opened{};
    opened.key = 3;
    CopyField(opened.address, "friend@docomo.ne.jp");
    CopyField(opened.subject, sjis::Lit("こんにちは、元気ですか？今度"));  // 28 bytes
    CopyField(opened.body, "body");
    const MailRecord reply = MailDraft(opened).Reply();
    const MailRecord fresh = NewMailRecord(PrefillOf(reply));
    EXPECT_EQ(fresh.key, -1);
    EXPECT_EQ(fresh.attachment, 0);
    EXPECT_EQ(FieldText(fresh.address), "friend@docomo.ne.jp");
    // "Re:" + 28 bytes is cut to 30 without splitting the last character.
    EXPECT_EQ(FieldText(fresh.subject), "Re:" + sjis::Lit("こんにちは、元気ですか？今"));
    EXPECT_EQ(FieldText(fresh.body), "");
    const MailDraft draft(fresh);
    EXPECT_EQ(draft.WindowTitle(true), sjis::Lit("新規作成"));
}

class SentMailEditTest : public test::TempHome {
protected:
    void TearDown() override {
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
};

TEST_F(SentMailEditTest, EditingASentMailMakesItUnsent) {
    clock::SetForTesting([] { return std::int64_t{1100000000}; }, [] { return std::uint32_t{5}; });
    std::filesystem::create_directories("OutMail");
    WriteFileBytes("OutMail/4000000001", "\nfriend@docomo.ne.jp\nold\n1000000000\n0\nold body");
    WriteFileBytes("outmail.ini",
                   "[System]\r\nCount=1\r\nDir=OutMail\\\r\n[Item0]\r\nFile=OutMail\\4000000001\r\n"
                   "SetTime=0\r\nEntryTime=1000000000\r\nFlag=1\r\nStatus=1\r\n");
    MailStore store(Category::kOutMail);
    ASSERT_TRUE(store.Load());
    const int key = store.Keys().at(0);
    ASSERT_EQ(MailSendChoiceOf(false, store.Find(key)->status).request_kind, 8);

    MailDraft draft(MailRecordOf(key, *store.Find(key)));
    const auto finished = draft.Finish("friend@docomo.ne.jp", "new", "100% %d %s");
    ASSERT_TRUE(finished);
    ASSERT_TRUE(store.SaveComposed(*finished));

    const MailItem* item = store.Find(key);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->status, 0);
    const auto choice = MailSendChoiceOf(false, item->status);
    EXPECT_EQ(choice.request_kind, 9);
    EXPECT_EQ(choice.mailbox, 2);
    EXPECT_EQ(ReadFileBytes("OutMail/4000000001"), "\nfriend@docomo.ne.jp\nnew\n1100000000\n0\n100% %d %s");
    // The index follows at once.
    EXPECT_NE(ReadFileBytes("outmail.ini").find("Status=0"), std::string::npos);
}

TEST_F(SentMailEditTest, NewComposedMailIsRegisteredUnsentFromThePc) {
    clock::SetForTesting([] { return std::int64_t{1100000000}; }, [] { return std::uint32_t{9}; });
    MailStore store(Category::kOutMail);
    ASSERT_TRUE(store.Load());
    MailDraft draft(NewMailRecord({}));
    const auto finished = draft.Finish("a@b.jp", "hi", "%s");
    ASSERT_TRUE(finished);
    ASSERT_TRUE(store.SaveComposed(*finished));
    ASSERT_EQ(store.Count(), 1);
    const MailItem* item = store.At(0);
    EXPECT_EQ(item->status, 0);
    EXPECT_EQ(item->flag, 0);
    EXPECT_EQ(ReadFileBytes(fs::NativePath(item->path)), "\na@b.jp\nhi\n1100000000\n0\n%s");
    EXPECT_FALSE(std::filesystem::exists("mail.tmp"));
}

}  // namespace
}  // namespace sorvanto
