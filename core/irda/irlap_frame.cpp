#include "irda/irlap_frame.h"

namespace sorvanto::irda {

namespace {

void PutLe32(std::vector<std::uint8_t>* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr int kSlotCounts[] = {1, 6, 8, 16};

}  // namespace

std::uint8_t AddressByte(std::uint8_t connection, bool command) {
    return static_cast<std::uint8_t>((connection & 0x7F) << 1 | (command ? kCommandBit : 0));
}

bool IrlapFrame::Decode(const std::uint8_t* data, std::size_t n, IrlapFrame* out) {
    if (n < 2) return false;
    IrlapFrame f;
    f.connection = data[0] >> 1;
    f.command = (data[0] & kCommandBit) != 0;
    const std::uint8_t c = data[1];
    f.pf = (c & kPfBit) != 0;
    f.control = c;
    if ((c & 0x01) == 0) {
        f.kind = Kind::kI;
        f.ns = (c >> 1) & 0x07;
        f.nr = (c >> 5) & 0x07;
    } else if ((c & 0x03) == 0x01) {
        f.kind = Kind::kS;
        f.type = c & 0x0F;
        f.nr = (c >> 5) & 0x07;
    } else {
        f.kind = Kind::kU;
        f.type = c & static_cast<std::uint8_t>(~kPfBit);
    }
    f.info = data + 2;
    f.info_length = n - 2;
    *out = f;
    return true;
}

std::vector<std::uint8_t> EncodeIFrame(std::uint8_t connection, bool command, int ns, int nr, bool pf,
                                       const std::uint8_t* info, std::size_t length) {
    std::vector<std::uint8_t> out;
    out.reserve(length + 2);
    out.push_back(AddressByte(connection, command));
    out.push_back(static_cast<std::uint8_t>((nr & 7) << 5 | (pf ? kPfBit : 0) | (ns & 7) << 1));
    if (length > 0) out.insert(out.end(), info, info + length);
    return out;
}

std::vector<std::uint8_t> EncodeSFrame(std::uint8_t connection, bool command, std::uint8_t type, int nr, bool pf) {
    return {AddressByte(connection, command), static_cast<std::uint8_t>((nr & 7) << 5 | (pf ? kPfBit : 0) | (type & 0x0F))};
}

std::vector<std::uint8_t> EncodeUFrame(std::uint8_t connection, bool command, std::uint8_t type, bool pf,
                                       const std::vector<std::uint8_t>& info) {
    std::vector<std::uint8_t> out{AddressByte(connection, command), static_cast<std::uint8_t>(type | (pf ? kPfBit : 0))};
    out.insert(out.end(), info.begin(), info.end());
    return out;
}

std::vector<std::uint8_t> XidBody::Encode() const {
    std::vector<std::uint8_t> out{kXidFormat};
    PutLe32(&out, source);
    PutLe32(&out, destination);
    std::uint8_t flags = 0;
    for (std::uint8_t i = 0; i < 4; ++i)
        if (kSlotCounts[i] == slots) flags = i;
    if (conflict) flags |= 0x04;
    out.push_back(flags);
    out.push_back(slot);
    out.push_back(version);
    if (has_info) {
        out.insert(out.end(), hints.begin(), hints.end());
        out.push_back(charset);
        const std::size_t n = nickname.size() < kMaxNickname ? nickname.size() : kMaxNickname;
        out.insert(out.end(), nickname.begin(), nickname.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return out;
}

bool XidBody::Decode(const std::uint8_t* data, std::size_t n, XidBody* out) {
    if (n < 12 || data[0] != kXidFormat) return false;
    XidBody x;
    x.source = Le32(data + 1);
    x.destination = Le32(data + 5);
    x.slots = kSlotCounts[data[9] & 0x03];
    x.conflict = (data[9] & 0x04) != 0;
    x.slot = data[10];
    x.version = data[11];
    std::size_t i = 12;
    if (i < n) {
        // Hint bytes continue while bit 0x80 is set; a list that runs off the end is broken.
        while (true) {
            if (i >= n) return false;
            x.hints.push_back(data[i]);
            if ((data[i++] & 0x80) == 0) break;
        }
        x.has_info = true;
        if (i < n) x.charset = data[i++];
        const std::size_t left = n - i < kMaxNickname ? n - i : kMaxNickname;
        x.nickname.assign(reinterpret_cast<const char*>(data + i), left);
    }
    *out = std::move(x);
    return true;
}

std::vector<std::uint8_t> SnrmBody::Encode() const {
    std::vector<std::uint8_t> out;
    PutLe32(&out, source);
    PutLe32(&out, destination);
    out.push_back(static_cast<std::uint8_t>(connection << 1));
    const std::vector<std::uint8_t> q = qos.Encode();
    out.insert(out.end(), q.begin(), q.end());
    return out;
}

bool SnrmBody::Decode(const std::uint8_t* data, std::size_t n, SnrmBody* out) {
    if (n < 9) return false;
    SnrmBody s;
    s.source = Le32(data);
    s.destination = Le32(data + 4);
    s.connection = data[8] >> 1;
    if (!Qos::Decode(data + 9, n - 9, &s.qos)) return false;
    *out = s;
    return true;
}

std::vector<std::uint8_t> UaBody::Encode() const {
    std::vector<std::uint8_t> out;
    PutLe32(&out, source);
    PutLe32(&out, destination);
    const std::vector<std::uint8_t> q = qos.Encode();
    out.insert(out.end(), q.begin(), q.end());
    return out;
}

bool UaBody::Decode(const std::uint8_t* data, std::size_t n, UaBody* out) {
    if (n < 8) return false;
    UaBody u;
    u.source = Le32(data);
    u.destination = Le32(data + 4);
    if (!Qos::Decode(data + 8, n - 8, &u.qos)) return false;
    *out = u;
    return true;
}

std::vector<std::uint8_t> FrmrBody::Encode() const {
    return {rejected_control,
            static_cast<std::uint8_t>((vr & 7) << 5 | (rejected_was_response ? 0x10 : 0) | (vs & 7) << 1),
            reasons};
}

bool FrmrBody::Decode(const std::uint8_t* data, std::size_t n, FrmrBody* out) {
    if (n < 3) return false;
    FrmrBody f;
    f.rejected_control = data[0];
    f.vs = (data[1] >> 1) & 7;
    f.vr = (data[1] >> 5) & 7;
    f.rejected_was_response = (data[1] & 0x10) != 0;
    f.reasons = data[2];
    *out = f;
    return true;
}

}  // namespace sorvanto::irda
