#include "platform/link/configured_port.h"

#include "platform/link/ir_adapter.h"
#include "platform/link_settings.h"

namespace sorvanto {

std::unique_ptr<SerialPort> OpenConfiguredSerialPort(const LinkSettings& settings, std::string* error_line) {
    constexpr int kStartSpeed = 9600;
    auto port = std::make_unique<SerialPort>();
    if (!port->Open(settings.port, kStartSpeed, error_line)) return nullptr;
    const IrAdapter& adapter = FindIrAdapter(settings.adapter);
    if (!adapter.SetSpeed(*port, kStartSpeed) && adapter.name != "plain") {
        // An adapter that is switched through the modem lines cannot work on a port without them.
        if (error_line)
            *error_line = settings.port + " を使えません: アダプタ " + std::string(adapter.name) +
                          " の速度を切り替えられません (モデム制御線がありません)";
        return nullptr;
    }
    return port;
}

}  // namespace sorvanto
