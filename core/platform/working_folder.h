#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sorvanto {

// Every relative path of the program is taken from the working folder: $SORVANTO_HOME when
// set, else the system's default (DefaultWorkingFolder). An explicit folder (the command-line
// tool's --home) wins over both.
std::filesystem::path ResolveWorkingFolder(const std::optional<std::string>& explicit_home = std::nullopt);

// $XDG_DATA_HOME/sorvanto (~/.local/share/sorvanto) on Linux; on Windows the folder of the
// program itself, where the program has always kept its files.
std::filesystem::path DefaultWorkingFolder();

// The folder of the running program itself (empty when the system cannot say). An installed
// program finds its shipped data from there, in ../share/sorvanto.
std::filesystem::path ProgramFolder();

// Creates the folder when missing and changes into it. False (with the reason in error) when
// that is not possible.
bool EnterWorkingFolder(const std::filesystem::path& folder, std::string* error = nullptr);

}  // namespace sorvanto
