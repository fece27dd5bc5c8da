#pragma once

#include <string>

namespace sorvanto {

// This computer's name as the system knows it (gethostname, GetComputerNameA); empty when it
// has none.
std::string HostName();

}  // namespace sorvanto
