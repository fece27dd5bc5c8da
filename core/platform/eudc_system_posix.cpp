#include "platform/eudc_system.h"

namespace sorvanto::eudc_system {

bool Available() { return false; }
std::optional<std::string> ReadDefaultFont(std::size_t) { return std::nullopt; }
bool WriteDefaultFont(std::string_view) { return false; }
std::string WindowsFolder() { return {}; }
bool HasEnableEudc() { return false; }
bool EnableEudc(bool) { return false; }

}  // namespace sorvanto::eudc_system
