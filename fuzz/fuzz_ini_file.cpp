// The INI engine on arbitrary file contents: parse, look up, edit and serialise again; and the
// read-only view, which must read every key as the engine does.
#include <cstdint>
#include <string>

#include "platform/ini_file.h"
#include "platform/ini_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    sorvanto::IniFile ini;
    ini.Parse(bytes, "fuzz.ini");
    const sorvanto::IniView view(bytes);
    for (const std::string& section : ini.Sections()) {
        if (view.KeyCount(section) != ini.KeyCount(section)) __builtin_trap();
        for (const std::string& key : ini.Keys(section)) {
            if (view.GetInt(section, key, -1) != ini.GetInt(section, key, -1)) __builtin_trap();
            if (view.GetString(section, key) != ini.GetString(section, key)) __builtin_trap();
        }
    }
    ini.SetString("System", "Count", bytes.substr(0, 64));
    ini.DeleteSection("Item0");
    // What we write must read back with the value we set, CR and LF turned to blanks.
    sorvanto::IniFile again;
    again.Parse(ini.Serialize());
    if (again.Sections().empty()) __builtin_trap();
    return 0;
}
