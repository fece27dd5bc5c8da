#include "platform/console.h"

namespace sorvanto {

// Output is bytes as written and terminals take UTF-8 already.
void PrepareConsoleOutput() {}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

}  // namespace sorvanto
