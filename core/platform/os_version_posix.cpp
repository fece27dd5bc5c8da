#include "platform/os_version.h"

namespace sorvanto {

// These systems give the program its own link (no system infrared monitor owns the service),
// which is what the NT family stood for.
OsVersion::Answer OsVersion::FromSystem() { return {7, kFamilyNt}; }

}  // namespace sorvanto
