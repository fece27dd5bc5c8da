#include "platform/host_name.h"

#include <unistd.h>

#include <cstring>

namespace sorvanto {

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return std::string(name, ::strnlen(name, sizeof name - 1));
}

}  // namespace sorvanto
