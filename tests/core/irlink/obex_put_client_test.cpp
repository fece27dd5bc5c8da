#include "irlink/obex_put_client.h"

#include <gtest/gtest.h>

#include <cstring>

#include "irlink/cancel_flag_monitor.h"
#include "link_test_util.h"
#include "platform/scripted_link.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::Bytes;
using test::Packet;
using Step = ScriptedLink::Step;

// The smallest send job: a given file under a given name.
class FileJob : public ObexPutClient {
public:
    FileJob(int model, int challenge, ScriptedLink* link) : ObexPutClient(model, challenge, std::unique_ptr<LinkApi>(link)) {}
    int SendObject(const std::string* path, const std::string* name, TransferMonitor* monitor) override {
        if (!name || !SetObjectName(*name)) return -1;
        if (!path || !OpenObjectFile(*path)) return -1;
        return Transfer(monitor);
    }
};

// A handset that answers every request as it should; codes can be overridden per request.
struct FakeHandset {
    std::map<int, int> override_code;  // request index -> response code
    bool challenge = false;
    int count = 0;
    std::vector<Step> operator()(const std::string& req) {
        const int index = count++;
        int code = 0xA0;
        std::string body;
        const auto op = static_cast<unsigned char>(req[0]);
        if (op == 0x02) code = 0x90;
        if (op == 0x80) {
            body = Bytes({0x10, 0x00, 0x04, 0x00});
            if (challenge && (req.size() < 8 || static_cast<unsigned char>(req[7]) != 0x4E)) {
                code = 0xC1;
                body = Bytes({0x11, 0x00, 0x01, 0x00, 0x4D, 0x00, 0x15, 0x00, 0x10}) + "0123456789abcdef";
            }
        }
        if (override_code.count(index)) code = override_code[index];
        return {ScriptedLink::Data(Packet(code, body))};
    }
};

class ObexPutClientTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        NewLink();
    }
    // The link for a job the test makes itself (the job owns it from then on).
    ScriptedLink* TakeLink() { return spare_.release(); }
    // A fresh link, kept here until a send hands it to its job.
    void NewLink() {
        spare_ = std::make_unique<ScriptedLink>();
        link = spare_.get();
        link->SetDevices({{{127, 0, 0, 1}, "Handset"}});
    }
    int Send(int model, int challenge, const std::string& content, const std::string& name, FakeHandset handset = {}) {
        test::WriteFileBytes(Home() / "obj.bin", content);
        link->SetConnect(ScriptedLink::ConnectOutcome::kAccept, {{}, handset});
        // The job owns the link; it is kept until the next send so that the link can be read.
        if (!spare_) NewLink();
        job_ = std::make_unique<FileJob>(model, challenge, spare_.release());
        CancelFlagMonitor monitor(std::chrono::seconds(5));
        const std::string path = "obj.bin";
        return job_->SendObject(&path, &name, &monitor);
    }
    void TearDown() override {
        job_.reset();
        spare_.reset();
        TempHome::TearDown();
    }
    std::vector<std::string> Sent() { return link->Sent(0); }
    ScriptedLink* link;
    std::unique_ptr<ScriptedLink> spare_;
    std::unique_ptr<FileJob> job_;
};

TEST_F(ObexPutClientTest, ThousandBytePhoneBookGoesInFourPuts) {
    std::string content;
    for (int i = 0; i < 1000; ++i) content.push_back(static_cast<char>('a' + i % 26));
    ASSERT_EQ(Send(0, 0, content, "telecom/pb.vcf"), 0);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[0], Bytes({0x80, 0x00, 0x07, 0x12, 0x00, 0x02, 0x00}));
    const std::string& first = sent[1];
    ASSERT_EQ(first.size(), 512u);
    std::string name_header = Bytes({0x02, 0x02, 0x00, 0x01, 0x00, 0x21});
    for (char c : std::string("telecom/pb.vcf")) name_header += std::string(1, '\0') + c;
    name_header += Bytes({0, 0, 0xC3, 0, 0, 0x03, 0xE8, 0x48, 0x01, 0xD7});
    EXPECT_EQ(first.substr(0, 44), name_header);
    EXPECT_EQ(first.substr(44), content.substr(0, 468));
    EXPECT_EQ(sent[2], Bytes({0x02, 0x02, 0x00, 0x48, 0x01, 0xFD}) + content.substr(468, 506));
    EXPECT_EQ(sent[3], Bytes({0x02, 0x00, 0x20, 0x48, 0x00, 0x1D}) + content.substr(974));
    EXPECT_EQ(sent[4], Bytes({0x82, 0x00, 0x06, 0x49, 0x00, 0x03}));
    EXPECT_EQ(sent[5], Bytes({0x81, 0x00, 0x03}));
}

TEST_F(ObexPutClientTest, VersionByteFollowsTheModel) {
    for (int model : {0, 1, 2, 4, 7, 8}) {
        if (job_) {
            job_.reset();
            NewLink();
        }
        ASSERT_EQ(Send(model, 0, "x", "a.txt"), 0);
        const int expected = (model == 0 || model == 1) ? 0x12 : 0x10;
        EXPECT_EQ(Sent()[0], Bytes({0x80, 0x00, 0x07, expected, 0x00, 0x02, 0x00})) << model;
    }
}

TEST_F(ObexPutClientTest, EmptyFileSendsTheNameAloneThenTheEmptyLastPut) {
    ASSERT_EQ(Send(2, 0, "", "a.vcf"), 0);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1], Bytes({0x02, 0x00, 0x12, 0x01, 0x00, 0x0F, 0, 'a', 0, '.', 0, 'v', 0, 'c', 0, 'f', 0, 0}));
    EXPECT_EQ(sent[2], Bytes({0x82, 0x00, 0x06, 0x49, 0x00, 0x03}));
}

TEST_F(ObexPutClientTest, ChallengeRoundTrip) {
    FakeHandset handset;
    handset.challenge = true;
    ASSERT_EQ(Send(2, 1, "data", "n.vcf", handset), 0);
    const auto sent = Sent();
    ASSERT_GE(sent.size(), 2u);
    const Md5::Digest empty = Md5::Of("", 0);
    EXPECT_EQ(sent[0], Bytes({0x80, 0x00, 0x1C, 0x10, 0x00, 0x02, 0x00, 0x4D, 0x00, 0x15, 0x00, 0x10}) +
                           std::string(reinterpret_cast<const char*>(empty.data()), 16));
    const Md5::Digest digest = Md5::Of(std::string("0123456789abcdef:0000"));
    // The second CONNECT keeps the handset's version, flags and packet size.
    EXPECT_EQ(sent[1], Bytes({0x80, 0x00, 0x1C, 0x11, 0x00, 0x01, 0x00, 0x4E, 0x00, 0x15, 0x00, 0x10}) +
                           std::string(reinterpret_cast<const char*>(digest.data()), 16));
    EXPECT_EQ(static_cast<unsigned char>(sent[2][0]), 0x02);
}

TEST_F(ObexPutClientTest, ChallengeNonceIsFoundBehindOtherTags) {
    const std::string response = Packet(0xC1, Bytes({0x10, 0, 2, 0, 0x4D, 0x00, 0x18, 0x01, 0x01, 0x00, 0x00, 0x10}) + "NNNNNNNNNNNNNNNN");
    std::uint8_t nonce[16];
    ASSERT_TRUE(ObexPutClient::FindChallengeNonce(reinterpret_cast<const std::uint8_t*>(response.data()),
                                                  static_cast<int>(response.size()), nonce));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(nonce), 16), "NNNNNNNNNNNNNNNN");
    // Truncated tag or no challenge at all: nothing is read past the packet.
    const std::string cut = response.substr(0, 20);
    EXPECT_FALSE(ObexPutClient::FindChallengeNonce(reinterpret_cast<const std::uint8_t*>(cut.data()), 20, nonce));
    const std::string none = Packet(0xC1, Bytes({0x10, 0, 2, 0}));
    EXPECT_FALSE(ObexPutClient::FindChallengeNonce(reinterpret_cast<const std::uint8_t*>(none.data()), 7, nonce));
}

TEST_F(ObexPutClientTest, UnexpectedAnswersGiveMinusThree) {
    // Forbidden to the CONNECT, an error to the second PUT, an error to the last PUT.
    for (int failing : {0, 2, 3}) {
        if (job_) {
            job_.reset();
            NewLink();
        }
        FakeHandset handset;
        handset.override_code[failing] = 0xC3;
        EXPECT_EQ(Send(2, 0, std::string(600, 'z'), "a.vcf", handset), -3) << failing;
        for (const auto& p : Sent()) EXPECT_NE(static_cast<unsigned char>(p[0]), 0x81) << failing;  // no DISCONNECT
    }
}

TEST_F(ObexPutClientTest, NoHandsetOrNoConnectionGivesMinusOne) {
    link->SetDevices({});
    EXPECT_EQ(Send(2, 0, "x", "a.vcf"), -1);
    job_.reset();
    NewLink();
    link->SetConnect(ScriptedLink::ConnectOutcome::kRefuse);
    FileJob job(2, 0, TakeLink());
    test::WriteFileBytes(Home() / "f", "x");
    const std::string path = "f", name = "a.vcf";
    EXPECT_EQ(job.SendObject(&path, &name, nullptr), -1);
}

TEST_F(ObexPutClientTest, SilentHandsetIsLeftByTheMonitorWithMinusThree) {
    FakeHandset handset;
    link->SetConnect(ScriptedLink::ConnectOutcome::kAccept, {{}, [](const std::string&) { return std::vector<Step>{}; }});
    FileJob job(2, 0, TakeLink());
    test::WriteFileBytes(Home() / "f", "x");
    const std::string path = "f", name = "a.vcf";
    CancelFlagMonitor monitor(std::chrono::milliseconds(300));
    EXPECT_EQ(job.SendObject(&path, &name, &monitor), -3);
}

TEST_F(ObexPutClientTest, OverlongNameOrMissingFileIsRefusedBeforeConnecting) {
    FileJob job(2, 0, TakeLink());
    test::WriteFileBytes(Home() / "f", "x");
    const std::string path = "f", missing = "nope", ok = std::string(31, 'n'), too_long = std::string(32, 'n');
    EXPECT_EQ(job.SendObject(&path, &too_long, nullptr), -1);
    EXPECT_EQ(job.SendObject(&missing, &ok, nullptr), -1);
    EXPECT_EQ(link->Connections(), 0);
}

TEST_F(ObexPutClientTest, PasscodeComesFromTheSettings) {
    test::WriteFileBytes(Home() / "Sorvanto.ini", "[Link]\r\nPasscode=4321\r\n");
    FileJob job(2, 0, TakeLink());
    EXPECT_EQ(job.Passcode(), "4321");
    job.SetPasscode("12a4");
    EXPECT_EQ(job.Passcode(), "4321");
}

}  // namespace
}  // namespace sorvanto
