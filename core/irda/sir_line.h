#pragma once

#include <cstddef>
#include <cstdint>

namespace sorvanto::irda {

// The byte side of a SIR adapter, as the driver thread uses it (the serial port is wrapped
// into this by the link factory).
class SirLine {
public:
    virtual ~SirLine() = default;
    virtual bool Write(const std::uint8_t* data, std::size_t n) = 0;          // all bytes, or false
    virtual int Read(std::uint8_t* data, std::size_t n, int timeout_ms) = 0;  // >0 bytes, 0 timeout, -1 lost
    virtual bool SetSpeed(int baud) = 0;                                      // after queued output has left
    virtual std::uint16_t SpeedMask() const = 0;
};

}  // namespace sorvanto::irda
