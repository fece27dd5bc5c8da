#include "platform/link/ir_adapter.h"

#include "platform/link/serial_port.h"

namespace sorvanto {

namespace {

constexpr std::uint8_t kAllSpeeds = 0x3F;
constexpr std::uint8_t Bit(int index) { return static_cast<std::uint8_t>(1u << index); }

// The infrared side follows the UART: nothing to switch but the port.
bool PlainSpeed(SerialPort& port, int baud) { return port.SetBaud(baud); }

// The ESI-9680 reads its speed off the modem lines: 9600 = DTR off / RTS on, 19200 = DTR on /
// RTS off, 115200 = both on. The lines change only once the last frame at the old speed has left.
bool Esi9680Speed(SerialPort& port, int baud) {
    const bool dtr = baud != 9600;
    const bool rts = baud != 19200;
    port.Drain();
    const bool lines = port.SetModemLines(dtr, rts);
    return port.SetBaud(baud) && lines;
}

constexpr IrAdapter kAdapters[] = {
    {"plain", kAllSpeeds, 0, PlainSpeed},
    {"esi9680", static_cast<std::uint8_t>(Bit(1) | Bit(2) | Bit(5)), 10000, Esi9680Speed},
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i]) return false;
    }
    return true;
}

int SpeedIndex(int baud) {
    for (int i = 0; i < 6; ++i)
        if (kIrSpeeds[i] == baud) return i;
    return -1;
}

}  // namespace

bool IrAdapter::HasSpeed(int baud) const {
    const int i = SpeedIndex(baud);
    return i >= 0 && (speed_bits & Bit(i));
}

int IrAdapter::SnapSpeed(int max_baud) const {
    int best = 9600;
    for (int i = 0; i < 6; ++i)
        if ((speed_bits & Bit(i)) && kIrSpeeds[i] <= max_baud && kIrSpeeds[i] > best) best = kIrSpeeds[i];
    return best;
}

std::uint16_t IrAdapter::SpeedMask(int max_baud) const {
    std::uint16_t mask = Bit(1);
    for (int i = 0; i < 6; ++i)
        if ((speed_bits & Bit(i)) && kIrSpeeds[i] <= max_baud) mask |= Bit(i);
    return mask;
}

bool IrAdapter::SetSpeed(SerialPort& port, int baud) const {
    return HasSpeed(baud) && set_speed && set_speed(port, baud);
}

const IrAdapter& FindIrAdapter(std::string_view name) {
    for (const IrAdapter& a : kAdapters)
        if (SameName(name, a.name)) return a;
    return kAdapters[0];
}

const IrAdapter* IrAdapters(std::size_t* count) {
    if (count) *count = sizeof kAdapters / sizeof kAdapters[0];
    return kAdapters;
}

}  // namespace sorvanto
