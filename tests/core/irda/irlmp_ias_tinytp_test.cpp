#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_lap.h"
#include "irda/ias.h"
#include "irda/irlmp.h"
#include "irda/tinytp.h"

namespace sorvanto::irda {
namespace {

using test::Bytes;
using test::Cat;
using test::FakeLap;

constexpr std::uint32_t kHandset = 0xA1B2C3D4;

struct TtpRecorder : TtpUser {
    std::vector<int> incoming;
    std::vector<std::pair<int, bool>> connected;
    int data_events = 0;
    std::vector<std::pair<int, int>> closed;
    void OnTtpIncoming(int conn, Micros) override { incoming.push_back(conn); }
    void OnTtpConnected(int conn, bool ok, Micros) override { connected.emplace_back(conn, ok); }
    void OnTtpData(int, Micros) override { ++data_events; }
    void OnTtpClosed(int conn, int reason, Micros) override { closed.emplace_back(conn, reason); }
};

void Deliver(Irlmp& lmp, const std::vector<std::uint8_t>& i_field, Micros now = 0) {
    lmp.OnData(i_field.data(), i_field.size(), now);
}

// The PC as primary: IAS query for the handset's OBEX selector, then the TinyTP connect and
// the first OBEX packet, byte for byte as in the checked capture.
TEST(IrdaUpperLayers, PrimarySessionBytesMatchTheCheckedCapture) {
    FakeLap lap;
    Irlmp lmp(lap);
    IasClient ias(lmp);
    TtpRecorder rec;
    TinyTp ttp(lmp, &rec);

    std::optional<IasAnswer> answer;
    ASSERT_TRUE(ias.Query(kHandset, "OBEX", "IrDA:TinyTP:LsapSel",
                          [&](const IasAnswer* a, Micros) { if (a) answer = *a; }, 0));
    EXPECT_EQ(lap.connects, 1);
    EXPECT_EQ(lap.connect_peer, kHandset);
    EXPECT_TRUE(lap.sent.empty());  // nothing before the link is up
    lap.connected = true;
    lmp.OnConnectConfirm(kHandset, 1);
    EXPECT_EQ(lap.Take(), Bytes({0x80, 0x10, 0x01, 0x00}));

    Deliver(lmp, Bytes({0x90, 0x00, 0x81, 0x00}));
    EXPECT_EQ(lap.Take(), Cat(Cat(Cat(Bytes({0x00, 0x10, 0x84, 0x04}), "OBEX"), Bytes({0x13})), "IrDA:TinyTP:LsapSel"));

    Deliver(lmp, Bytes({0x10, 0x00, 0x84, 0x00, 0x00, 0x01, 0x12, 0x34, 0x01, 0x00, 0x00, 0x00, 0x05}));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->code, kIasSuccess);
    EXPECT_EQ(answer->object_id, 0x1234);
    EXPECT_EQ(answer->value.type, IasValue::kInteger);
    EXPECT_EQ(answer->value.integer, 5u);
    EXPECT_EQ(lap.Take(), Bytes({0x80, 0x10, 0x02, 0x01}));  // the client lets IAS go

    const int conn = ttp.Connect(kHandset, 5, 2);
    EXPECT_EQ(lap.Take(), Bytes({0x85, 0x11, 0x01, 0x00, 0x0E}));
    Deliver(lmp, Bytes({0x91, 0x05, 0x81, 0x00, 0x87, 0x04, 0x01, 0x02, 0x00, 0x00}));
    ASSERT_EQ(rec.connected.size(), 1u);
    EXPECT_EQ(rec.connected[0], std::make_pair(conn, true));
    EXPECT_EQ(ttp.SendCredit(conn), 7);

    const auto obex_connect = Bytes({0x80, 0x00, 0x07, 0x10, 0x00, 0x08, 0x00});
    ASSERT_TRUE(ttp.Send(conn, obex_connect.data(), obex_connect.size(), 3));
    EXPECT_EQ(lap.Take(), Cat(Bytes({0x05, 0x11, 0x00}), obex_connect));
    EXPECT_EQ(ttp.SendCredit(conn), 6);
}

// The handset's side of the same exchange: the IAS server and the TinyTP listener.
TEST(IrdaUpperLayers, SecondaryAnswersIasAndConfirmsTinyTp) {
    FakeLap lap;
    lap.connected = true;
    Irlmp lmp(lap);
    IasServer server(lmp);
    server.Set("OBEX", "IrDA:TinyTP:LsapSel", IasValue::Integer(5));
    TtpRecorder rec;
    TinyTp ttp(lmp, &rec, TinyTp::Config{7, 0});
    ASSERT_TRUE(ttp.Listen(5));
    lmp.OnConnectIndication(0x11223344, 0);

    Deliver(lmp, Bytes({0x80, 0x10, 0x01, 0x00}));
    EXPECT_EQ(lap.Take(), Bytes({0x90, 0x00, 0x81, 0x00}));
    Deliver(lmp, Cat(Cat(Cat(Bytes({0x00, 0x10, 0x84, 0x04}), "OBEX"), Bytes({0x13})), "IrDA:TinyTP:LsapSel"));
    EXPECT_EQ(lap.Take(), Bytes({0x10, 0x00, 0x84, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x05}));
    Deliver(lmp, Bytes({0x80, 0x10, 0x02, 0x01}));
    EXPECT_TRUE(lap.sent.empty());  // a disconnect is never answered

    Deliver(lmp, Bytes({0x85, 0x11, 0x01, 0x00, 0x0E}));
    EXPECT_EQ(lap.Take(), Bytes({0x91, 0x05, 0x81, 0x00, 0x87, 0x04, 0x01, 0x02, 0x00, 0x00}));
    ASSERT_EQ(rec.incoming.size(), 1u);
    const int conn = rec.incoming[0];
    EXPECT_EQ(ttp.SendCredit(conn), 14);

    Deliver(lmp, Bytes({0x05, 0x11, 0x00, 0x80, 0x00, 0x07, 0x10, 0x00, 0x08, 0x00}));
    std::uint8_t got[16];
    ASSERT_EQ(ttp.Read(conn, got, sizeof got, 0), 7u);
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 7), Bytes({0x80, 0x00, 0x07, 0x10, 0x00, 0x08, 0x00}));
}

TEST(IrdaUpperLayers, LmpRefusesWhatHasNoConnection) {
    FakeLap lap;
    lap.connected = true;
    Irlmp lmp(lap);
    lmp.OnConnectIndication(kHandset, 0);
    Deliver(lmp, Bytes({0x05, 0x11, 0x00, 0x80}));  // data, nothing connected
    EXPECT_EQ(lap.Take(), Bytes({0x91, 0x05, 0x02, 0x06}));
    Deliver(lmp, Bytes({0x85, 0x11, 0x01, 0x00, 0x0E}));  // connect, nobody listens on 5
    EXPECT_EQ(lap.Take(), Bytes({0x91, 0x05, 0x02, 0x08}));
    Deliver(lmp, Bytes({0x85}));                    // cut short
    Deliver(lmp, Bytes({0x85, 0x11, 0x01}));        // control PDU without its parameter
    Deliver(lmp, Bytes({0x85, 0x11, 0x02, 0x01}));  // disconnect of nothing
    EXPECT_TRUE(lap.sent.empty());
}

TEST(IrdaUpperLayers, LinkIsLetGoTwoSecondsAfterTheLastLsapCloses) {
    FakeLap lap;
    Irlmp lmp(lap);
    TtpRecorder rec;
    TinyTp ttp(lmp, &rec);
    const int conn = ttp.Connect(kHandset, 5, 0);
    lap.connected = true;
    lmp.OnConnectConfirm(kHandset, 10);
    lap.Take();
    Deliver(lmp, Bytes({0x90, 0x05, 0x81, 0x00, 0x05}));
    ASSERT_TRUE(ttp.IsOpen(conn));
    EXPECT_EQ(lmp.NextDeadline(), 0u);
    ttp.Close(conn, 1'000'000);
    EXPECT_EQ(lap.Take(), Bytes({0x85, 0x10, 0x02, 0x01}));
    EXPECT_EQ(lmp.NextDeadline(), 3'000'000u);
    lmp.OnTimer(2'999'999);
    EXPECT_EQ(lap.disconnects, 0);
    lmp.OnTimer(3'000'000);
    EXPECT_EQ(lap.disconnects, 1);
}

TEST(IrdaUpperLayers, LostLinkReachesEveryConnection) {
    FakeLap lap;
    Irlmp lmp(lap);
    TtpRecorder rec;
    TinyTp ttp(lmp, &rec);
    const int a = ttp.Connect(kHandset, 5, 0);
    lmp.OnConnectFailed(1);
    ASSERT_EQ(rec.connected.size(), 1u);
    EXPECT_EQ(rec.connected[0], std::make_pair(a, false));
    EXPECT_FALSE(ttp.IsOpen(a));
    EXPECT_EQ(ttp.Connect(0x55667788, 5, 2) >= 0, true);  // a new device after the failure
}

TEST(IrdaUpperLayers, IasServerAnswersAndRefuses) {
    FakeLap lap;
    Irlmp lmp(lap);
    IasServer server(lmp);
    server.Set("Device", "DeviceName", IasValue::String("SORVANTO"));
    server.Set("Device", "IrLMPSupport", IasValue::Octets({0x01, 0x00, 0x00}));
    server.Set("OBEX", "IrDA:TinyTP:LsapSel", IasValue::Integer(0x05));
    auto ask = [&](const std::string& c, const std::string& a) {
        const auto req = IasRequestBytes(c, a);
        return server.Answer(req.data(), req.size());
    };
    EXPECT_EQ(ask("Device", "DeviceName"),
              Cat(Bytes({0x84, 0x00, 0x00, 0x01, 0x00, 0x00, 0x03, 0x00, 0x08}), "SORVANTO"));
    EXPECT_EQ(ask("Device", "IrLMPSupport"),
              Bytes({0x84, 0x00, 0x00, 0x01, 0x00, 0x00, 0x02, 0x00, 0x03, 0x01, 0x00, 0x00}));
    EXPECT_EQ(ask("Printer", "IrDA:TinyTP:LsapSel"), Bytes({0x84, 0x01, 0x00, 0x01, 0x12, 0x35, 0x00}));
    EXPECT_EQ(ask("OBEX", "IrDA:IrLMP:LsapSel"), Bytes({0x84, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00}));

    // Other operations are unsupported; frames without LST and broken lengths get nothing.
    const auto get_info = Bytes({0x81});
    EXPECT_EQ(server.Answer(get_info.data(), get_info.size()), Bytes({0x81, 0xFF}));
    auto not_last = IasRequestBytes("OBEX", "IrDA:TinyTP:LsapSel");
    not_last[0] = kIasGetValueByClass;
    EXPECT_TRUE(server.Answer(not_last.data(), not_last.size()).empty());
    auto cut = IasRequestBytes("OBEX", "IrDA:TinyTP:LsapSel");
    cut.pop_back();
    EXPECT_TRUE(server.Answer(cut.data(), cut.size()).empty());
    std::vector<std::uint8_t> long_name{0x84, 61};
    long_name.resize(2 + 61 + 1 + 1, 'A');
    long_name[2 + 61] = 1;
    EXPECT_TRUE(server.Answer(long_name.data(), long_name.size()).empty());
}

TEST(IrdaUpperLayers, IasAnswerParserChecksEveryLength) {
    IasAnswer a;
    const auto good = Bytes({0x84, 0x00, 0x00, 0x01, 0x00, 0x07, 0x03, 0x00, 0x02, 'O', 'K'});
    ASSERT_TRUE(ParseIasAnswer(good.data(), good.size(), &a));
    EXPECT_EQ(std::string(a.value.bytes.begin(), a.value.bytes.end()), "OK");
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(ParseIasAnswer(good.data(), n, &a)) << n;
    const auto octets_too_long = Bytes({0x84, 0x00, 0x00, 0x01, 0x00, 0x07, 0x02, 0xFF, 0xFF, 0x00});
    EXPECT_FALSE(ParseIasAnswer(octets_too_long.data(), octets_too_long.size(), &a));
    const auto refused = Bytes({0x84, 0x01});
    ASSERT_TRUE(ParseIasAnswer(refused.data(), refused.size(), &a));
    EXPECT_EQ(a.code, kIasNoSuchClass);
}

TEST(IrdaUpperLayers, IasClientGivesUpAfterItsWatchdog) {
    FakeLap lap;
    lap.connected = true;
    Irlmp lmp(lap);
    lmp.OnConnectIndication(kHandset, 0);
    IasClient ias(lmp);
    int calls = 0;
    bool failed = false;
    ASSERT_TRUE(ias.Query(kHandset, "OBEX", "IrDA:TinyTP:LsapSel", [&](const IasAnswer* a, Micros) {
        ++calls;
        failed = a == nullptr;
    }, 0));
    Deliver(lmp, Bytes({0x90, 0x00, 0x81, 0x00}));
    EXPECT_EQ(ias.NextDeadline(), IasClient::kWatchdogMicros);
    ias.OnTimer(IasClient::kWatchdogMicros);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(ias.Busy());
}

// A connection as the handset's TinyTP sees it, with the test as the peer.
struct TtpPair {
    FakeLap lap;
    Irlmp lmp{lap};
    TtpRecorder rec;
    TinyTp ttp;
    int conn = -1;
    explicit TtpPair(int peer_credit, int our_credit = 4) : ttp(lmp, &rec, TinyTp::Config{our_credit, 2}) {
        lap.connected = true;
        lap.max_i_field = 16;  // 13 user bytes per data PDU
        ttp.Listen(5);
        lmp.OnConnectIndication(0x11223344, 0);
        Deliver(lmp, Bytes({0x85, 0x11, 0x01, 0x00, peer_credit}));
        lap.Take();
        conn = rec.incoming.at(0);
    }
};

TEST(IrdaUpperLayers, TinyTpSendsOnlyWithCreditAndCutsAtTheDataSize) {
    TtpPair p(2);
    std::vector<std::uint8_t> packet(40);
    for (std::size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(p.ttp.Send(p.conn, packet.data(), packet.size(), 0));
    auto first = p.lap.Take();
    auto second = p.lap.Take();
    EXPECT_TRUE(p.lap.sent.empty());  // two credits, two PDUs
    ASSERT_EQ(first.size(), 16u);
    EXPECT_EQ(std::vector<std::uint8_t>(first.begin() + 3, first.end()),
              std::vector<std::uint8_t>(packet.begin(), packet.begin() + 13));
    EXPECT_EQ(p.ttp.Unsent(p.conn), 40u - 26u);

    Deliver(p.lmp, Bytes({0x05, 0x11, 0x01}));  // a dataless grant of one
    auto third = p.lap.Take();
    EXPECT_EQ(std::vector<std::uint8_t>(third.begin() + 3, third.end()),
              std::vector<std::uint8_t>(packet.begin() + 26, packet.begin() + 39));
    EXPECT_TRUE(p.lap.sent.empty());
    Deliver(p.lmp, Bytes({0x05, 0x11, 0x05}));
    auto last = p.lap.Take();
    EXPECT_EQ(last, Bytes({0x11, 0x05, 0x00, 39}));
    EXPECT_EQ(p.ttp.SendCredit(p.conn), 4);
    (void)second;
}

TEST(IrdaUpperLayers, TinyTpGrantsCreditBackAsTheReaderTakesData) {
    TtpPair p(1, 4);  // the peer may send 4; a grant goes when it holds fewer than 2
    for (int i = 0; i < 3; ++i) Deliver(p.lmp, Bytes({0x05, 0x11, 0x00, 'a' + i}));
    EXPECT_EQ(p.ttp.PeerCredit(p.conn), 1);
    EXPECT_TRUE(p.lap.sent.empty());  // nothing read yet, nothing to give
    std::uint8_t got[8];
    ASSERT_EQ(p.ttp.Read(p.conn, got, 2, 0), 2u);
    EXPECT_EQ(p.lap.Take(), Bytes({0x11, 0x05, 0x02}));  // dataless, the two PDUs read
    EXPECT_EQ(p.ttp.PeerCredit(p.conn), 3);
    ASSERT_EQ(p.ttp.Read(p.conn, got, 8, 0), 1u);
    EXPECT_TRUE(p.lap.sent.empty());  // the peer is not low
    // The freed credit rides on the next data PDU instead.
    const std::uint8_t x = 'x';
    p.ttp.Send(p.conn, &x, 1, 0);
    EXPECT_EQ(p.lap.Take(), Bytes({0x11, 0x05, 0x01, 'x'}));
    EXPECT_EQ(p.ttp.PeerCredit(p.conn), 4);
}

TEST(IrdaUpperLayers, TinyTpDisconnectsAPeerThatOverrunsItsCredit) {
    TtpPair p(1, 2);
    Deliver(p.lmp, Bytes({0x05, 0x11, 0x00, 'a'}));
    Deliver(p.lmp, Bytes({0x05, 0x11, 0x00, 'b'}));
    EXPECT_TRUE(p.lap.sent.empty());
    Deliver(p.lmp, Bytes({0x05, 0x11, 0x00, 'c'}));  // a third PDU with two granted
    EXPECT_EQ(p.lap.Take(), Bytes({0x91, 0x05, 0x02, 0xFF}));
    ASSERT_EQ(p.rec.closed.size(), 1u);
    // What arrived within the credit can still be read.
    std::uint8_t got[4];
    EXPECT_EQ(p.ttp.Read(p.conn, got, 4, 0), 2u);

    TtpPair q(100);
    Deliver(q.lmp, Bytes({0x05, 0x11, 0x7F}));  // 100 + 127 credits cannot be counted
    EXPECT_EQ(q.lap.Take(), Bytes({0x91, 0x05, 0x02, 0xFF}));
}

TEST(IrdaUpperLayers, TinyTpCloseWaitsForQueuedData) {
    TtpPair p(0);
    const std::uint8_t data[3] = {1, 2, 3};
    p.ttp.Send(p.conn, data, 3, 0);
    p.ttp.Close(p.conn, 0);
    EXPECT_TRUE(p.lap.sent.empty());
    Deliver(p.lmp, Bytes({0x05, 0x11, 0x01}));
    EXPECT_EQ(p.lap.Take(), Bytes({0x11, 0x05, 0x00, 1, 2, 3}));
    EXPECT_EQ(p.lap.Take(), Bytes({0x91, 0x05, 0x02, 0x01}));
}

}  // namespace
}  // namespace sorvanto::irda
