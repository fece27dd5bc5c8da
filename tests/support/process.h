#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/child_process.h"

// Running the real executables from end-to-end tests.
namespace sorvanto::test {

using Pid = ProcessId;

// A loopback TCP port that was free a moment ago.
int FreePort();
// True once something accepts connections on 127.0.0.1:port (waits up to timeout_ms).
bool WaitForListener(int port, int timeout_ms);

// Starts argv[0] with stdout (and stderr when given) sent to files; -1 when it cannot start.
Pid Spawn(const std::vector<std::string>& argv, const std::filesystem::path& stdout_file,
          const std::filesystem::path& stderr_file = {});
// Waits for the child (killing it after timeout_ms) and returns its exit code, or -1.
int WaitExit(Pid pid, int timeout_ms);

struct RunResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};
// Runs a command to its end (killed after timeout_ms) and collects its output.
RunResult Run(const std::vector<std::string>& argv, int timeout_ms = 30000);

}  // namespace sorvanto::test
