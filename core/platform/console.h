#pragma once

namespace sorvanto {

// Sets up standard output and error for the command-line programs: bytes go out as written
// (no LF to CR LF translation on Windows, so files and pipes hold the same bytes as on Linux),
// and a Windows console shows the UTF-8 the programs print.
void PrepareConsoleOutput();

}  // namespace sorvanto
