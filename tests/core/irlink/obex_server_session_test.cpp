#include "irlink/obex_server_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "common/sjis.h"
#include "irlink/md5.h"
#include "link_test_util.h"
#include "platform/clock.h"
#include "platform/scripted_link.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::Bytes;
using test::Packet;

std::string NameHeader(const std::string& name) {
    std::string v;
    for (char c : name) v += std::string(1, '\0') + c;
    v += std::string(2, '\0');
    const int n = static_cast<int>(v.size()) + 3;
    return Bytes({0x01, n >> 8, n & 0xFF}) + v;
}

std::string BodyHeader(int id, const std::string& body) {
    const int n = static_cast<int>(body.size()) + 3;
    return Bytes({id, n >> 8, n & 0xFF}) + body;
}

const std::string kConnect = Packet(0x80, Bytes({0x10, 0x00, 0x04, 0x00}));

class ObexServerTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        clock::SetForTesting([] { return std::int64_t{0x3E8A1B2C}; }, {});
        link = new ScriptedLink;
        server = std::make_unique<ObexServerSession>(std::unique_ptr<LinkApi>(link), &queue);
        ASSERT_EQ(server->OpenServer(), 0);
        ASSERT_EQ(server->StartWorker(), 1);
    }
    void TearDown() override {
        server.reset();
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
    // One connection that sends these packets, one read each, then closes unless the server did.
    std::vector<std::string> Exchange(const std::vector<std::string>& packets) {
        const int index = link->Connections();
        ScriptedLink::Peer peer;
        for (const auto& p : packets) peer.steps.push_back(ScriptedLink::Data(p, 5));
        peer.steps.push_back(ScriptedLink::Closed(20));
        link->AddIncoming(peer);
        EXPECT_TRUE(test::WaitFor([&] { return link->ClosedBySession(index); }));
        return link->Sent(index);
    }
    std::vector<std::string> Notices() { return Queued(ObexServerSession::kNoticeKey); }
    std::vector<std::string> Logs() { return Queued(ObexServerSession::kLogKey); }
    std::vector<std::string> Queued(int key) {
        std::vector<std::string> out;
        queue.ForEach([&](const ByteList::Node& n) {
            EXPECT_TRUE(n.key == ObexServerSession::kNoticeKey || n.key == ObexServerSession::kLogKey);
            if (n.key == ObexServerSession::kNoticeKey) {
                EXPECT_EQ(n.size, 260);
            }
            if (n.key == key) out.emplace_back(reinterpret_cast<const char*>(n.data->data()));
        });
        return out;
    }

    ByteList queue;
    ScriptedLink* link;
    std::unique_ptr<ObexServerSession> server;
};

TEST_F(ObexServerTest, ConnectAnswersEchoTheHandsetsFields) {
    const std::string challenge = Packet(0x80, Bytes({0x10, 0x00, 0x04, 0x00, 0x4D, 0x00, 0x15, 0x00, 0x10}) + std::string(16, '\x5A'));
    const std::string response = Packet(0x80, Bytes({0x12, 0x01, 0x02, 0x00, 0x4E, 0x00, 0x15, 0x00, 0x10}) + std::string(16, '\x11'));
    const std::string target = Packet(0x80, Bytes({0x10, 0x00, 0x01, 0x00, 0x46, 0x00, 0x05, 'a', 'b'}));
    const auto sent = Exchange({kConnect, challenge, response, target, Packet(0x80, Bytes({0x10}))});
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0], Bytes({0xA0, 0x00, 0x07, 0x10, 0x00, 0x04, 0x00}));
    std::string unauthorized = challenge;
    unauthorized[0] = static_cast<char>(0xC1);
    EXPECT_EQ(sent[1], unauthorized);
    EXPECT_EQ(sent[2], Bytes({0xA0, 0x00, 0x07, 0x12, 0x01, 0x02, 0x00}));
    // Headers the server has no use for: accepted like a bare CONNECT.
    EXPECT_EQ(sent[3], Bytes({0xA0, 0x00, 0x07, 0x10, 0x00, 0x01, 0x00}));
    // Too short to carry the CONNECT fields.
    EXPECT_EQ(sent[4], Bytes({0xC0, 0x00, 0x03}));
}

TEST_F(ObexServerTest, OverlongChallengeConnectIsRefused) {
    const std::string big = Packet(0x80, Bytes({0x10, 0x00, 0x04, 0x00, 0x4D, 0x04, 0x00}) + std::string(1017, '\x01'));
    ASSERT_EQ(big.size(), 1027u);
    const auto sent = Exchange({big});
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Bytes({0xCD, 0x00, 0x03}));
}

TEST_F(ObexServerTest, PhoneBookPushLandsInTmpFilesAndIsQueuedOnce) {
    const std::string part1(400, 'A');
    const std::string part2 = "BEGIN:VCARD\r\nEND:VCARD\r\n";
    const auto sent = Exchange({kConnect,
                                Packet(0x02, NameHeader("telecom/pb.vcf") + Bytes({0xC3, 0, 0, 0x01, 0xA8}) + BodyHeader(0x48, part1)),
                                Packet(0x02, BodyHeader(0x48, part2)), Packet(0x82, BodyHeader(0x49, "END"))});
    EXPECT_EQ(sent, (std::vector<std::string>{Bytes({0xA0, 0, 7, 0x10, 0, 4, 0}), Bytes({0x90, 0, 3}),
                                              Bytes({0x90, 0, 3}), Bytes({0xA0, 0, 3})}));
    EXPECT_EQ(Notices(), std::vector<std::string>{"TmpFiles\\3e8a1b2c telecom_pb.vcf"});
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c telecom_pb.vcf"), part1 + part2 + "END");
    EXPECT_FALSE(std::filesystem::exists(Home() / "rdata.txt"));
}

TEST_F(ObexServerTest, NamesAreCleanedAndCut) {
    Exchange({kConnect, Packet(0x82, NameHeader("a\"b*c/d:e;f<g>h?i\\j|k.txt") + BodyHeader(0x49, ""))});
    const std::string long_name(80, 'n');
    Exchange({kConnect, Packet(0x82, NameHeader(long_name) + BodyHeader(0x49, "x"))});
    const auto notices = Notices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], "TmpFiles\\3e8a1b2c a_b_c_d_e_f_g_h_i_j_k.txt");
    EXPECT_EQ(notices[1], "TmpFiles\\3e8a1b2c " + std::string(63, 'n'));
    // An empty End of Body still completes the object.
    EXPECT_EQ(std::filesystem::file_size(Home() / "TmpFiles" / "3e8a1b2c a_b_c_d_e_f_g_h_i_j_k.txt"), 0u);
}

TEST_F(ObexServerTest, SameNameInTheSameSecondTakesTheNextFreeName) {
    for (const char* body : {"first", "second"})
        Exchange({kConnect, Packet(0x82, NameHeader("m.mld") + BodyHeader(0x49, body))});
    EXPECT_EQ(Notices(), (std::vector<std::string>{"TmpFiles\\3e8a1b2c m.mld", "TmpFiles\\3e8a1b2d m.mld"}));
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c m.mld"), "first");
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2d m.mld"), "second");
}

TEST_F(ObexServerTest, MalformedHeadersEndTheWalkButThePutIsAnswered) {
    // A Name whose length field is 2, an unknown header of length 0, and one running past the
    // packet: none of them may loop, and the Body before them counts.
    const auto sent = Exchange({kConnect, Packet(0x02, BodyHeader(0x48, "kept") + Bytes({0x01, 0x00, 0x02, 0x48, 0, 9, 'z'})),
                                Packet(0x02, Bytes({0x42, 0x00, 0x00}) + BodyHeader(0x48, "lost")),
                                Packet(0x82, Bytes({0x48, 0x7F, 0xFF, 'q'}))});
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1], Bytes({0x90, 0, 3}));
    EXPECT_EQ(sent[2], Bytes({0x90, 0, 3}));
    EXPECT_EQ(sent[3], Bytes({0xA0, 0, 3}));
    // The last PUT stored nothing, so the object is not complete and nothing is queued.
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(test::ReadFileBytes(Home() / "rdata.txt"), "kept");
}

TEST_F(ObexServerTest, NewConnectionStartsACleanObjectEvenWithoutConnect) {
    // The first handset vanishes halfway through an object.
    Exchange({kConnect, Packet(0x02, NameHeader("half.vcf") + BodyHeader(0x48, "HALF"))});
    ASSERT_EQ(test::ReadFileBytes(Home() / "rdata.txt"), "HALF");
    // The next starts with a PUT at once and names nothing.
    Exchange({Packet(0x82, BodyHeader(0x49, "WHOLE"))});
    ASSERT_EQ(Notices(), std::vector<std::string>{"TmpFiles\\3e8a1b2c "});
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c "), "WHOLE");
}

TEST_F(ObexServerTest, DisconnectIsAnsweredAndOtherRequestsAreNot) {
    const auto sent = Exchange({Packet(0x81, ""), Packet(0x03, NameHeader("x")), Packet(0xFF, "")});
    EXPECT_EQ(sent, std::vector<std::string>{Bytes({0xA0, 0x00, 0x03})});
}

TEST_F(ObexServerTest, BodyThatCannotBeStoredIsAnsweredButNotQueued) {
    // A folder in its place (not empty, so it cannot be deleted): no file can be opened there.
    test::WriteFileBytes(Home() / "rdata.txt" / "keep", "k");
    const auto sent = Exchange({kConnect, Packet(0x82, NameHeader("a.vcf") + BodyHeader(0x49, "x"))});
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], Bytes({0xA0, 0, 3}));
    EXPECT_TRUE(Notices().empty());
}

TEST_F(ObexServerTest, UnknownHeadersAreSkippedByTheirClass) {
    // A 1-byte value (0x97), a 4-byte value whose first bytes read as a length of 0 (0xC4) and a
    // counted header (0x42): all stepped over, the Body after them is kept.
    Exchange({kConnect, Packet(0x82, NameHeader("n.txt") + Bytes({0x97, 0x01, 0xC4, 0x00, 0x00, 0x00, 0x07}) +
                                         Bytes({0x42, 0x00, 0x05, 'a', 'b'}) + BodyHeader(0x49, "data"))});
    ASSERT_EQ(Notices(), std::vector<std::string>{"TmpFiles\\3e8a1b2c n.txt"});
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c n.txt"), "data");
}

TEST_F(ObexServerTest, AnObjectPastTheLimitIsRefusedAndTheNextIsServed) {
    // Bodies of 48,000 bytes: the 350th PUT takes the object past 16 MiB.
    const std::string chunk(48000, 'x');
    std::vector<std::string> packets = {kConnect, Packet(0x02, NameHeader("big.vcf") + BodyHeader(0x48, chunk))};
    while (packets.size() < 352) packets.push_back(Packet(0x02, BodyHeader(0x48, chunk)));
    const auto sent = Exchange(packets);
    ASSERT_EQ(sent.size(), 351u);  // nothing after the refusal: the link was closed
    EXPECT_EQ(sent[349], Bytes({0x90, 0, 3}));
    EXPECT_EQ(sent[350], Bytes({0xCD, 0, 3}));
    EXPECT_FALSE(std::filesystem::exists(Home() / "rdata.txt"));
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(Logs().size(), 1u);

    Exchange({kConnect, Packet(0x82, NameHeader("pb.vcf") + BodyHeader(0x49, "small"))});
    EXPECT_EQ(Notices(), std::vector<std::string>{"TmpFiles\\3e8a1b2c pb.vcf"});
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c pb.vcf"), "small");
}

// A listener that other hosts can reach: every connection must answer a fresh challenge.
class ObexServerOnNetworkTest : public ObexServerTest {
protected:
    void SetUp() override {
        ObexServerTest::SetUp();
        server->Stop(1);
        link->SetReachableFromNetwork(true);
        server->SetPasscode("4821");
        ASSERT_EQ(server->OpenServer(), 0);
        ASSERT_EQ(server->StartWorker(), 1);
    }
    // A peer that answers the challenge with the passcode given (none: a CONNECT without an
    // answer), then pushes one object. Returns what the server sent, and the nonce it was asked.
    std::vector<std::string> Push(const std::string* passcode, std::string* nonce = nullptr,
                                  const std::string& address = "192.0.2.9:40312") {
        const int index = link->Connections();
        ScriptedLink::Peer peer;
        peer.steps.push_back(ScriptedLink::Data(kConnect));
        peer.responder = [passcode, nonce](const std::string& sent) -> std::vector<ScriptedLink::Step> {
            if (sent.size() == 28 && static_cast<unsigned char>(sent[0]) == 0xC1) {
                const std::string challenge = sent.substr(12, 16);
                if (nonce) *nonce = challenge;
                std::string answer = Bytes({0x10, 0x00, 0x04, 0x00});
                if (passcode) {
                    const auto digest = Md5::Of(challenge + ":" + *passcode);
                    answer += Bytes({0x4E, 0x00, 0x15, 0x00, 0x10}) + std::string(digest.begin(), digest.end());
                }
                return {ScriptedLink::Data(Packet(0x80, answer))};
            }
            if (sent.size() == 7 && static_cast<unsigned char>(sent[0]) == 0xA0)
                return {ScriptedLink::Data(Packet(0x82, NameHeader("pb.vcf") + BodyHeader(0x49, "BOOK"))),
                        ScriptedLink::Closed(50)};
            return {};
        };
        link->AddIncoming(peer, address);
        EXPECT_TRUE(test::WaitFor([&] { return link->ClosedBySession(index); }));
        return link->Sent(index);
    }
};

TEST_F(ObexServerOnNetworkTest, TheRightAnswerToAFreshChallengeLetsThePushIn) {
    const std::string code = "4821";
    std::string first, second;
    const auto sent = Push(&code, &first);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].substr(0, 12), Bytes({0xC1, 0x00, 0x1C, 0x10, 0x00, 0x04, 0x00, 0x4D, 0x00, 0x15, 0x00, 0x10}));
    EXPECT_EQ(sent[1], Bytes({0xA0, 0x00, 0x07, 0x10, 0x00, 0x04, 0x00}));
    EXPECT_EQ(sent[2], Bytes({0xA0, 0x00, 0x03}));
    Push(&code, &second);
    ASSERT_EQ(second.size(), 16u);  // the next connection was challenged anew
    EXPECT_NE(first, second);
    EXPECT_EQ(Notices().size(), 2u);
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c pb.vcf"), "BOOK");
    EXPECT_TRUE(Logs().empty());
}

TEST_F(ObexServerOnNetworkTest, AWrongOrMissingAnswerIsForbiddenAndLogged) {
    const std::string wrong = "0000";
    for (const std::string* passcode : {&wrong, static_cast<const std::string*>(nullptr)}) {
        const auto sent = Push(passcode);
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(static_cast<unsigned char>(sent[0][0]), 0xC1);
        EXPECT_EQ(sent[1], Bytes({0xC3, 0x00, 0x03}));
    }
    // A PUT straight away, with no CONNECT at all.
    EXPECT_EQ(Exchange({Packet(0x82, NameHeader("pb.vcf") + BodyHeader(0x49, "BOOK"))}),
              std::vector<std::string>{Bytes({0xC3, 0x00, 0x03})});
    EXPECT_TRUE(Notices().empty());
    EXPECT_FALSE(std::filesystem::exists(Home() / "rdata.txt"));
    const auto logs = Logs();
    ASSERT_EQ(logs.size(), 3u);
    EXPECT_EQ(logs[0], sjis::Lit("認証できない接続を拒否しました (192.0.2.9:40312)"));
}

TEST_F(ObexServerOnNetworkTest, AHostThatKeepsGuessingIsShutOutWhileAnotherGetsIn) {
    auto now = std::make_shared<std::atomic<std::int64_t>>(0);
    server->Stop(1);
    server->SetLockout({3, 60'000, 3'600'000}, [now] { return now->load(); });
    ASSERT_EQ(server->OpenServer(), 0);
    ASSERT_EQ(server->StartWorker(), 1);
    const std::string wrong = "1234";
    const std::string right = "4821";
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Push(&wrong, nullptr, "192.0.2.7:" + std::to_string(41000 + i)).size(), 2u);
    // Shut out: closed before anything is sent, so there is no nonce to answer.
    EXPECT_TRUE(Push(&right, nullptr, "192.0.2.7:41003").empty());
    EXPECT_EQ(Push(&right, nullptr, "192.0.2.8:41004").size(), 3u);
    *now += 60'000;
    EXPECT_EQ(Push(&right, nullptr, "192.0.2.7:41005").size(), 3u);
    EXPECT_EQ(Notices().size(), 2u);
    const auto logs = Logs();
    ASSERT_EQ(logs.size(), 4u);  // three refusals and the lock, told once
    EXPECT_EQ(logs[3], sjis::Lit("認証に続けて失敗したため 192.0.2.7 からの接続を 60 秒間拒否します"));
}

}  // namespace
}  // namespace sorvanto
