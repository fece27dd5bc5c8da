#include "command.h"
#include "platform/link/configured_port.h"
#include "platform/link_settings.h"

namespace sorvanto::cli {

bool OpenSerialPortIfConfigured(const LinkSettings& settings, std::unique_ptr<SerialPort>* port) {
    port->reset();
    if (!settings.UsesTransport(LinkSettings::kSir)) return true;
    std::string error;
    *port = OpenConfiguredSerialPort(settings, &error);
    if (*port) return true;
    PrintError(error);
    return false;
}

}  // namespace sorvanto::cli
