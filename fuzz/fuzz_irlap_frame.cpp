// IrLAP frame and QoS readers on arbitrary bytes, and a station fed a stream of arbitrary
// frames in each of its roles.
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "irda/irlap_frame.h"
#include "irda/irlap_station.h"
#include "irda/qos.h"
#include "irda/sir_codec.h"

namespace {

using namespace sorvanto::irda;

constexpr uint32_t kOwn = 0x11223344;
constexpr uint32_t kPeer = 0xA1B2C3D4;
constexpr uint8_t kConnection = 0x52;

struct NullPort : FramePort {
    const IrlapStation* station = nullptr;
    bool SendFrame(const uint8_t* frame, size_t length, int xbofs) override {
        if (length < 2 || xbofs < 0) std::abort();
        // An I field never exceeds what the peer takes.
        if ((frame[1] & 1) == 0 && station && length - 2 > station->MaxIField() && station->Connected()) std::abort();
        return true;
    }
    bool SetSpeed(int) override { return true; }
    uint16_t SpeedMask() const override { return kBaudSirMask; }
};

struct NullUser : IrlapUser {
    IrlapStation* station = nullptr;
    void OnDiscoveryDone(const std::vector<DiscoveredDevice>&, Micros) override {}
    void OnConnectIndication(uint32_t, Micros) override {}
    void OnConnectConfirm(uint32_t, Micros) override {}
    void OnConnectFailed(Micros) override {}
    void OnData(const uint8_t*, size_t, Micros now) override { station->DataRequest({1, 2, 3}, now); }
    void OnDisconnect(int, Micros) override {}
};

void CheckReaders(const uint8_t* data, size_t size) {
    IrlapFrame f;
    if (IrlapFrame::Decode(data, size, &f) && f.info + f.info_length != data + size) std::abort();
    XidBody x;
    if (XidBody::Decode(data, size, &x) && x.nickname.size() > kMaxNickname) std::abort();
    SnrmBody s;
    SnrmBody::Decode(data, size, &s);
    UaBody u;
    UaBody::Decode(data, size, &u);
    FrmrBody fr;
    FrmrBody::Decode(data, size, &fr);
    Qos q;
    if (Qos::Decode(data, size, &q)) {
        Qos ours;
        ours.baud = kBaudSirMask;
        ours.data_size = 0x3F;
        ours.window = 0x7F;
        for (const LinkParameters& p : {Negotiate(ours, q), Negotiate(q, ours)}) {
            const int need = p.tx_window * (p.tx_data_size + 6 + p.tx_additional_bofs) + SirTurnaroundXbofs(p.baud, p.tx_min_turnaround_us);
            const int capacity = LineCapacity(p.baud, p.tx_max_turnaround_ms);
            if (need > capacity && (p.tx_window > 1 || p.tx_data_size > 64) && capacity > 0) std::abort();
            if (p.tx_window < 1 || p.tx_window > 7 || p.tx_data_size < 64 || p.tx_data_size > 2048) std::abort();
        }
        std::vector<uint8_t> again = q.Encode();
        Qos back;
        if (!Qos::Decode(again.data(), again.size(), &back) || !(back == q)) std::abort();
    }
}

void Feed(IrlapStation& st, Micros& now, const std::vector<uint8_t>& frame) {
    st.OnFrame(frame.data(), frame.size(), now);
}

void RunStation(int role, const uint8_t* data, size_t size) {
    NullPort port;
    IrlapConfig config;
    config.address = kOwn;
    config.connection_address = kConnection;
    IrlapStation st(config, &port, std::mt19937(size));
    port.station = &st;
    NullUser user;
    user.station = &st;
    st.SetUser(&user);
    Micros now = 1000;
    st.OnTimer(now);
    now += 600000;
    st.OnTimer(now);

    Qos peer_qos;
    peer_qos.baud = kBaudSirMask;
    peer_qos.data_size = 0x3F;
    peer_qos.window = 0x7F;
    if (role == 1) {
        // Secondary: a peer connects to us.
        SnrmBody s{kPeer, kOwn, kConnection, peer_qos};
        Feed(st, now, EncodeUFrame(kBroadcastConnection, true, kSnrm, true, s.Encode()));
    } else if (role == 2) {
        // Primary: we connect, the peer accepts.
        st.ConnectRequest(kPeer, now);
        UaBody u{kPeer, kOwn, peer_qos};
        Feed(st, now, EncodeUFrame(kConnection, false, kUa, true, u.Encode()));
    } else if (role == 3) {
        st.DiscoveryRequest(6, now);
    }

    size_t i = 0;
    while (i + 2 <= size) {
        const uint8_t header = data[i];
        const size_t length = data[i + 1];
        i += 2;
        now += (header >> 3) * 20000u;
        if (st.NextDeadline() != 0 && st.NextDeadline() <= now) st.OnTimer(now);
        if ((header & 7) == 7) {
            st.OnMediaBusy(now);
            continue;
        }
        if ((header & 7) == 6) {
            st.DataRequest(std::vector<uint8_t>(length, 0x5A), now);
            continue;
        }
        const size_t n = length < size - i ? length : size - i;
        std::vector<uint8_t> frame(data + i, data + i + n);
        i += n;
        // Most frames get an address the station listens to, so the fuzzer reaches the link.
        if (!frame.empty()) {
            switch (header & 7) {
            case 1: frame[0] = AddressByte(kConnection, true); break;
            case 2: frame[0] = AddressByte(kConnection, false); break;
            case 3: frame[0] = AddressByte(kBroadcastConnection, (frame[0] & 1) != 0); break;
            default: break;
            }
        }
        Feed(st, now, frame);
        if (st.QueuedFrames() > IrlapStation::kMaxQueued + 7) std::abort();
    }
    // Time runs on until the station has nothing left to wait for; it must get there.
    for (int k = 0; k < 1000 && st.NextDeadline() != 0; ++k) {
        now = st.NextDeadline() > now ? st.NextDeadline() : now + 1;
        st.OnTimer(now);
    }
    if (st.Connected() || st.NextDeadline() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckReaders(data, size);
    if (size > 0) RunStation(data[0] & 3, data + 1, size - 1);
    return 0;
}
