#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// IrLAP quality of service: the PI/PL/PV list carried in SNRM and UA, and the negotiation that
// turns both stations' lists into the parameters each one sends with.
namespace sorvanto::irda {

inline constexpr std::uint8_t kPiBaudRate = 0x01;
inline constexpr std::uint8_t kPiMaxTurnaround = 0x82;
inline constexpr std::uint8_t kPiDataSize = 0x83;
inline constexpr std::uint8_t kPiWindowSize = 0x84;
inline constexpr std::uint8_t kPiAdditionalBofs = 0x85;
inline constexpr std::uint8_t kPiMinTurnaround = 0x86;
inline constexpr std::uint8_t kPiLinkDisconnect = 0x08;

// Baud-rate bits (PI 0x01): bit 0 2400, bit 1 9600 ... bit 5 115200.
inline constexpr std::uint16_t kBaud9600 = 0x0002;
inline constexpr std::uint16_t kBaudSirMask = 0x003E;  // 9600 to 115200

// One station's parameter bits, as sent or received. Every field holds PV bits; for the type 1
// parameters a station sets every value it can take, so the highest set bit is its limit.
struct Qos {
    std::uint16_t baud = kBaud9600;    // type 0: both masks ANDed
    std::uint8_t max_turnaround = 0x01;  // 500, 250, 100, 50 ms
    std::uint8_t data_size = 0x01;       // 64, 128, 256, 512, 1024, 2048 bytes
    std::uint8_t window = 0x01;          // 1 ... 7 frames
    std::uint8_t additional_bofs = 0x04; // 48, 24, 12, 5, 3, 2, 1, 0
    std::uint8_t min_turnaround = 0x01;  // 10, 5, 1, 0.5, 0.1, 0.05, 0.01, 0 ms
    std::uint8_t link_disconnect = 0x01; // type 0: 3, 8, 12, 16, 20, 25, 30, 40 s

    bool operator==(const Qos&) const = default;

    // The PI/PL/PV list, every parameter present, each PV in the fewest bytes that hold it.
    std::vector<std::uint8_t> Encode() const;
    // Reads a list; parameters left out keep the IrLAP defaults above, unknown PIs and
    // parameters with PL 0 are skipped. False (and *out untouched) when a PL runs past the end.
    static bool Decode(const std::uint8_t* data, std::size_t n, Qos* out);
};

// Values behind the bits (the highest set bit wins; no bit gives the lowest value).
int BaudFromBits(std::uint16_t bits);
int MaxTurnaroundMsFromBits(std::uint8_t bits);
int DataSizeFromBits(std::uint8_t bits);
int WindowFromBits(std::uint8_t bits);
int AdditionalBofsFromBits(std::uint8_t bits);
int MinTurnaroundUsFromBits(std::uint8_t bits);
int LinkDisconnectSFromBits(std::uint8_t bits);
// The bit of a baud rate, 0 when it has none.
std::uint16_t BaudBit(int baud);

// Bytes the line carries within one max turnaround time at a speed (0 for combinations IrLAP
// forbids, such as less than 500 ms below 115200).
int LineCapacity(int baud, int max_turnaround_ms);

// What one station uses on a link after SNRM and UA.
struct LinkParameters {
    int baud = 9600;
    int tx_data_size = 64;       // the I field we may send: the peer's limit, cut to the line
    int tx_window = 1;
    int tx_additional_bofs = 0;  // the peer's need
    int tx_min_turnaround_us = 10000;  // the peer's need, before each of our turns
    int tx_max_turnaround_ms = 500;    // how long the peer lets us keep the line (P-timer)
    int rx_max_turnaround_ms = 500;    // how long we let the peer keep it (F-timer)
    int rx_data_size = 64;       // the I field we said we take
    int rx_window = 1;
    int link_disconnect_s = 3;
};

// The common baud-rate and link-disconnect bits of two lists (what the secondary's UA states).
Qos CommonQos(const Qos& ours, const Qos& theirs);
// Type 0 parameters ANDed (9600 and 3 s when nothing is common), type 1 parameters as the
// peer states them, then our sending side fitted to the line: below 115200 only 500 ms, and
// window×(data+6+BOFs)+turnaround bytes within the line capacity, the window cut first.
LinkParameters Negotiate(const Qos& ours, const Qos& theirs);

}  // namespace sorvanto::irda
