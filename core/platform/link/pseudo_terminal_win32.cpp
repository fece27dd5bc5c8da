#include "platform/link/pseudo_terminal.h"

namespace sorvanto {

PseudoTerminal::~PseudoTerminal() = default;
bool PseudoTerminal::Open() { return false; }
int PseudoTerminal::Read(std::uint8_t*, std::size_t, int) { return -1; }
bool PseudoTerminal::Write(const std::uint8_t*, std::size_t) { return false; }
int PseudoTerminal::LineSpeed() const { return 0; }
void PseudoTerminal::Close() {}

}  // namespace sorvanto
