#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "irda/qos.h"

// IrLAP frames from the address byte on (no FCS): building them and reading them back. Readers
// take bytes from the line and check every length before use.
namespace sorvanto::irda {

// The address byte: connection address in bits 7..1, bit 0 set on commands (from the primary).
inline constexpr std::uint8_t kBroadcastConnection = 0x7F;
inline constexpr std::uint8_t kCommandBit = 0x01;
inline constexpr std::uint8_t kPfBit = 0x10;
inline constexpr std::uint32_t kBroadcastDevice = 0xFFFFFFFF;

// Control values without P/F (and, for S frames, without N(R)).
inline constexpr std::uint8_t kRr = 0x01;
inline constexpr std::uint8_t kRnr = 0x05;
inline constexpr std::uint8_t kRej = 0x09;
inline constexpr std::uint8_t kSrej = 0x0D;
inline constexpr std::uint8_t kSnrm = 0x83;  // RNRM as a response
inline constexpr std::uint8_t kDisc = 0x43;  // RD as a response
inline constexpr std::uint8_t kUa = 0x63;
inline constexpr std::uint8_t kDm = 0x0F;
inline constexpr std::uint8_t kFrmr = 0x87;
inline constexpr std::uint8_t kUi = 0x03;
inline constexpr std::uint8_t kXidCommand = 0x2F;
inline constexpr std::uint8_t kXidResponse = 0xAF;
inline constexpr std::uint8_t kTest = 0xE3;

inline constexpr std::uint8_t kXidFormat = 0x01;  // the discovery format identifier
inline constexpr std::uint8_t kXidFinalSlot = 0xFF;
inline constexpr std::size_t kMaxNickname = 21;

// FRMR reason bits.
inline constexpr std::uint8_t kFrmrUndefinedControl = 0x01;  // W
inline constexpr std::uint8_t kFrmrInfoNotAllowed = 0x02;    // X
inline constexpr std::uint8_t kFrmrInfoTooLong = 0x04;       // Y
inline constexpr std::uint8_t kFrmrInvalidNr = 0x08;         // Z

// One received frame, pointing into the caller's bytes.
struct IrlapFrame {
    enum class Kind { kI, kS, kU };
    Kind kind = Kind::kU;
    std::uint8_t connection = 0;  // 7-bit connection address
    bool command = false;
    bool pf = false;
    std::uint8_t control = 0;     // the control byte as received
    std::uint8_t type = 0;        // S and U: the control value without P/F and N(R)
    int ns = 0;
    int nr = 0;
    const std::uint8_t* info = nullptr;  // what follows the control byte
    std::size_t info_length = 0;

    // False for fewer than two bytes.
    static bool Decode(const std::uint8_t* data, std::size_t n, IrlapFrame* out);
};

std::uint8_t AddressByte(std::uint8_t connection, bool command);

std::vector<std::uint8_t> EncodeIFrame(std::uint8_t connection, bool command, int ns, int nr, bool pf,
                                       const std::uint8_t* info, std::size_t length);
std::vector<std::uint8_t> EncodeSFrame(std::uint8_t connection, bool command, std::uint8_t type, int nr, bool pf);
std::vector<std::uint8_t> EncodeUFrame(std::uint8_t connection, bool command, std::uint8_t type, bool pf,
                                       const std::vector<std::uint8_t>& info = {});

// The discovery XID body (after address and control).
struct XidBody {
    std::uint32_t source = 0;
    std::uint32_t destination = kBroadcastDevice;
    int slots = 1;                 // 1, 6, 8 or 16
    bool conflict = false;
    std::uint8_t slot = 0;         // 0 ... slots-1, or kXidFinalSlot
    std::uint8_t version = 0;
    // Discovery info, in responses and the final command.
    bool has_info = false;
    std::vector<std::uint8_t> hints;
    std::uint8_t charset = 0;
    std::string nickname;

    std::vector<std::uint8_t> Encode() const;
    // False when the body is short or not the discovery format. Hints run while a byte has
    // bit 0x80; the nickname is cut to 21 bytes.
    static bool Decode(const std::uint8_t* data, std::size_t n, XidBody* out);
};

// SNRM: source, destination, the new connection address, QoS. A bare SNRM (reset) has none.
struct SnrmBody {
    std::uint32_t source = 0;
    std::uint32_t destination = 0;
    std::uint8_t connection = 0;
    Qos qos;

    std::vector<std::uint8_t> Encode() const;
    static bool Decode(const std::uint8_t* data, std::size_t n, SnrmBody* out);
};

// UA to an SNRM: source, destination, QoS.
struct UaBody {
    std::uint32_t source = 0;
    std::uint32_t destination = 0;
    Qos qos;

    std::vector<std::uint8_t> Encode() const;
    static bool Decode(const std::uint8_t* data, std::size_t n, UaBody* out);
};

// FRMR: the rejected control byte, V(S)/V(R)/C-R, the reason bits.
struct FrmrBody {
    std::uint8_t rejected_control = 0;
    int vs = 0;
    int vr = 0;
    bool rejected_was_response = false;
    std::uint8_t reasons = 0;

    std::vector<std::uint8_t> Encode() const;
    static bool Decode(const std::uint8_t* data, std::size_t n, FrmrBody* out);
};

}  // namespace sorvanto::irda
