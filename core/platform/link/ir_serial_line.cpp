#include "platform/link/ir_serial_line.h"

#include "platform/link/configured_port.h"
#include "platform/link_settings.h"

namespace sorvanto {

IrSerialLine::IrSerialLine(std::unique_ptr<SerialPort> port, const IrAdapter& adapter, int max_baud)
    : port_(std::move(port)), adapter_(adapter), max_baud_(max_baud) {}

std::unique_ptr<IrSerialLine> IrSerialLine::OpenConfigured(const LinkSettings& settings, std::string* error_line) {
    auto port = OpenConfiguredSerialPort(settings, error_line);
    if (!port) return nullptr;
    auto line = std::make_unique<IrSerialLine>(std::move(port), FindIrAdapter(settings.adapter), settings.max_baud);
    if (!settings.capture.empty()) {
        line->capture_ = std::make_unique<PcapCapture>();
        if (!line->capture_->Open(settings.capture)) {
            if (error_line) *error_line = settings.capture + " に通信を記録できません: ファイルを作れません";
            return nullptr;
        }
    }
    return line;
}

bool IrSerialLine::SetSpeed(int baud) {
    if (baud != 9600 && baud > max_baud_) return false;
    return adapter_.SetSpeed(*port_, baud);
}

}  // namespace sorvanto
