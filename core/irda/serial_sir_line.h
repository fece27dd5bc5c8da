#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "irda/irda_stack_link.h"
#include "irda/sir_line.h"
#include "platform/link/ir_serial_line.h"

namespace sorvanto {
class LinkSettings;
}

namespace sorvanto::irda {

// A serial infrared adapter as the stack's driver sees it: the adapter's speeds, cut to the
// configured highest and to what the serial port itself can be set to.
class SerialSirLine : public SirLine {
public:
    explicit SerialSirLine(std::unique_ptr<IrSerialLine> line) : line_(std::move(line)) {}

    bool Write(const std::uint8_t* data, std::size_t n) override { return line_->Write(data, n); }
    int Read(std::uint8_t* data, std::size_t n, int timeout_ms) override { return line_->Read(data, n, timeout_ms); }
    bool SetSpeed(int baud) override { return line_->SetSpeed(baud); }
    std::uint16_t SpeedMask() const override;

    IrSerialLine& Line() { return *line_; }

private:
    std::unique_ptr<IrSerialLine> line_;
};

// The stack over the configured adapter ("Port", "Adapter", "MaxBaud"), answering discovery
// with "DeviceName" and the hints given, every frame recorded in "Capture" when that is set.
// nullptr with the one line for the user in *error_line when the port or the capture file
// cannot be opened.
std::unique_ptr<IrdaStackLink> OpenSirLink(const LinkSettings& settings, std::vector<std::uint8_t> hints,
                                           std::string* error_line);

}  // namespace sorvanto::irda
