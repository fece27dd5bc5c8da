#include "platform/link/ir_serial_line.h"

#include "platform/link/configured_port.h"
#include "platform/link_settings.h"

namespace sorvanto {

IrSerialLine::IrSerialLine(std::unique_ptr<SerialPort> port, const IrAdapter& adapter, int max_baud)
    : port_(std::move(port)), adapter_(adapter), max_baud_(max_baud) {}

std::unique_ptr<IrSerialLine> IrSerialLine::OpenConfigured(const LinkSettings& settings, std::string* error_line) {
    auto port = OpenConfiguredSerialPort(settings, error_line);
    if (!port) return nullptr;
    return std::make_unique<IrSerialLine>(std::move(port), FindIrAdapter(settings.adapter), settings.max_baud);
}

bool IrSerialLine::SetSpeed(int baud) {
    if (baud != 9600 && baud > max_baud_) return false;
    return adapter_.SetSpeed(*port_, baud);
}

}  // namespace sorvanto
