#include "platform/link/serial_port.h"

namespace sorvanto {

bool SerialPort::SupportedSpeed(int baud) {
    for (int s : kSpeeds)
        if (s == baud) return true;
    return false;
}

std::string SerialDevicePath(const std::string& port) {
#ifdef _WIN32
    const bool com = port.size() > 3 && (port[0] == 'C' || port[0] == 'c') && (port[1] == 'O' || port[1] == 'o') &&
                     (port[2] == 'M' || port[2] == 'm');
    if (com) return "\\\\.\\" + port;
#endif
    return port;
}

}  // namespace sorvanto
