#pragma once

#include <string>

namespace sorvanto {

// What the model page shows about a handset.
struct ModelInfoRecord {
    std::string name;
    int standby_width = 0;
    int standby_height = 0;
    int alt_standby_width = 0;
    int alt_standby_height = 0;
    int standby_max_bytes = 0;
    int colours = 0;
    int voices = 0;
    int melody_max_bytes = 0;
};

}  // namespace sorvanto
