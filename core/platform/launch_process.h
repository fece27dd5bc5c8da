#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvanto {

// Starts a program with an argument vector (argv[0] looked up on PATH) and does not wait for
// it. Nothing goes through a shell, so a file name with blanks, quotes or ';' is one argument
// and never a command. Returns false when the program cannot be started. The child is reaped
// in the background so that it leaves no zombie. On Windows the vector is joined into one
// command line quoted so that the started program's runtime splits it back into the same
// arguments (WindowsCommandLine).
bool LaunchProcess(const std::vector<std::string>& argv);

// The argument vector of a configured command line: words separated by blanks, every "{file}"
// in a word replaced by file. When no word names "{file}" the file is added as the last
// argument. Empty when the command has no words.
std::vector<std::string> CommandArguments(std::string_view command, const std::string& file);

// The "SendCommand" used when none is configured: on Windows the system's infrared transfer
// program ("irftp /h {file}", "irxfer /h {file}" on Windows 98); elsewhere none.
std::string SystemSendCommand();

// The command line that hands argv to a Windows program unchanged, by the rules of the
// Microsoft C runtime: an argument with a blank, a tab or a quote (or an empty one) goes in
// quotes; a quote inside is escaped with a backslash, and the backslashes that precede a quote
// or the closing quote are doubled. Kept here, away from the system calls, so that it is tested
// everywhere.
std::string WindowsCommandLine(const std::vector<std::string>& argv);

}  // namespace sorvanto
