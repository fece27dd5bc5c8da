#include "irlink/irda_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "irlink/cancel_flag_monitor.h"
#include "link_test_util.h"
#include "platform/scripted_link.h"

namespace sorvanto {
namespace {

using test::Bytes;
using test::Packet;
using Step = ScriptedLink::Step;

// Records what the loop hands to the three handlers.
class RecordingSession : public IrdaSession {
public:
    explicit RecordingSession(ScriptedLink* link) : IrdaSession(std::unique_ptr<LinkApi>(link)) {}
    ~RecordingSession() override { Stop(1); }

    int OnConnected(int kind) override {
        std::lock_guard lock(m);
        connected.push_back(kind);
        return 0;
    }
    int OnPacket(const std::uint8_t* p, int n) override {
        std::lock_guard lock(m);
        packets.emplace_back(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
        return close_after_packet;
    }
    int OnClosed(int code) override {
        std::lock_guard lock(m);
        closed.push_back(code);
        return 0;
    }
    std::vector<std::string> Packets() {
        std::lock_guard lock(m);
        return packets;
    }
    std::vector<int> Closed() {
        std::lock_guard lock(m);
        return closed;
    }

    std::mutex m;
    std::vector<int> connected;
    std::vector<std::string> packets;
    std::vector<int> closed;
    int close_after_packet = 0;
};

class IrdaSessionServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        link = new ScriptedLink;
        session = std::make_unique<RecordingSession>(link);
        ASSERT_EQ(session->OpenServer(), 0);
    }
    void Start() { ASSERT_EQ(session->StartWorker(), 1); }
    ScriptedLink* link;
    std::unique_ptr<RecordingSession> session;
};

TEST_F(IrdaSessionServerTest, PacketInPiecesIsHandedOverOnceAndWhole) {
    const std::string put = Packet(0x02, std::string(600, 'x'));
    link->AddIncoming({{ScriptedLink::Data(put.substr(0, 1)), ScriptedLink::Data(put.substr(1, 2), 20),
                        ScriptedLink::Data(put.substr(3, 300), 30), ScriptedLink::Data(put.substr(303), 40),
                        ScriptedLink::Closed(50)},
                       {}});
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return !session->Closed().empty(); }));
    ASSERT_EQ(session->Packets().size(), 1u);
    EXPECT_EQ(session->Packets()[0], put);
    EXPECT_EQ(session->connected, std::vector<int>{IrdaSession::kIncoming});
}

TEST_F(IrdaSessionServerTest, TwoPacketsInOneReadAreBothHandedOver) {
    const std::string a = Packet(0x02, "abc");
    const std::string b = Packet(0x82, "defgh");
    link->AddIncoming({{ScriptedLink::Data(a + b), ScriptedLink::Closed(50)}, {}});
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return !session->Closed().empty(); }));
    EXPECT_EQ(session->Packets(), (std::vector<std::string>{a, b}));
}

TEST_F(IrdaSessionServerTest, PeerCloseReportsOnceAndServerListensAgain) {
    link->AddIncoming({{ScriptedLink::Data(Packet(0x80, Bytes({0x10, 0, 2, 0}))), ScriptedLink::Closed(10)}, {}});
    link->AddIncoming({{ScriptedLink::Data(Packet(0x81, "")), ScriptedLink::Closed(10)}, {}});
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return session->Closed().size() >= 2; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(session->Closed(), (std::vector<int>{-5, -5}));
    EXPECT_EQ(session->Packets().size(), 2u);
    EXPECT_EQ(link->Connections(), 2);
    EXPECT_TRUE(link->ClosedBySession(0));
    EXPECT_TRUE(link->ClosedBySession(1));
}

TEST_F(IrdaSessionServerTest, NonzeroFromOnPacketClosesAtOnce) {
    session->close_after_packet = 1;
    // The peer would go on sending; the session must not read any of it.
    link->AddIncoming({{ScriptedLink::Data(Packet(0x82, "x")), ScriptedLink::Data(Packet(0x02, "late"), 50)}, {}});
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return link->ClosedBySession(0); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(session->Packets().size(), 1u);
    EXPECT_TRUE(session->Closed().empty());
}

TEST_F(IrdaSessionServerTest, BadDeclaredLengthsEndTheConnectionWithoutAPacket) {
    link->AddIncoming({{ScriptedLink::Data(Bytes({0x02, 0xC3, 0x51, 'x', 'y'}))}, {}});  // 50001 bytes
    link->AddIncoming({{ScriptedLink::Data(Bytes({0x02, 0x00, 0x02}))}, {}});            // below 3
    link->AddIncoming({{ScriptedLink::Data(Bytes({0x02, 0x00, 0x00}))}, {}});            // zero
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return session->Closed().size() == 3; }));
    EXPECT_TRUE(session->Packets().empty());
    EXPECT_EQ(session->Closed(), (std::vector<int>{-5, -5, -5}));
}

TEST_F(IrdaSessionServerTest, FailedOrZeroReadsEndThePacket) {
    // A failing first read, a peer that closes halfway through a packet, and one that goes
    // silent for longer than the hundred retries allow.
    link->AddIncoming({{ScriptedLink::FailRead()}, {}});
    link->AddIncoming({{ScriptedLink::Data(Packet(0x02, "abcdef").substr(0, 5)), ScriptedLink::Closed()}, {}});
    link->AddIncoming({{ScriptedLink::Data(Packet(0x02, "abcdef").substr(0, 5)),
                        ScriptedLink::Data("ef", 1500)}, {}});
    link->AddIncoming({{ScriptedLink::Data(Packet(0x81, "")), ScriptedLink::Closed(10)}, {}});
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return session->Closed().size() == 4; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(session->Packets(), std::vector<std::string>{Packet(0x81, "")});
    EXPECT_EQ(session->Closed().size(), 4u);
}

TEST_F(IrdaSessionServerTest, SlowPeerOneByteAtATimeStillMakesOnePacket) {
    const std::string put = Packet(0x02, "slow body");
    ScriptedLink::Peer peer;
    for (char c : put) peer.steps.push_back(ScriptedLink::Data(std::string(1, c), 30));
    peer.steps.push_back(ScriptedLink::Closed(10));
    link->AddIncoming(peer);
    Start();
    ASSERT_TRUE(test::WaitFor([&] { return !session->Closed().empty(); }));
    EXPECT_EQ(session->Packets(), std::vector<std::string>{put});
}

TEST_F(IrdaSessionServerTest, StopTakesEffectWithinAboutAWait) {
    Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto t0 = std::chrono::steady_clock::now();
    session->Stop(1);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(ms, 250);
    EXPECT_FALSE(session->IsRunning());
    // It can be opened and started again.
    EXPECT_EQ(session->OpenServer(), 0);
    EXPECT_EQ(session->StartWorker(), 1);
    link->AddIncoming({{ScriptedLink::Data(Packet(0x81, "")), ScriptedLink::Closed(10)}, {}});
    EXPECT_TRUE(test::WaitFor([&] { return session->Packets().size() == 1; }));
}

TEST(IrdaSessionOpenTest, ServerThatCannotBindIsNotOpen) {
    auto* link = new ScriptedLink;
    link->FailBind(true);
    RecordingSession s(link);
    EXPECT_EQ(s.CreateSocket(0), -2);
    EXPECT_EQ(s.OpenServer(), -1);
    RecordingSession no_link(nullptr);
    EXPECT_EQ(no_link.OpenServer(), -1);
    EXPECT_EQ(no_link.OpenClient(), -1);
}

class IrdaSessionClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        link = new ScriptedLink;
        session = std::make_unique<RecordingSession>(link);
        link->SetDevices({{{10, 0, 0, 1}, "First"}, {{10, 0, 0, 2}, "P504i"}});
    }
    int RunClient(TransferMonitor* monitor) {
        EXPECT_EQ(session->OpenClient(), 0);
        EXPECT_EQ(session->EnumerateDevices(), 0);
        session->BeginClientRun();
        return session->Run(monitor);
    }
    ScriptedLink* link;
    std::unique_ptr<RecordingSession> session;
};

TEST_F(IrdaSessionClientTest, ConnectsToTheLastDeviceAndEndsAfterItsConnection) {
    link->SetConnect(ScriptedLink::ConnectOutcome::kAccept,
                     {{ScriptedLink::Data(Packet(0xA0, "")), ScriptedLink::Closed(20)}, {}});
    EXPECT_EQ(RunClient(nullptr), 0);
    std::string name;
    EXPECT_EQ(session->LastDeviceName(&name), 1);
    EXPECT_EQ(name, "P504i");
    EXPECT_EQ(link->LastConnectAddress(), (std::array<std::uint8_t, 4>{10, 0, 0, 2}));
    EXPECT_EQ(session->connected, std::vector<int>{IrdaSession::kOutgoing});
    EXPECT_EQ(session->Packets(), std::vector<std::string>{Packet(0xA0, "")});
    EXPECT_EQ(session->Closed(), std::vector<int>{-5});
    EXPECT_TRUE(link->ClosedBySession(0));
}

TEST_F(IrdaSessionClientTest, RefusedOrCancelledConnectReturnsMinusOne) {
    link->SetConnect(ScriptedLink::ConnectOutcome::kRefuse);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(RunClient(nullptr), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));  // no 5 s wait
    EXPECT_TRUE(session->connected.empty());

    link->SetConnect(ScriptedLink::ConnectOutcome::kNever);
    CancelFlagMonitor monitor;
    monitor.Cancel();
    EXPECT_EQ(RunClient(&monitor), -1);
}

TEST_F(IrdaSessionClientTest, NoHandsetInRange) {
    link->SetDevices({});
    EXPECT_EQ(session->OpenClient(), 0);
    EXPECT_EQ(session->EnumerateDevices(), 0);
    EXPECT_EQ(session->DeviceCount(), 0);
    std::string name = "unchanged";
    EXPECT_EQ(session->LastDeviceName(&name), 0);
    EXPECT_EQ(name, "unchanged");
    link->FailDiscovery(true);
    EXPECT_EQ(session->EnumerateDevices(), -1);
}

}  // namespace
}  // namespace sorvanto
