#pragma once

#include <string_view>

namespace sorvanto {

// The system's service manager, used to pause the infrared monitor ("Irmon") while the program
// owns the OBEX service. Where there is no such service (every system but Windows) the calls
// report it missing, and the caller carries on without it.
class ServiceControl {
public:
    // Stops the service when it exists and runs; true only when this call stopped it (so the
    // caller knows it has to start it again).
    static bool StopIfRunning(std::string_view name);
    // Starts the service; false when it is missing or cannot be started.
    static bool Start(std::string_view name);
    static bool Exists(std::string_view name);
};

}  // namespace sorvanto
