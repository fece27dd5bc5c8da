#include "platform/service_control.h"

namespace sorvanto {

// No infrared monitor service exists here: the TCP link's port is the program's own, so there
// is nothing to stop and nothing to start again.
bool ServiceControl::Exists(std::string_view) { return false; }
bool ServiceControl::StopIfRunning(std::string_view) { return false; }
bool ServiceControl::Start(std::string_view) { return false; }

}  // namespace sorvanto
