// Feeds arbitrary bytes to the pictograph table reader as the contents of ".\imoji.ini".
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pictograph/pictograph_grid.h"
#include "pictograph/pictograph_table.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorvanto::IniFile ini;
    ini.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    sorvanto::PictographGrid grid(sorvanto::PictographTable::Read(ini));
    grid.Press(size % 500, size % 200, 456, 250);
    (void)grid.SelectedOutput();
    return 0;
}
