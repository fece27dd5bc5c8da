#pragma once

#include "platform/ini_file.h"

namespace sorvanto {

// ".\Sorvanto.ini", shared by everything in the process that writes to it (the document's
// Model and IrMode, the window placement, the list column widths). One in-memory copy, so that
// two writers never overwrite each other's keys with a stale file.
class SettingsFile {
public:
    static constexpr const char* kPath = ".\\Sorvanto.ini";

    // Loaded from the working folder on first use.
    static IniFile& Get();
    // Writes the shared copy back (atomically); false when that failed.
    static bool Save();
    // Drops the shared copy so that the next Get reads the file again (tests, a new folder).
    static void Reset();
};

}  // namespace sorvanto
