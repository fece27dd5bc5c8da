#include "pictograph/eudc_platform.h"

namespace sorvanto {

std::unique_ptr<EudcPlatform> MakeSystemEudcPlatform() {
    // The registry and GDI implementation belongs to the Windows build; every other system
    // shows the pictographs through its emoji font.
    return std::make_unique<NoEudcPlatform>();
}

}  // namespace sorvanto
