#include "platform/host_name.h"

#include <windows.h>

namespace sorvanto {

std::string HostName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return {};
    return std::string(name, size);
}

}  // namespace sorvanto
