#pragma once

#include <string>
#include <vector>

namespace sorvanto {

// Sets up standard output and error for the command-line programs: bytes go out as written
// (no LF to CR LF translation on Windows, so files and pipes hold the same bytes as on Linux),
// and a Windows console shows the UTF-8 the programs print.
void PrepareConsoleOutput();

// The program's arguments after its name, in UTF-8 as Linux hands them over; on Windows they are
// read from the wide command line, so Japanese text survives any system code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace sorvanto
