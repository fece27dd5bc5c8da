#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/link/ir_adapter.h"
#include "platform/link/pcap_capture.h"
#include "platform/link/serial_port.h"

namespace sorvanto {

class LinkSettings;

// A serial infrared adapter as the byte side of an infrared stack sees it: bytes in and out of
// the port, speeds switched the adapter's way, and the speeds it may offer (the adapter's, up to
// the configured highest).
class IrSerialLine {
public:
    IrSerialLine(std::unique_ptr<SerialPort> port, const IrAdapter& adapter, int max_baud);

    // The configured port and adapter ("Port", "Adapter", "MaxBaud"), opened at 9600 bps, and
    // with "Capture" set a capture file made anew; nullptr with the one line for the user in
    // *error_line when either cannot be.
    static std::unique_ptr<IrSerialLine> OpenConfigured(const LinkSettings& settings, std::string* error_line);

    bool Write(const std::uint8_t* data, std::size_t n) { return port_->Write(data, n); }
    // >0 bytes, 0 on time-out, -1 when the port is gone.
    int Read(std::uint8_t* data, std::size_t n, int timeout_ms) { return port_->Read(data, n, timeout_ms); }
    // After what has been written has left; false for a speed not offered or a port that refuses.
    bool SetSpeed(int baud);
    // QoS baud-rate bits: bit 0 2400, bit 1 9600 ... bit 5 115200.
    std::uint16_t SpeedMask() const { return adapter_.SpeedMask(max_baud_); }
    int MinTurnaroundUs() const { return adapter_.min_turnaround_us; }
    const IrAdapter& Adapter() const { return adapter_; }
    SerialPort& Port() { return *port_; }
    // Where the stack records every frame it sends and receives; nullptr when not capturing.
    PcapCapture* Capture() { return capture_.get(); }

private:
    std::unique_ptr<SerialPort> port_;
    const IrAdapter& adapter_;
    int max_baud_;
    std::unique_ptr<PcapCapture> capture_;
};

}  // namespace sorvanto
