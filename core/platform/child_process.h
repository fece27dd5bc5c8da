#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Programs started and watched to their end (the tests drive the real executables with it).
namespace sorvanto {

using ProcessId = long long;
constexpr ProcessId kNoProcess = -1;

// Starts argv[0] (a path) with the arguments as they are, no shell; its output goes to the
// files given (an empty path keeps this process's). kNoProcess when it cannot start.
ProcessId StartProcess(const std::vector<std::string>& argv, const std::filesystem::path& stdout_file = {},
                       const std::filesystem::path& stderr_file = {});
// The exit code once the program has ended, waiting up to timeout_ms (< 0: for ever);
// nullopt while it still runs. A program ended by a signal gives 128 + the signal. After the
// answer the process is gone and the id means nothing any more.
std::optional<int> WaitProcess(ProcessId id, int timeout_ms);
bool ProcessRunning(ProcessId id);
// Ends it at once and waits for it.
void KillProcess(ProcessId id);
// Asks it to stop as a user would (SIGTERM; on Windows the event StopRequest listens for, and
// an end at once for a program that does not listen).
void RequestStop(ProcessId id);

}  // namespace sorvanto
