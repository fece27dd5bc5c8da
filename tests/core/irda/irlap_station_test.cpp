#include "irda/irlap_station.h"

#include <gtest/gtest.h>

#include <string>

#include "hex_bytes.h"
#include "sim_line.h"

namespace sorvanto::irda {
namespace {

using test::Hex;
using test::SimLine;
using test::ToHex;

constexpr Micros kSecond = 1000000;
constexpr std::uint32_t kPc = 0x11223344;
constexpr std::uint32_t kHandset = 0xA1B2C3D4;

struct Recorder : IrlapUser {
    std::vector<DiscoveredDevice> found;
    int discoveries = 0;
    int indications = 0, confirms = 0, failures = 0, warnings = 0;
    std::vector<int> disconnects;
    Micros disconnect_time = 0;
    std::vector<std::vector<std::uint8_t>> data;
    std::function<void(const std::vector<std::uint8_t>&)> on_data;
    std::function<void()> on_up;

    void OnDiscoveryDone(const std::vector<DiscoveredDevice>& d, Micros) override {
        found = d;
        ++discoveries;
    }
    void OnConnectIndication(std::uint32_t, Micros) override {
        ++indications;
        if (on_up) on_up();
    }
    void OnConnectConfirm(std::uint32_t, Micros) override {
        ++confirms;
        if (on_up) on_up();
    }
    void OnConnectFailed(Micros) override { ++failures; }
    void OnData(const std::uint8_t* p, std::size_t n, Micros) override {
        data.emplace_back(p, p + n);
        if (on_data) on_data(data.back());
    }
    void OnDisconnect(int reason, Micros now) override {
        disconnects.push_back(reason);
        disconnect_time = now;
    }
    void OnLinkWarning(Micros) override { ++warnings; }
};

IrlapConfig PcConfig() {
    IrlapConfig c;
    c.address = kPc;
    c.nickname = "PC";
    c.min_turnaround_us = 0;
    c.connection_address = 0x52;
    return c;
}

IrlapConfig HandsetConfig() {
    IrlapConfig c;
    c.address = kHandset;
    c.nickname = "P504i";
    c.hints = {0x82, 0x21};
    return c;
}

// A PC (end 0) and a handset (end 1) on one simulated line.
struct Pair {
    explicit Pair(std::uint32_t seed, IrlapConfig pc_config = PcConfig(), IrlapConfig handset_config = HandsetConfig())
        : line(seed),
          pc(pc_config, line.Port(0), std::mt19937(seed + 1)),
          handset(handset_config, line.Port(1), std::mt19937(seed + 2)) {
        pc.SetUser(&pc_user);
        handset.SetUser(&handset_user);
        line.Attach(0, &pc);
        line.Attach(1, &handset);
    }
    bool Connect() {
        const int before = pc_user.confirms + pc_user.failures;
        pc.ConnectRequest(kHandset, line.Now());
        return line.RunUntil([&] { return pc_user.confirms + pc_user.failures > before && handset.Connected(); },
                             line.Now() + 10 * kSecond);
    }
    std::vector<std::vector<std::uint8_t>> FramesFrom(int end) const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& s : line.Log())
            if (s.from == end) out.push_back(s.frame);
        return out;
    }

    SimLine line;
    IrlapStation pc;
    IrlapStation handset;
    Recorder pc_user;
    Recorder handset_user;
};

std::string Trace(const SimLine& line) {
    std::string s;
    for (const auto& f : line.Log())
        s += std::to_string(f.start / 1000) + "ms " + (f.from ? "H " : "P ") + std::to_string(f.baud) + (f.delivered ? " " : " x ") +
             ToHex(std::vector<std::uint8_t>(f.frame.begin(), f.frame.begin() + std::min<std::size_t>(f.frame.size(), 14))) + "\n";
    return s;
}

// The example session, frame by frame: discovery, SNRM, UA, the first polls and I frames.
TEST(IrlapStation, ExampleSession) {
    Pair p(28);
    const auto lm_connect = Hex("80 10 01 00");
    const auto lm_confirm = Hex("10 80 81 00");
    const auto ias_request = Hex("00 10 84 04 \"OBEX\" 13 \"IrDA:TinyTP:LsapSel\"");
    const auto ias_response = Hex("10 00 84 00 0001 1234 01 00000005");
    const auto lm_disconnect = Hex("80 10 02 01");
    const auto ttp_connect = Hex("85 11 01 00 0E");
    const auto ttp_confirm = Hex("91 05 81 00 87 04 01 02 0000");
    const auto obex = Hex("05 11 00 80 0007 10 00 0800");
    p.handset_user.on_data = [&](const std::vector<std::uint8_t>& d) {
        if (d == lm_connect) p.handset.DataRequest(lm_confirm, p.line.Now());
        if (d == ias_request) p.handset.DataRequest(ias_response, p.line.Now());
        if (d == ttp_connect) p.handset.DataRequest(ttp_confirm, p.line.Now());
    };
    p.pc_user.on_data = [&](const std::vector<std::uint8_t>& d) {
        if (d == lm_confirm) p.pc.DataRequest(ias_request, p.line.Now());
        if (d == ias_response) {
            p.pc.DataRequest(lm_disconnect, p.line.Now());
            p.pc.DataRequest(ttp_connect, p.line.Now());
        }
        if (d == ttp_confirm) p.pc.DataRequest(obex, p.line.Now());
    };

    p.pc.DiscoveryRequest(6, 0);
    ASSERT_TRUE(p.line.RunUntil([&] { return p.pc_user.discoveries > 0; }, 5 * kSecond));
    ASSERT_EQ(p.pc_user.found.size(), 1u);
    EXPECT_EQ(p.pc_user.found[0].address, kHandset);
    EXPECT_EQ(p.pc_user.found[0].nickname, "P504i");
    EXPECT_EQ(p.pc_user.found[0].hints, (std::vector<std::uint8_t>{0x82, 0x21}));

    p.pc_user.on_up = [&] { p.pc.DataRequest(lm_connect, p.line.Now()); };
    ASSERT_TRUE(p.Connect()) << Trace(p.line);
    ASSERT_TRUE(p.line.RunUntil([&] { return p.handset_user.data.size() == 5 && p.pc_user.data.size() == 3; }, p.line.Now() + 5 * kSecond))
        << Trace(p.line);
    EXPECT_EQ(p.pc_user.data.size(), 3u);

    const auto pc_frames = p.FramesFrom(0);
    const auto handset_frames = p.FramesFrom(1);
    // Six slots, then the final command with our discovery info.
    ASSERT_GE(pc_frames.size(), 14u);
    EXPECT_EQ(ToHex(pc_frames[0]), ToHex(Hex("FF 3F 01 44332211 FFFFFFFF 01 00 00")));
    for (int i = 1; i < 6; ++i) EXPECT_EQ(pc_frames[i][12], i);
    EXPECT_EQ(ToHex(pc_frames[6]), ToHex(Hex("FF 3F 01 44332211 FFFFFFFF 01 FF 00 84 20 00 \"PC\"")));
    // The handset answered once, in one of the slots.
    auto response = handset_frames.at(0);
    ASSERT_EQ(response.size(), 22u);
    EXPECT_LT(response[12], 6);
    response[12] = 0;
    EXPECT_EQ(ToHex(response), ToHex(Hex("FE BF 01 D4C3B2A1 44332211 01 00 00 82 21 00 \"P504i\"")));
    EXPECT_EQ(ToHex(pc_frames[7]),
              ToHex(Hex("FF 93 44332211 D4C3B2A1 A4 01013E 820101 83013F 84017F 8501FF 8601FF 080107")));
    const auto& ua = handset_frames.at(1);
    EXPECT_EQ(ToHex(std::vector<std::uint8_t>(ua.begin(), ua.begin() + 10)), ToHex(Hex("A4 73 D4C3B2A1 44332211")));
    EXPECT_EQ(ToHex(std::vector<std::uint8_t>(ua.begin() + 10, ua.end())),
              ToHex(Hex("01013E 820101 83013F 84017F 8501FF 860107 080107")));

    std::vector<std::string> link;
    for (std::size_t i = 8; i < pc_frames.size(); ++i) link.push_back(ToHex(pc_frames[i]));
    const std::vector<std::string> pc_expected = {
        "a5 11", "a5 10 " + ToHex(lm_connect), "a5 32 " + ToHex(ias_request), "a5 44 " + ToHex(lm_disconnect),
        "a5 56 " + ToHex(ttp_connect), "a5 78 " + ToHex(obex)};
    ASSERT_GE(link.size(), pc_expected.size());
    for (std::size_t i = 0; i < pc_expected.size(); ++i) EXPECT_EQ(link[i], pc_expected[i]);
    const std::vector<std::string> handset_expected = {"a4 11", "a4 30 " + ToHex(lm_confirm), "a4 52 " + ToHex(ias_response),
                                                       "a4 94 " + ToHex(ttp_confirm), "a4 b1"};
    ASSERT_GE(handset_frames.size(), 2 + handset_expected.size());
    for (std::size_t i = 0; i < handset_expected.size(); ++i) EXPECT_EQ(ToHex(handset_frames[2 + i]), handset_expected[i]);

    // SNRM and UA at 9600, everything after at 115200.
    for (const auto& s : p.line.Log()) {
        if (s.frame[0] == 0xFF || s.frame[0] == 0xFE || s.frame[1] == 0x73) {
            EXPECT_EQ(s.baud, 9600);
        } else {
            EXPECT_EQ(s.baud, 115200);
        }
    }
    EXPECT_EQ(p.pc.Link().baud, 115200);
    EXPECT_EQ(p.pc.Link().tx_window, 2);  // 2 KB frames: the line holds two per turn
    EXPECT_EQ(p.handset.Link().tx_min_turnaround_us, 10);
    EXPECT_EQ(p.pc.Link().tx_min_turnaround_us, 1000);
}

std::vector<std::uint8_t> Payload(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

// Offers data in pieces of at most MaxIField while the queue takes it.
struct Feeder {
    IrlapStation* station;
    std::vector<std::uint8_t> data;
    std::size_t offset = 0;
    void Pump(Micros now) {
        while (offset < data.size() && station->Connected()) {
            const std::size_t n = std::min(station->MaxIField(), data.size() - offset);
            if (!station->DataRequest(std::vector<std::uint8_t>(data.begin() + offset, data.begin() + offset + n), now)) break;
            offset += n;
        }
    }
};

std::vector<std::uint8_t> Joined(const std::vector<std::vector<std::uint8_t>>& parts) {
    std::vector<std::uint8_t> v;
    for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
    return v;
}

struct Profile {
    std::uint16_t baud_mask;
    std::uint8_t data_bits;
    int window;
    int baud, data, tx_window;
};

// Kilobytes both ways, intact and in order, under loss, bit errors and noise, for the profiles a
// 2002 handset may state.
TEST(IrlapStation, TransfersBothWaysUnderImpairments) {
    const Profile profiles[] = {
        {0x02, 0x01, 1, 9600, 64, 1},
        {0x02, 0x07, 1, 9600, 256, 1},
        {0x0E, 0x1F, 1, 38400, 1024, 1},
        {0x3E, 0x3F, 7, 115200, 2048, 2},
    };
    for (const Profile& profile : profiles) {
        for (std::uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE("baud " + std::to_string(profile.baud) + " seed " + std::to_string(seed));
            IrlapConfig handset = HandsetConfig();
            handset.baud_mask = profile.baud_mask;
            handset.data_size_bits = profile.data_bits;
            handset.window = profile.window;
            Pair p(seed, PcConfig(), handset);
            p.line.frame_loss = 0.05;
            p.line.bit_error_rate = 1e-5;
            p.line.noise_chance = 0.02;
            ASSERT_TRUE(p.Connect());
            ASSERT_EQ(p.pc_user.confirms, 1);
            EXPECT_EQ(p.pc.Link().baud, profile.baud);
            EXPECT_EQ(p.pc.Link().tx_data_size, profile.data);
            EXPECT_EQ(p.pc.Link().tx_window, profile.tx_window);
            EXPECT_EQ(p.handset.Link().tx_data_size, 2048 >> (profile.baud == 9600 ? 3 : profile.baud == 38400 ? 1 : 0));

            std::mt19937 rng(seed);
            Feeder up{&p.pc, Payload(rng, 6000)};
            Feeder down{&p.handset, Payload(rng, 5000)};
            p.line.AddTimer([] { return Micros{0}; }, [](Micros) {});
            const bool done = p.line.RunUntil(
                [&] {
                    up.Pump(p.line.Now());
                    down.Pump(p.line.Now());
                    return Joined(p.handset_user.data).size() >= up.data.size() && Joined(p.pc_user.data).size() >= down.data.size();
                },
                p.line.Now() + 120 * kSecond);
            ASSERT_TRUE(done) << Trace(p.line).substr(0, 4000);
            EXPECT_EQ(Joined(p.handset_user.data), up.data);
            EXPECT_EQ(Joined(p.pc_user.data), down.data);
            EXPECT_TRUE(p.pc_user.disconnects.empty());

            // What each side sent kept to the peer's limits.
            for (const auto& s : p.line.Log()) {
                if ((s.frame[1] & 1) == 0) {
                    const IrlapStation& sender = s.from == 0 ? p.pc : p.handset;
                    EXPECT_LE(s.frame.size() - 2, static_cast<std::size_t>(sender.Link().tx_data_size));
                }
            }
            // I frames per turn: the poll bit closes a turn.
            int run = 0;
            int worst = 0;
            for (const auto& s : p.line.Log()) {
                if (s.from != 0) continue;
                if ((s.frame[1] & 1) == 0) worst = std::max(worst, ++run);
                if (s.frame[1] & kPfBit) run = 0;
            }
            EXPECT_LE(worst, profile.tx_window);

            // A clean close: DISC, UA, both back to the contention defaults.
            p.pc.DisconnectRequest(p.line.Now());
            ASSERT_TRUE(p.line.RunUntil([&] { return !p.pc_user.disconnects.empty() && !p.handset_user.disconnects.empty(); },
                                        p.line.Now() + 20 * kSecond));
            EXPECT_EQ(p.pc_user.disconnects[0], kDisconnectRequested);
            EXPECT_EQ(p.handset_user.disconnects[0], kDisconnectByPeer);
            for (const IrlapStation* s : {&p.pc, &p.handset}) {
                EXPECT_FALSE(s->Connected());
                EXPECT_EQ(s->Link().baud, 9600);
                EXPECT_EQ(s->Link().tx_data_size, 64);
                EXPECT_EQ(s->Link().tx_window, 1);
            }
            p.line.RunFor(kSecond);
            EXPECT_EQ(p.line.Speed(0), 9600);
            EXPECT_EQ(p.line.Speed(1), 9600);
        }
    }
}

TEST(IrlapStation, LostUaIsRetriedThenFailsCleanly) {
    for (std::uint32_t seed : {5u, 6u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Pair p(seed);
        p.line.drop = [](int from, const std::vector<std::uint8_t>& f) { return from == 1 && (f[1] & ~kPfBit) == kUa; };
        p.pc.ConnectRequest(kHandset, 0);
        ASSERT_TRUE(p.line.RunUntil([&] { return p.pc_user.failures > 0 && !p.handset.Connected(); }, 20 * kSecond)) << Trace(p.line);
        int snrms = 0;
        for (const auto& f : p.FramesFrom(0)) snrms += f[1] == (kSnrm | kPfBit);
        EXPECT_EQ(snrms, 1 + IrlapStation::kConnectRetries);
        EXPECT_EQ(p.pc_user.confirms, 0);
        EXPECT_EQ(p.pc_user.failures, 1);
        EXPECT_FALSE(p.pc.Connected());

        // Once the beam is clear, the next attempt gets through.
        p.line.drop = nullptr;
        p.line.RunFor(kSecond);
        ASSERT_TRUE(p.Connect());
        EXPECT_EQ(p.pc_user.confirms, 1) << Trace(p.line);
    }
}

TEST(IrlapStation, CutBeamEndsTheLinkAfterTheDisconnectTime) {
    Pair p(11);
    ASSERT_TRUE(p.Connect());
    std::mt19937 rng(3);
    Feeder up{&p.pc, Payload(rng, 100000)};
    p.line.AddTimer([] { return Micros{0}; }, [](Micros) {});
    p.line.RunUntil([&] {
        up.Pump(p.line.Now());
        return p.handset_user.data.size() > 3;
    }, p.line.Now() + 10 * kSecond);
    p.line.cut = true;
    const Micros cut_at = p.line.Now();
    ASSERT_TRUE(p.line.RunUntil([&] { return !p.pc_user.disconnects.empty() && !p.handset_user.disconnects.empty(); },
                                cut_at + 30 * kSecond));
    EXPECT_EQ(p.pc_user.disconnects[0], kDisconnectLinkLost);
    EXPECT_EQ(p.handset_user.disconnects[0], kDisconnectLinkLost);
    EXPECT_EQ(p.pc_user.warnings, 1);
    EXPECT_EQ(p.handset_user.warnings, 1);
    // 12 s negotiated, give or take one timer period.
    EXPECT_GE(p.pc_user.disconnect_time, cut_at + 11 * kSecond);
    EXPECT_LE(p.pc_user.disconnect_time, cut_at + 14 * kSecond);
    EXPECT_GE(p.handset_user.disconnect_time, cut_at + 11 * kSecond);
    EXPECT_LE(p.handset_user.disconnect_time, cut_at + 14 * kSecond);
    EXPECT_FALSE(p.pc.Connected());
    EXPECT_EQ(p.pc.QueuedFrames(), 0u);
    EXPECT_FALSE(p.pc.DataRequest({1, 2, 3}, p.line.Now()));
}

// A port that only remembers what it was asked to send.
struct RecordingPort : FramePort {
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<int> xbofs;
    bool SendFrame(const std::uint8_t* f, std::size_t n, int x) override {
        frames.emplace_back(f, f + n);
        xbofs.push_back(x);
        return true;
    }
    bool SetSpeed(int) override { return true; }
    std::uint16_t SpeedMask() const override { return kBaudSirMask; }
};

TEST(IrlapStation, BusyMediumHoldsOffDiscoveryAndConnect) {
    RecordingPort port;
    IrlapStation pc(PcConfig(), &port, std::mt19937(1));
    Recorder user;
    pc.SetUser(&user);
    std::vector<Micros> sent_at;
    pc.SetCaptureTap([&](bool sent, const std::uint8_t*, std::size_t, Micros now) {
        if (sent) sent_at.push_back(now);
    });
    // Listening starts with a busy medium; stray bytes at 400 ms extend it.
    pc.DiscoveryRequest(6, 0);
    EXPECT_TRUE(port.frames.empty());
    EXPECT_EQ(pc.NextDeadline(), IrlapStation::kMediaBusyTime);
    pc.OnMediaBusy(400000);
    pc.OnTimer(500000);
    EXPECT_TRUE(port.frames.empty());
    EXPECT_EQ(pc.NextDeadline(), 900000u);
    for (Micros t = 900000; user.discoveries == 0 && t < 5 * kSecond; t = std::max(t + 1, pc.NextDeadline())) pc.OnTimer(t);
    ASSERT_EQ(port.frames.size(), 7u);
    EXPECT_EQ(sent_at[0], 900000u);
    EXPECT_EQ(port.xbofs[0], 12);
    EXPECT_TRUE(user.found.empty());
    // Slots 90 ms apart once each command has left.
    for (std::size_t i = 1; i < sent_at.size(); ++i) EXPECT_GT(sent_at[i] - sent_at[i - 1], IrlapStation::kSlotTime);

    // A medium that never clears: the discovery gives up with nothing found.
    pc.OnMediaBusy(2 * kSecond);
    pc.DiscoveryRequest(6, 2 * kSecond);
    for (Micros t = 2 * kSecond; t < 6 * kSecond; t += 100000) {
        pc.OnMediaBusy(t);
        pc.OnTimer(t);
    }
    EXPECT_EQ(user.discoveries, 2);
    EXPECT_EQ(port.frames.size(), 7u);

    // A responder keeps quiet for 100 ms after the final discovery command.
    RecordingPort hport;
    IrlapStation handset(HandsetConfig(), &hport, std::mt19937(2));
    handset.OnTimer(0);
    XidBody x;
    x.source = kPc;
    x.slots = 1;
    auto cmd = EncodeUFrame(kBroadcastConnection, true, kXidCommand, true, x.Encode());
    handset.OnFrame(cmd.data(), cmd.size(), kSecond);
    ASSERT_EQ(hport.frames.size(), 1u);  // one slot: the answer comes at once
    x.slot = kXidFinalSlot;
    x.has_info = true;
    cmd = EncodeUFrame(kBroadcastConnection, true, kXidCommand, true, x.Encode());
    handset.OnFrame(cmd.data(), cmd.size(), kSecond + 50000);
    handset.OnFrame(cmd.data(), cmd.size(), kSecond + 60000);
    EXPECT_EQ(hport.frames.size(), 1u);
    handset.ConnectRequest(kPc, kSecond + 60000);
    EXPECT_EQ(hport.frames.size(), 1u);
    EXPECT_EQ(handset.NextDeadline(), kSecond + 60000 + IrlapStation::kSmallBusyTime);
    handset.OnTimer(handset.NextDeadline());
    ASSERT_EQ(hport.frames.size(), 2u);
    EXPECT_EQ(hport.frames[1][1], kSnrm | kPfBit);
}

// Frames a secondary must refuse: an N(R) acknowledging frames never sent, an I field past the
// negotiated size. It answers FRMR; the primary then ends the link.
TEST(IrlapStation, ProtocolErrorsEndTheLink) {
    for (int bad : {0, 1}) {
        SCOPED_TRACE(bad);
        IrlapConfig handset = HandsetConfig();
        handset.data_size_bits = 0x07;  // takes 256 bytes
        Pair p(40 + bad, PcConfig(), handset);
        ASSERT_TRUE(p.Connect());
        p.line.RunFor(kSecond);
        ASSERT_TRUE(p.handset.Connected());
        std::vector<std::uint8_t> frame;
        if (bad == 0) {
            frame = EncodeIFrame(0x52, true, 0, 5, true, nullptr, 0);
        } else {
            const std::vector<std::uint8_t> big(257, 0x55);
            frame = EncodeIFrame(0x52, true, 0, 0, true, big.data(), big.size());
        }
        p.handset.OnFrame(frame.data(), frame.size(), p.line.Now());
        ASSERT_TRUE(p.line.RunUntil([&] { return !p.pc_user.disconnects.empty() && !p.handset_user.disconnects.empty(); },
                                    p.line.Now() + 5 * kSecond))
            << Trace(p.line);
        EXPECT_EQ(p.pc_user.disconnects[0], kDisconnectProtocol);
        EXPECT_EQ(p.handset_user.disconnects[0], kDisconnectProtocol);
        EXPECT_TRUE(p.handset_user.data.empty());
        bool frmr = false;
        for (const auto& f : p.FramesFrom(1))
            if (f[1] == (kFrmr | kPfBit)) {
                frmr = true;
                EXPECT_EQ(f[4], bad == 0 ? kFrmrInvalidNr : kFrmrInfoTooLong);
            }
        EXPECT_TRUE(frmr);
        EXPECT_EQ(ToHex(p.FramesFrom(0).back()), "a5 53");
    }
}

// The secondary asks to go (RD); the primary sends DISC.
TEST(IrlapStation, SecondaryDisconnectGoesThroughRd) {
    Pair p(50);
    ASSERT_TRUE(p.Connect());
    p.line.RunFor(kSecond);
    p.handset.DisconnectRequest(p.line.Now());
    ASSERT_TRUE(p.line.RunUntil([&] { return !p.pc_user.disconnects.empty() && !p.handset_user.disconnects.empty(); },
                                p.line.Now() + 5 * kSecond));
    EXPECT_EQ(p.handset_user.disconnects[0], kDisconnectRequested);
    EXPECT_EQ(p.pc_user.disconnects[0], kDisconnectByPeer);
    const auto h = p.FramesFrom(1);
    ASSERT_GE(h.size(), 2u);
    EXPECT_EQ(ToHex(h[h.size() - 2]), "a4 53");  // RD
    EXPECT_EQ(ToHex(h.back()), "a4 73");         // UA to the DISC
}

}  // namespace
}  // namespace sorvanto::irda
