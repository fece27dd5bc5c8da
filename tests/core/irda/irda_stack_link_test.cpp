#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "irda/irda_stack_link.h"
#include "virtual_air.h"

namespace sorvanto::irda {
namespace {

using test::VirtualAir;

constexpr std::uint32_t kPcAddress = 0x11223344;
constexpr std::uint32_t kHandsetAddress = 0xA1B2C3D4;

IrStackConfig Config(std::uint32_t address, const std::string& name, std::vector<std::uint8_t> hints) {
    IrStackConfig c;
    c.lap.address = address;
    c.lap.nickname = name;
    c.lap.hints = std::move(hints);
    return c;
}

// A PC and a handset, each an IrdaStackLink on one end of the virtual beam. Every wait inside
// a link call moves the world on, so the test reads like a session on one thread.
struct World {
    VirtualAir air;
    std::unique_ptr<IrdaStackLink> pc;
    std::unique_ptr<IrdaStackLink> handset;

    // small: the handset takes I fields of 64 bytes at 9600 bit/s only.
    explicit World(std::uint32_t seed, double loss = 0, bool small = false) : air(seed) {
        air.SetLoss(loss);
        IrStackConfig handset_config = Config(kHandsetAddress, "P504i", {0x82, 0x21});
        if (small) {
            handset_config.lap.data_size_bits = 0x01;
            handset_config.lap.max_baud = 9600;
        }
        pc = std::make_unique<IrdaStackLink>(air.Line(0), Config(kPcAddress, "SORVANTO", {0x84, 0x20}), &air, seed);
        handset = std::make_unique<IrdaStackLink>(air.Line(1), handset_config, &air, seed + 1);
        pc_ = pc.get();
        handset_ = handset.get();
        pc->SetIdleHook([this] { Step(); });
        handset->SetIdleHook([this] { Step(); });
    }
    ~World() {
        pc->SetIdleHook(nullptr);
        if (handset) handset->SetIdleHook(nullptr);
    }
    IrdaStackLink* pc_ = nullptr;
    IrdaStackLink* handset_ = nullptr;

    void Step() {
        const Micros now = air.Now();
        Micros next = now + 5000;
        for (IrdaStackLink* link : {pc_, handset_})
            if (link && link->Stack().NextDeadline() && link->Stack().NextDeadline() < next)
                next = link->Stack().NextDeadline();
        if (air.NextArrival() && air.NextArrival() < next) next = air.NextArrival();
        air.AdvanceTo(std::max(next, now + 1));
        for (IrdaStackLink* link : {pc_, handset_})
            if (link) link->Service();
    }
    // The handset's link goes away (as when its session ends), running the world while it
    // closes down.
    void DropHandset() {
        handset.reset();
        handset_ = nullptr;
    }
    void RunFor(Micros d) {
        const Micros end = air.Now() + d;
        while (air.Now() < end) Step();
    }
};

// An OBEX PUT of an object, as the send jobs write it: CONNECT, PUTs with Body headers (the
// first with the Name), the last PUT, DISCONNECT, each one Send.
std::vector<std::vector<std::uint8_t>> ObexPackets(std::size_t object_size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::vector<std::uint8_t>> packets;
    packets.push_back({0x80, 0x00, 0x07, 0x10, 0x00, 0x02, 0x00});
    std::size_t left = object_size;
    bool first = true;
    while (left > 0) {
        std::vector<std::uint8_t> p{0x02, 0, 0};
        if (first) {
            const std::uint8_t name[] = {0x01, 0x00, 0x0B, 0x00, 'a', 0x00, '.', 0x00, 'b', 0x00, 0x00};
            p.insert(p.end(), name, name + sizeof name);
            first = false;
        }
        const std::size_t n = std::min<std::size_t>(left, 500 - p.size());
        p.push_back(0x48);
        p.push_back(static_cast<std::uint8_t>((n + 3) >> 8));
        p.push_back(static_cast<std::uint8_t>(n + 3));
        for (std::size_t i = 0; i < n; ++i) p.push_back(static_cast<std::uint8_t>(rng()));
        p[1] = static_cast<std::uint8_t>(p.size() >> 8);
        p[2] = static_cast<std::uint8_t>(p.size());
        packets.push_back(std::move(p));
        left -= n;
    }
    packets.push_back({0x82, 0x00, 0x06, 0x49, 0x00, 0x03});
    packets.push_back({0x81, 0x00, 0x03});
    return packets;
}

// The sender discovers the receiver, connects to its OBEX service and writes the packets; the
// receiver listens, accepts and reads until the sender closes. What it read is returned.
struct Transfer {
    std::vector<std::uint8_t> received;
    DeviceList devices{};
    bool connected = false;
    bool close_seen = false;
    int baud = 0;  // of the link while it carried the data
};

Transfer Push(IrdaStackLink& sender, IrdaStackLink& receiver,
              const std::vector<std::vector<std::uint8_t>>& packets) {
    Transfer t;
    const LinkSocket listener = receiver.CreateSocket();
    EXPECT_TRUE(receiver.Bind(listener));
    EXPECT_TRUE(receiver.Listen(listener, 1));
    const LinkEvent rx_event = receiver.CreateEvent();
    receiver.SelectEvents(listener, rx_event, kFdAccept | kFdClose);

    const LinkSocket client = sender.CreateSocket();
    const LinkEvent tx_event = sender.CreateEvent();
    sender.SelectEvents(client, tx_event, kFdRead | kFdConnect | kFdClose);
    // A lost XID answer leaves a discovery empty; a user would try again.
    for (int attempt = 0; attempt < 3 && DeviceCount(t.devices) == 0; ++attempt)
        EXPECT_TRUE(sender.EnumerateDevices(client, t.devices));
    if (DeviceCount(t.devices) < 1) return t;
    std::uint8_t address[4];
    DeviceAddress(t.devices, 0, address);
    EXPECT_TRUE(sender.Connect(client, address));
    NetworkEvents ev;
    for (int i = 0; i < 100 && !(ev.mask & kFdConnect); ++i)
        if (sender.WaitForEvent(tx_event, 100)) sender.QueryEvents(client, tx_event, &ev);
    if (!(ev.mask & kFdConnect) || ev.error[kFdConnectBit] != 0) return t;
    t.connected = true;

    NetworkEvents rev;
    for (int i = 0; i < 50 && !(rev.mask & kFdAccept); ++i)
        if (receiver.WaitForEvent(rx_event, 100)) receiver.QueryEvents(listener, rx_event, &rev);
    const LinkSocket data = receiver.Accept(listener);
    EXPECT_NE(data, kNoSocket);
    receiver.SelectEvents(data, rx_event, kFdRead | kFdClose);

    t.baud = sender.Stack().Station().Link().baud;
    for (const auto& p : packets) EXPECT_EQ(sender.Send(client, p.data(), static_cast<int>(p.size())), static_cast<int>(p.size()));
    sender.Close(client);

    std::uint8_t buffer[700];
    for (int i = 0; i < 3000 && !t.close_seen; ++i) {
        if (!receiver.WaitForEvent(rx_event, 100)) continue;
        NetworkEvents e;
        receiver.QueryEvents(data, rx_event, &e);
        if (e.mask & kFdRead) {
            // As a session does: one read per event, more only when it asks again.
            const int n = receiver.Recv(data, buffer, static_cast<int>(sizeof buffer));
            if (n > 0) t.received.insert(t.received.end(), buffer, buffer + n);
        }
        if (e.mask & kFdClose) t.close_seen = true;
    }
    EXPECT_EQ(receiver.Recv(data, buffer, 1), 0);  // closed, nothing left
    receiver.Close(data);
    receiver.Close(listener);
    receiver.CloseEvent(rx_event);
    sender.CloseEvent(tx_event);
    return t;
}

std::vector<std::uint8_t> Joined(const std::vector<std::vector<std::uint8_t>>& packets) {
    std::vector<std::uint8_t> all;
    for (const auto& p : packets) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(IrdaStackLink, HandsetPushesToThePcInVirtualTime) {
    World w(7);
    const auto packets = ObexPackets(6000, 1);
    const Transfer t = Push(*w.handset, *w.pc, packets);
    ASSERT_EQ(DeviceCount(t.devices), 1);
    // The entry as the device list lays it out: address as on air, name, hints, charset.
    EXPECT_EQ(DeviceName(t.devices, 0), "SORVANTO");
    const std::uint8_t* entry = t.devices.data() + 4;
    EXPECT_EQ(std::vector<std::uint8_t>(entry, entry + 4), (std::vector<std::uint8_t>{0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(entry[26], 0x84);
    EXPECT_EQ(entry[27], 0x20);
    ASSERT_TRUE(t.connected);
    EXPECT_TRUE(t.close_seen);
    EXPECT_EQ(t.received, Joined(packets));
    EXPECT_EQ(t.baud, 115200);
    // The link goes down after the last connection closed.
    w.RunFor(4'000'000);
    EXPECT_FALSE(w.pc->Stack().LinkConnected());
    EXPECT_FALSE(w.handset->Stack().LinkConnected());
}

TEST(IrdaStackLink, PcPushesToTheHandsetInVirtualTime) {
    World w(11);
    const auto packets = ObexPackets(3000, 2);
    const Transfer t = Push(*w.pc, *w.handset, packets);
    ASSERT_EQ(DeviceCount(t.devices), 1);
    EXPECT_EQ(DeviceName(t.devices, 0), "P504i");
    ASSERT_TRUE(t.connected);
    EXPECT_EQ(t.received, Joined(packets));
}

// At 64 bytes an I field holds 61 bytes of OBEX: every packet, and headers inside it, are cut
// across frames and joined again on the far side.
TEST(IrdaStackLink, SmallFramesCarryPacketsCutAcrossPdus) {
    World w(13, 0, true);
    const auto packets = ObexPackets(2500, 3);
    const Transfer t = Push(*w.pc, *w.handset, packets);
    ASSERT_TRUE(t.connected);
    EXPECT_EQ(t.received, Joined(packets));
    EXPECT_EQ(t.baud, 9600);
    EXPECT_GT(w.air.Bursts(), static_cast<int>(Joined(packets).size() / 61));
}

TEST(IrdaStackLink, ALinkThatGoesAwayDeliversWhatWasQueuedFirst) {
    World w(21, 0, true);
    IrdaStackLink& pc = *w.pc;
    IrdaStackLink& handset = *w.handset;
    const LinkSocket listener = pc.CreateSocket();
    ASSERT_TRUE(pc.Bind(listener) && pc.Listen(listener, 1));
    const LinkEvent ev = pc.CreateEvent();
    pc.SelectEvents(listener, ev, kFdAccept);
    const LinkSocket client = handset.CreateSocket();
    const LinkEvent hev = handset.CreateEvent();
    handset.SelectEvents(client, hev, kFdConnect);
    DeviceList list{};
    ASSERT_TRUE(handset.EnumerateDevices(client, list));
    std::uint8_t address[4];
    ASSERT_TRUE(DeviceAddress(list, 0, address));
    ASSERT_TRUE(handset.Connect(client, address));
    ASSERT_TRUE(handset.WaitForEvent(hev, 10000));
    ASSERT_TRUE(pc.WaitForEvent(ev, 1000));
    const LinkSocket data = pc.Accept(listener);
    ASSERT_NE(data, kNoSocket);
    pc.SelectEvents(data, ev, kFdRead | kFdClose);

    std::vector<std::uint8_t> sent(1500);
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_EQ(handset.Send(client, sent.data(), static_cast<int>(sent.size())), 1500);
    w.DropHandset();  // neither Close nor a wait: the link's own end sends it all

    std::vector<std::uint8_t> got;
    std::uint8_t buffer[256];
    for (;;) {
        const int n = pc.Recv(data, buffer, sizeof buffer);
        if (n == 0) break;
        if (n > 0) got.insert(got.end(), buffer, buffer + n);
        else w.Step();
    }
    EXPECT_EQ(got, sent);
    w.RunFor(1'000'000);
    EXPECT_FALSE(pc.Stack().LinkConnected());
}

// A lost SNRM or UA four times over fails the IrLAP connect, which a user would retry; every
// transfer that got connected must arrive whole.
TEST(IrdaStackLink, BytesArriveIdenticalUnderLoss) {
    int connected = 0;
    int hit = 0;
    for (std::uint32_t seed = 1; seed <= 16; ++seed) {
        World w(seed, 0.10);
        const auto packets = ObexPackets(4000, seed);
        const Transfer t = Push(*w.handset, *w.pc, packets);
        hit += w.air.Hit();
        if (!t.connected) continue;
        ++connected;
        EXPECT_EQ(t.received, Joined(packets)) << "seed " << seed;
        EXPECT_TRUE(t.close_seen) << "seed " << seed;
    }
    EXPECT_GE(connected, 14);
    EXPECT_GT(hit, 16 * 2);
}

TEST(IrdaStackLink, ConnectToADeviceWithoutObexIsRefused) {
    World w(9);
    // The handset listens on nothing: IAS answers, but no TinyTP listener takes the connect.
    const LinkSocket client = w.pc->CreateSocket();
    const LinkEvent ev = w.pc->CreateEvent();
    w.pc->SelectEvents(client, ev, kFdRead | kFdConnect | kFdClose);
    DeviceList list{};
    ASSERT_TRUE(w.pc->EnumerateDevices(client, list));
    ASSERT_EQ(DeviceCount(list), 1);
    std::uint8_t address[4];
    DeviceAddress(list, 0, address);
    ASSERT_TRUE(w.pc->Connect(client, address));
    NetworkEvents e;
    for (int i = 0; i < 100 && !(e.mask & kFdConnect); ++i)
        if (w.pc->WaitForEvent(ev, 100)) w.pc->QueryEvents(client, ev, &e);
    ASSERT_TRUE(e.mask & kFdConnect);
    EXPECT_EQ(e.error[kFdConnectBit], kLinkErrRefused);
    // An address that discovery did not find is refused at once.
    const std::uint8_t stranger[4] = {1, 2, 3, 4};
    const LinkSocket other = w.pc->CreateSocket();
    EXPECT_FALSE(w.pc->Connect(other, stranger));
}

}  // namespace
}  // namespace sorvanto::irda
