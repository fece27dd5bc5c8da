#include "irda/qos.h"

#include <algorithm>
#include <bit>

#include "irda/sir_codec.h"

namespace sorvanto::irda {

namespace {

constexpr int kBauds[] = {2400, 9600, 19200, 38400, 57600, 115200, 576000, 1152000, 4000000, 16000000};
constexpr int kMaxTurnaroundsMs[] = {500, 250, 100, 50};
constexpr int kDataSizes[] = {64, 128, 256, 512, 1024, 2048};
constexpr int kAdditionalBofs[] = {48, 24, 12, 5, 3, 2, 1, 0};
constexpr int kMinTurnaroundsUs[] = {10000, 5000, 1000, 500, 100, 50, 10, 0};
constexpr int kLinkDisconnectsS[] = {3, 8, 12, 16, 20, 25, 30, 40};

// Bytes per max turnaround (500, 250, 100, 50 ms) at each speed.
constexpr int kLineCapacities[][4] = {
    {100, 0, 0, 0},                   // 2400
    {400, 0, 0, 0},                   // 9600
    {800, 0, 0, 0},                   // 19200
    {1600, 0, 0, 0},                  // 38400
    {2360, 0, 0, 0},                  // 57600
    {4800, 2400, 960, 480},           // 115200
    {28800, 11520, 5760, 2880},       // 576000
    {57600, 28800, 11520, 5760},      // 1152000
    {200000, 100000, 40000, 20000},   // 4000000
    {800000, 400000, 160000, 80000},  // 16000000
};

template <std::size_t N>
int FromBits(unsigned bits, const int (&table)[N]) {
    bits &= (1u << N) - 1;
    if (bits == 0) return table[0];
    return table[std::bit_width(bits) - 1];
}

template <std::size_t N>
int IndexOf(int value, const int (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (table[i] == value) return static_cast<int>(i);
    return -1;
}

void PutParameter(std::vector<std::uint8_t>* out, std::uint8_t pi, std::uint16_t pv) {
    out->push_back(pi);
    if (pv > 0xFF) {
        out->push_back(2);
        out->push_back(static_cast<std::uint8_t>(pv & 0xFF));
        out->push_back(static_cast<std::uint8_t>(pv >> 8));
    } else {
        out->push_back(1);
        out->push_back(static_cast<std::uint8_t>(pv));
    }
}

}  // namespace

std::vector<std::uint8_t> Qos::Encode() const {
    std::vector<std::uint8_t> out;
    PutParameter(&out, kPiBaudRate, baud);
    PutParameter(&out, kPiMaxTurnaround, max_turnaround);
    PutParameter(&out, kPiDataSize, data_size);
    PutParameter(&out, kPiWindowSize, window);
    PutParameter(&out, kPiAdditionalBofs, additional_bofs);
    PutParameter(&out, kPiMinTurnaround, min_turnaround);
    PutParameter(&out, kPiLinkDisconnect, link_disconnect);
    return out;
}

bool Qos::Decode(const std::uint8_t* data, std::size_t n, Qos* out) {
    Qos q;
    std::size_t i = 0;
    while (i < n) {
        if (n - i < 2) return false;
        const std::uint8_t pi = data[i];
        const std::size_t pl = data[i + 1];
        i += 2;
        if (pl > n - i) return false;
        if (pl > 0) {
            // The value is little-endian; only the low two bytes carry defined bits.
            const std::uint16_t pv = static_cast<std::uint16_t>(data[i] | (pl > 1 ? data[i + 1] << 8 : 0));
            const std::uint8_t low = data[i];
            switch (pi) {
            case kPiBaudRate: q.baud = pv; break;
            case kPiMaxTurnaround: q.max_turnaround = low; break;
            case kPiDataSize: q.data_size = low; break;
            case kPiWindowSize: q.window = low; break;
            case kPiAdditionalBofs: q.additional_bofs = low; break;
            case kPiMinTurnaround: q.min_turnaround = low; break;
            case kPiLinkDisconnect: q.link_disconnect = low; break;
            default: break;
            }
        }
        i += pl;
    }
    *out = q;
    return true;
}

int BaudFromBits(std::uint16_t bits) { return FromBits(bits, kBauds); }
int MaxTurnaroundMsFromBits(std::uint8_t bits) { return FromBits(bits, kMaxTurnaroundsMs); }
int DataSizeFromBits(std::uint8_t bits) { return FromBits(bits & 0x3F, kDataSizes); }
int WindowFromBits(std::uint8_t bits) {
    bits &= 0x7F;
    return bits == 0 ? 1 : static_cast<int>(std::bit_width(static_cast<unsigned>(bits)));
}
int AdditionalBofsFromBits(std::uint8_t bits) { return FromBits(bits, kAdditionalBofs); }
int MinTurnaroundUsFromBits(std::uint8_t bits) { return FromBits(bits, kMinTurnaroundsUs); }
int LinkDisconnectSFromBits(std::uint8_t bits) { return FromBits(bits, kLinkDisconnectsS); }

std::uint16_t BaudBit(int baud) {
    const int i = IndexOf(baud, kBauds);
    return i < 0 ? 0 : static_cast<std::uint16_t>(1u << i);
}

int LineCapacity(int baud, int max_turnaround_ms) {
    const int b = IndexOf(baud, kBauds);
    const int t = IndexOf(max_turnaround_ms, kMaxTurnaroundsMs);
    if (b < 0 || t < 0) return 0;
    return kLineCapacities[b][t];
}

Qos CommonQos(const Qos& ours, const Qos& theirs) {
    Qos q = ours;
    q.baud = ours.baud & theirs.baud;
    if ((q.baud & 0x3FF) == 0) q.baud = kBaud9600;
    q.link_disconnect = ours.link_disconnect & theirs.link_disconnect;
    if (q.link_disconnect == 0) q.link_disconnect = 0x01;
    return q;
}

LinkParameters Negotiate(const Qos& ours, const Qos& theirs) {
    const Qos common = CommonQos(ours, theirs);
    LinkParameters p;
    p.baud = BaudFromBits(common.baud);
    p.link_disconnect_s = LinkDisconnectSFromBits(common.link_disconnect);
    p.tx_data_size = DataSizeFromBits(theirs.data_size);
    p.tx_window = WindowFromBits(theirs.window);
    p.tx_additional_bofs = AdditionalBofsFromBits(theirs.additional_bofs);
    // A stated 0 is raised a little: some handsets state it and then need a pause.
    p.tx_min_turnaround_us = std::max(MinTurnaroundUsFromBits(theirs.min_turnaround), 10);
    p.tx_max_turnaround_ms = MaxTurnaroundMsFromBits(theirs.max_turnaround);
    p.rx_max_turnaround_ms = MaxTurnaroundMsFromBits(ours.max_turnaround);
    p.rx_data_size = DataSizeFromBits(ours.data_size);
    p.rx_window = WindowFromBits(ours.window);
    if (p.baud < 115200) {
        p.tx_max_turnaround_ms = 500;
        p.rx_max_turnaround_ms = 500;
    }
    const int capacity = LineCapacity(p.baud, p.tx_max_turnaround_ms);
    const int turnaround_bytes = SirTurnaroundXbofs(p.baud, p.tx_min_turnaround_us);
    auto needed = [&] { return p.tx_window * (p.tx_data_size + 6 + p.tx_additional_bofs) + turnaround_bytes; };
    while (needed() > capacity) {
        if (p.tx_window > 1) {
            --p.tx_window;
        } else if (p.tx_data_size > 64) {
            p.tx_data_size /= 2;
        } else {
            break;
        }
    }
    return p;
}

}  // namespace sorvanto::irda
