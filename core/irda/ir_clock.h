#pragma once

#include <cstdint>

namespace sorvanto::irda {

// Every layer of the stack is a state machine fed events with the current time and asked for
// its next deadline; none of them reads a clock of its own, so tests run them in virtual time.
using Micros = std::uint64_t;  // microseconds on a monotonic clock

class IrClock {
public:
    virtual ~IrClock() = default;
    virtual Micros Now() const = 0;
};

}  // namespace sorvanto::irda
