#pragma once

#include <cstddef>
#include <cstdint>

namespace sorvanto::irda {

// Where the IrLAP station sends its frames: a SIR line (framing and FCS in software) or an
// adapter that frames in hardware.
class FramePort {
public:
    virtual ~FramePort() = default;
    // One IrLAP frame (address byte onwards, no FCS). xbofs = 0xFF bytes before BOF on SIR
    // (additional BOFs + the minimum-turnaround delay), ignored by ports that frame in hardware.
    virtual bool SendFrame(const std::uint8_t* frame, std::size_t length, int xbofs) = 0;
    // New line speed, effective once everything sent so far has left.
    virtual bool SetSpeed(int baud) = 0;
    // QoS baud-rate bits (PI 0x01 PV) this port can run: bit1 9600 ... bit5 115200.
    virtual std::uint16_t SpeedMask() const = 0;
};

}  // namespace sorvanto::irda
