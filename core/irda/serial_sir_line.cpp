#include "irda/serial_sir_line.h"

#include "platform/link/serial_port.h"
#include "platform/link_settings.h"

namespace sorvanto::irda {

namespace {
// QoS baud-rate bits from bit 1 up.
constexpr int kSpeeds[] = {9600, 19200, 38400, 57600, 115200};
}  // namespace

std::uint16_t SerialSirLine::SpeedMask() const {
    std::uint16_t port_mask = 0;
    for (int i = 0; i < 5; ++i)
        if (SerialPort::SupportedSpeed(kSpeeds[i])) port_mask |= static_cast<std::uint16_t>(1u << (i + 1));
    // 9600 bps is where every link starts, whatever else the port lacks.
    return static_cast<std::uint16_t>((line_->SpeedMask() & port_mask) | 0x0002);
}

std::unique_ptr<IrdaStackLink> OpenSirLink(const LinkSettings& settings, std::vector<std::uint8_t> hints,
                                           std::string* error_line) {
    auto serial = IrSerialLine::OpenConfigured(settings, error_line);
    if (!serial) return nullptr;
    PcapCapture* capture = serial->Capture();
    auto line = std::make_unique<SerialSirLine>(std::move(serial));

    IrStackConfig config;
    config.lap.nickname = settings.device_name;
    config.lap.hints = std::move(hints);
    config.lap.baud_mask = line->SpeedMask();
    config.lap.max_baud = settings.max_baud;
    // An adapter with no turnaround of its own keeps the station's.
    if (line->Line().MinTurnaroundUs() > 0) config.lap.min_turnaround_us = line->Line().MinTurnaroundUs();
    auto link = std::make_unique<IrdaStackLink>(std::move(line), std::move(config));
    // The capture file belongs to the line, which the link owns and outlives every frame with.
    if (capture)
        link->SetCaptureTap([capture](bool sent, const std::uint8_t* frame, std::size_t n, Micros) {
            capture->Write(sent, frame, n);
        });
    return link;
}

}  // namespace sorvanto::irda
