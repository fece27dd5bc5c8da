#include "editing/mail_draft.h"

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "formats/base64.h"

namespace sorvanto {
namespace {

MailRecord Record(int key, const std::string& address, const std::string& subject, const std::string& body,
                  int attachment) {
    MailRecord r{};
    r.key = key;
    r.attachment = attachment;
    CopyField(r.address, address);
    CopyField(r.subject, subject);
    CopyField(r.body, body);
    return r;
}

std::string Melody(const std::string& title, std::size_t total) {
    std::string m = "melo";
    m += std::string(4, '\0');
    m += "titl";
    m.push_back(static_cast<char>(title.size() >> 8));
    m.push_back(static_cast<char>(title.size() & 0xFF));
    m += title;
    m.resize(total, '\x11');
    return m;
}

TEST(MailDraftTest, AttachmentWithBodySplitsAtFirstAndLastBoundary) {
    const std::string b64 = base64::Encode(Melody("Song", 60), 1024);
    MailDraft d(Record(4, "a@b", "s", "hello\r\n--B:M\r\nmid\r\n--B:M\r\n" + b64, 1));
    EXPECT_EQ(d.Body(), "hello");
    EXPECT_TRUE(d.Attached());
    EXPECT_EQ(d.AttachmentText(), b64);
    EXPECT_EQ(d.AttachmentTitle(), "Song");
    EXPECT_EQ(d.BodyLimit(), 491 - b64.size());
    EXPECT_EQ(d.AttachmentBytes(), Melody("Song", 60));
}

TEST(MailDraftTest, EmptyBodyWithAttachmentRoundTrips) {
    MailDraft fresh(Record(-1, "", "", "", 0));
    ASSERT_EQ(fresh.ChooseMelody(Melody("T", 30), "T", 0), MailDraft::ChooseResult::Attached);
    auto rec = fresh.Finish("x@y", "", "");
    ASSERT_TRUE(rec);
    const std::string body = FieldText(rec->body);
    EXPECT_EQ(body.rfind("--B:M\r\n", 0), 0u);
    EXPECT_EQ(rec->attachment, 1);
    MailDraft again(*rec);
    EXPECT_EQ(again.Body(), "");
    EXPECT_EQ(again.AttachmentTitle(), "T");
    EXPECT_EQ(again.AttachmentText(), fresh.AttachmentText());
}

TEST(MailDraftTest, SizeTestAndLimitFollowTheAttachment) {
    MailDraft d(Record(-1, "", "", "", 0));
    EXPECT_EQ(d.BodyLimit(), 500u);
    // 300 bytes encode to 400 characters: 5 + 9 + 400 = 414 fits, the body limit becomes 91.
    ASSERT_EQ(d.ChooseMelody(std::string(300, 'm'), "M", 5), MailDraft::ChooseResult::Attached);
    EXPECT_EQ(d.AttachmentText().size(), 400u);
    EXPECT_EQ(d.BodyLimit(), 91u);
    EXPECT_EQ(d.CounterText(5), "5/91 " + sjis::Lit("文字"));
    // 369 bytes encode to 492 characters: 9 + 492 > 500 with a body, 7 + 492 fits without.
    MailDraft big(Record(-1, "", "", "", 0));
    EXPECT_EQ(big.ChooseMelody(std::string(369, 'm'), "M", 1), MailDraft::ChooseResult::TooLarge);
    EXPECT_FALSE(big.Attached());
    EXPECT_EQ(big.ChooseMelody(std::string(369, 'm'), "M", 0), MailDraft::ChooseResult::Attached);
    big.DropAttachment();
    EXPECT_EQ(big.BodyLimit(), 500u);
}

TEST(MailDraftTest, UnreadableMelodyAttachesNothingButKeepsTheChoice) {
    MailDraft d(Record(-1, "", "", "", 0));
    ASSERT_EQ(d.ChooseMelody(std::nullopt, "Lost", 3), MailDraft::ChooseResult::Attached);
    EXPECT_TRUE(d.Attached());
    EXPECT_EQ(d.BodyLimit(), 491u);
    auto rec = d.Finish("", "", "abc");
    ASSERT_TRUE(rec);
    EXPECT_EQ(FieldText(rec->body), "abc");
    EXPECT_EQ(rec->attachment, 0);
}

TEST(MailDraftTest, BoundaryMissingOrAttachmentTooLongShowsTheBodyWhole) {
    MailDraft none(Record(1, "", "", "just text", 1));
    EXPECT_FALSE(none.Attached());
    EXPECT_EQ(none.Body(), "just text");
    const std::string body = "t\r\n--B:M\r\n" + std::string(1024, 'Q');
    MailDraft too_long(Record(1, "", "", body, 1));
    EXPECT_FALSE(too_long.Attached());
    EXPECT_EQ(too_long.Body(), body);
}

TEST(MailDraftTest, FinishKeepsTextAndKeyAndRefusesAnEmptyMail) {
    MailDraft d(Record(7, "", "", "", 0));
    EXPECT_FALSE(d.Finish("", "", ""));
    auto rec = d.Finish("a@b", "%s%d", "100% sure %d");
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->key, 7);
    EXPECT_EQ(FieldText(rec->subject), "%s%d");
    EXPECT_EQ(FieldText(rec->body), "100% sure %d");
    EXPECT_EQ(d.WindowTitle(true), sjis::Lit("修正"));
    EXPECT_EQ(MailDraft(Record(-1, "", "", "", 0)).WindowTitle(true), sjis::Lit("新規作成"));
    EXPECT_EQ(d.WindowTitle(false), sjis::Lit("参照"));
}

TEST(MailDraftTest, ReplyPrefixesAndCutsTheSubject) {
    const std::string subject30 = "abcdefghijklmnopqrstuvwxyz0123";
    MailDraft d(Record(3, "to@x", subject30, "body", 0));
    MailRecord r = d.Reply();
    EXPECT_EQ(r.key, -1);
    EXPECT_EQ(FieldText(r.address), "to@x");
    EXPECT_EQ(FieldText(r.subject), "Re:" + subject30.substr(0, 27));
    EXPECT_EQ(FieldText(r.body), "");
    EXPECT_EQ(r.attachment, 0);
    // A double-byte character across the 30-byte limit is not split.
    MailDraft j(Record(3, "", std::string(26, 'a') + "\x83\x81", "", 0));
    EXPECT_EQ(FieldText(j.Reply().subject), "Re:" + std::string(26, 'a'));
}

TEST(MailDraftTest, LongAddressLinesAreCutAtTheLastSeparator) {
    std::string line;
    while (line.size() < 300) line += "abcdefghi@docomo.ne.jp;";
    bool cut = false;
    const std::string out = CutAddressLine(line, &cut);
    EXPECT_TRUE(cut);
    EXPECT_LT(out.size(), 256u);
    EXPECT_EQ(line.compare(0, out.size(), out), 0);
    EXPECT_EQ(line[out.size()], ';');
    EXPECT_EQ(line.substr(0, 256).rfind(';'), out.size());
    EXPECT_EQ(CutAddressLine(std::string(300, 'x'), &cut).size(), 255u);
    EXPECT_EQ(CutAddressLine("short", &cut), "short");
    EXPECT_FALSE(cut);
}

}  // namespace
}  // namespace sorvanto
