#include "platform/console.h"

namespace sorvanto {

// Output is bytes as written and terminals take UTF-8 already.
void PrepareConsoleOutput() {}

}  // namespace sorvanto
