#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "common/window_requests.h"
#include "formats/address_send_job.h"
#include "formats/bookmark_send_job.h"
#include "formats/camera_picture_send_job.h"
#include "formats/mail_send_job.h"
#include "formats/melody_send_job.h"
#include "formats/send_request_table.h"
#include "formats/send_runner.h"
#include "formats/standby_picture_send_job.h"
#include "irlink/cancel_flag_monitor.h"
#include "platform/fs.h"
#include "platform/scripted_link.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using Step = ScriptedLink::Step;
using test::DataPath;
using test::ReadFileBytes;

std::string Input(const std::string& name) { return DataPath("send/input/" + name).string(); }

std::string Packet(int code, const std::string& body = {}) {
    const int n = static_cast<int>(body.size()) + 3;
    return std::string{static_cast<char>(code), static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)} + body;
}

// What the far end saw, kept apart from the link so that it outlives the job.
struct Received {
    std::vector<std::string> connects;
    std::string name;
    std::string body;
    bool got_end_of_body = false;
    bool disconnected = false;
};

// A handset on the scripted link: answers CONNECT, PUT and DISCONNECT, collects the object.
struct FakeHandset {
    std::shared_ptr<Received> seen = std::make_shared<Received>();
    bool devices = true;
    int last_put_answer = 0xA0;

    std::vector<Step> Answer(const std::string& packet) const {
        const auto op = static_cast<unsigned char>(packet[0]);
        if (op == 0x80) {
            seen->connects.push_back(packet);
            return {ScriptedLink::Data(Packet(0xA0, std::string("\x10\x00\x02\x00", 4)))};
        }
        if (op == 0x81) {
            seen->disconnected = true;
            return {ScriptedLink::Data(Packet(0xA0))};
        }
        ReadHeaders(packet);
        return {ScriptedLink::Data(Packet(op == 0x82 ? last_put_answer : 0x90))};
    }

    void ReadHeaders(const std::string& p) const {
        std::size_t at = 3;
        while (at + 3 <= p.size()) {
            const auto id = static_cast<unsigned char>(p[at]);
            if (id == 0xC3) {
                at += 5;
                continue;
            }
            const std::size_t len = static_cast<unsigned char>(p[at + 1]) << 8 | static_cast<unsigned char>(p[at + 2]);
            if (len < 3 || at + len > p.size()) return;
            const std::string value = p.substr(at + 3, len - 3);
            if (id == 0x01)
                for (std::size_t i = 1; i + 2 < value.size(); i += 2) seen->name += value[i];
            if (id == 0x48) seen->body += value;
            if (id == 0x49) seen->got_end_of_body = true;
            at += len;
        }
    }

    std::unique_ptr<LinkApi> MakeLink() const {
        auto link = std::make_unique<ScriptedLink>();
        if (devices) link->SetDevices({{{127, 0, 0, 1}, "Handset"}});
        FakeHandset self = *this;
        link->SetConnect(ScriptedLink::ConnectOutcome::kAccept,
                         {{}, [self](const std::string& sent) { return self.Answer(sent); }});
        return link;
    }
};

SendRequest Request(int kind, const std::string& title, const std::string& file, const std::string& name) {
    SendRequest r{};
    r.kind = kind;
    CopyField(r.title, title);
    CopyField(r.local_path, file);
    CopyField(r.object_name, name);
    return r;
}

class SendRunTest : public test::TempHome {
protected:
    SendRunner::Outcome Run(const SendRequest& request, int model, const FakeHandset& handset,
                            bool cancelled = false) {
        SendRunner runner(model, [&handset] { return handset.MakeLink(); });
        CancelFlagMonitor monitor(std::chrono::seconds(10));
        return runner.Run(request, monitor, [cancelled] { return cancelled; });
    }
    static std::string Sent(const std::string& label) { return label + sjis::Lit("を送信しました (Handset)"); }
};

TEST_F(SendRunTest, EveryKindPutsTheBuiltBytesUnderTheBuiltName) {
    struct Case {
        int kind;
        int model;
        std::function<int(std::string&)> build;  // builds into the kind's file, gives the name
    };
    const std::string title = "t";
    const Case cases[] = {
        {1, 2, [](std::string& n) { return AddressSendJob(2, 0).BuildAddress(Input("full.adr"), ".\\saddr.tmp", n); }},
        {4, 1, [](std::string& n) { return MelodySendJob(1).BuildMelody(Input("melody10k.mld"), "m", ".\\smld.tmp", n); }},
        {5, 1,
         [](std::string& n) {
             return StandbyPictureSendJob(1).BuildStandbyPicture(Input("standby16.bmp"), "p", 0, 0, ".\\smga.tmp", n);
         }},
        {7, 8, [](std::string& n) { return BookmarkSendJob(8, 0).BuildBookmark("b", "http://x/", ".\\sbmk.tmp", n); }},
        {8, 4, [](std::string& n) { return MailSendJob(4, 0, 0).BuildMail("", "to", "s", "b", 0, ".\\somail.tmp", n); }},
        {9, 0, [](std::string& n) { return MailSendJob(0, 2, 0).BuildMail("", "to", "s", "b", 0, ".\\somail.tmp", n); }},
        {10, 7, [](std::string& n) { return MailSendJob(7, 1, 0).BuildMail("fr", "", "s", "b", 0, ".\\simail.tmp", n); }},
        {11, 8,
         [](std::string& n) {
             return CameraPictureSendJob(8).BuildCameraPicture(Input("picture.jpg"), "c", 1, 2, 3, 1, ".\\spic.tmp", n);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto entry = SendRequestTable::Find(c.kind);
        ASSERT_TRUE(entry);
        std::string name;
        ASSERT_EQ(c.build(name), 1);
        const std::string built = ReadFileBytes(fs::NativePath(entry->object_file));
        FakeHandset handset;
        const auto outcome = Run(Request(c.kind, entry->label, entry->object_file, name), c.model, handset);
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(outcome.log_line.value_or(""), Sent(entry->label));
        EXPECT_EQ(handset.seen->name, name);
        EXPECT_EQ(handset.seen->body, built);
        EXPECT_TRUE(handset.seen->got_end_of_body);
        EXPECT_TRUE(handset.seen->disconnected);
        ASSERT_EQ(handset.seen->connects.size(), 1u);
        EXPECT_EQ(handset.seen->connects[0].size(), 7u);  // no challenge for a single item
        EXPECT_FALSE(fs::Exists(entry->object_file));
    }
}

TEST_F(SendRunTest, WholeBookChallengesTheHandset) {
    AddressSendJob job(2, 0);
    std::string name;
    ASSERT_EQ(job.BuildAddress(Input("full.adr"), ".\\saddr.tmp", name), 1);
    ASSERT_EQ(job.AddToCollection(0, ".\\saddr.tmp", ".\\saddr_all.tmp", name), 1);
    const std::string built = ReadFileBytes(Home() / "saddr_all.tmp");
    FakeHandset handset;
    const auto entry = SendRequestTable::Find(101);
    const auto outcome = Run(Request(101, entry->label, ".\\saddr_all.tmp", name), 2, handset);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.log_line.value_or(""), Sent(sjis::Lit("アドレス帳(複数件送信)")));
    ASSERT_EQ(handset.seen->connects.size(), 1u);
    EXPECT_EQ(handset.seen->connects[0].size(), 28u);
    EXPECT_EQ(static_cast<unsigned char>(handset.seen->connects[0][7]), 0x4D);
    EXPECT_EQ(handset.seen->name, "telecom/pb.vcf");
    EXPECT_EQ(handset.seen->body, built);
}

TEST_F(SendRunTest, FailuresGiveTheirLinesAndTheFileIsGoneEveryTime) {
    const std::string file = ".\\sbmk.tmp";
    auto prepare = [&] { test::WriteFileBytes(Home() / "sbmk.tmp", "BEGIN:VBKM\r\nEND:VBKM\r\n"); };

    prepare();
    FakeHandset nobody;
    nobody.devices = false;
    auto outcome = Run(Request(7, "b", file, "bm.url"), 1, nobody);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.log_line.value_or(""), sjis::Lit("ターゲットが範囲内に確認できません"));
    EXPECT_FALSE(fs::Exists(file));

    for (bool cancelled : {false, true}) {
        prepare();
        FakeHandset refusing;
        refusing.last_put_answer = 0xC3;
        outcome = Run(Request(7, "b", file, "bm.url"), 1, refusing, cancelled);
        EXPECT_EQ(outcome.result, -3);
        EXPECT_EQ(outcome.log_line.value_or(""),
                  sjis::Lit(cancelled ? "送信に失敗しました(キャンセル要求)" : "送信に失敗しました"));
        EXPECT_FALSE(refusing.seen->disconnected);
        EXPECT_FALSE(fs::Exists(file));
    }

    // The built file is missing: the job cannot open it.
    FakeHandset handset;
    outcome = Run(Request(7, "b", file, "bm.url"), 1, handset);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_TRUE(handset.seen->connects.empty());

    // A kind no job serves sends nothing and logs nothing.
    prepare();
    outcome = Run(Request(3, "b", file, "bm.url"), 1, handset);
    EXPECT_FALSE(outcome.log_line);
    EXPECT_TRUE(handset.seen->connects.empty());
    EXPECT_FALSE(fs::Exists(file));
}

TEST_F(SendRunTest, JobsFallBackToTheirDefaultFileAndTableName) {
    struct Case {
        std::unique_ptr<ObexPutClient> job;
        const char* file;
        const char* name;
    };
    FakeHandset handset;
    std::vector<Case> cases;
    cases.push_back({std::make_unique<MailSendJob>(4, 2, 0, handset.MakeLink()), "smail.tmp", "sentmsg.vmg"});
    cases.push_back({std::make_unique<MailSendJob>(1, 2, 0, handset.MakeLink()), "smail.tmp", "outmsg.vmg"});
    cases.push_back({std::make_unique<AddressSendJob>(1, 0, handset.MakeLink()), "saddr.tmp", "pb.vcf"});
    cases.push_back({std::make_unique<StandbyPictureSendJob>(7, handset.MakeLink()), "sscln.txt", "nec_img.vnt"});
    cases.push_back({std::make_unique<MelodySendJob>(4, handset.MakeLink()), "smld.tmp", "mld.vnt"});
    cases.push_back({std::make_unique<CameraPictureSendJob>(0, handset.MakeLink()), "mypic.txt", "mypic.vnt"});
    cases.push_back({std::make_unique<BookmarkSendJob>(7, 0, handset.MakeLink()), "sbmk.tmp", ".url"});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(Home() / c.file, std::string("object ") + c.file);
        handset.seen->name.clear();
        handset.seen->body.clear();
        CancelFlagMonitor monitor(std::chrono::seconds(10));
        EXPECT_EQ(c.job->SendObject(nullptr, nullptr, &monitor), 0);
        EXPECT_EQ(handset.seen->name, c.name);
        EXPECT_EQ(handset.seen->body, std::string("object ") + c.file);
    }
}

TEST(SendRequestTableTest, LogLinesTakeTitlesLiterally) {
    const auto line = SendRequestTable::ResultLine(0, false, "100%s", "N%d");
    EXPECT_EQ(line.value_or(""), "100%s" + sjis::Lit("を送信しました (") + "N%d)");
    EXPECT_FALSE(SendRequestTable::ResultLine(-4, false, "t", "d"));
    EXPECT_FALSE(SendRequestTable::CreateJob(2, 1));
}

}  // namespace
}  // namespace sorvanto
