#pragma once

#include <memory>
#include <string>

#include "platform/link/serial_port.h"

namespace sorvanto {

class LinkSettings;

// The serial port of the settings ("Port"), opened at 9600 bps, the speed every infrared link
// starts at, with the adapter ("Adapter") switched to it. nullptr when it cannot be: then
// *error_line (when given) is the one line for the user that names the port and the reason.
std::unique_ptr<SerialPort> OpenConfiguredSerialPort(const LinkSettings& settings, std::string* error_line);

}  // namespace sorvanto
