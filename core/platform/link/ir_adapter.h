#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sorvanto {

class SerialPort;

// What the program knows of one kind of serial infrared adapter: the infrared speeds it can
// run and how it is told which one. Another adapter is one more row in the table (ir_adapter.cpp).
struct IrAdapter {
    std::string_view name;  // as written in "Adapter"
    std::uint8_t speed_bits = 0;  // the speeds, as bits of kIrSpeeds
    int min_turnaround_us = 0;    // the least time it needs between receiving and sending (0 = no need of its own)
    // Switches the adapter and the port to the speed (one of the adapter's); false when the port refuses.
    bool (*set_speed)(SerialPort& port, int baud) = nullptr;

    bool HasSpeed(int baud) const;
    // The fastest speed of the adapter not above max_baud; 9600 when none is.
    int SnapSpeed(int max_baud) const;
    // The QoS baud-rate bits (bit 0 2400, bit 1 9600 ... bit 5 115200) of the speeds it runs
    // up to max_baud; 9600 is always among them.
    std::uint16_t SpeedMask(int max_baud) const;
    // Sets the speed through set_speed; false for a speed the adapter does not have.
    bool SetSpeed(SerialPort& port, int baud) const;
};

// The infrared speeds, in the order of the QoS baud-rate bits.
inline constexpr int kIrSpeeds[] = {2400, 9600, 19200, 38400, 57600, 115200};

// The adapter of that name (without regard to ASCII case); "plain" for a name not in the table.
const IrAdapter& FindIrAdapter(std::string_view name);
// Every row, "plain" first.
const IrAdapter* IrAdapters(std::size_t* count);

}  // namespace sorvanto
