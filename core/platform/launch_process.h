#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvanto {

// Starts a program with an argument vector (argv[0] looked up on PATH) and does not wait for
// it. Nothing goes through a shell, so a file name with blanks, quotes or ';' is one argument
// and never a command. Returns false when the program cannot be started. The child is reaped
// in the background so that it leaves no zombie.
bool LaunchProcess(const std::vector<std::string>& argv);

// The argument vector of a configured command line: words separated by blanks, every "{file}"
// in a word replaced by file. When no word names "{file}" the file is added as the last
// argument. Empty when the command has no words.
std::vector<std::string> CommandArguments(std::string_view command, const std::string& file);

}  // namespace sorvanto
