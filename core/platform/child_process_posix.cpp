#include "platform/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace sorvanto {

ProcessId StartProcess(const std::vector<std::string>& argv, const std::filesystem::path& stdout_file,
                       const std::filesystem::path& stderr_file) {
    if (argv.empty()) return kNoProcess;
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!stdout_file.empty())
        posix_spawn_file_actions_addopen(&actions, 1, stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!stderr_file.empty())
        posix_spawn_file_actions_addopen(&actions, 2, stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid > 0 ? pid : kNoProcess;
}

std::optional<int> WaitProcess(ProcessId id, int timeout_ms) {
    if (id <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(static_cast<pid_t>(id), &status, timeout_ms < 0 ? 0 : WNOHANG);
        if (r == id) break;
        if (r < 0) return -1;
        if (std::chrono::steady_clock::now() >= end) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

bool ProcessRunning(ProcessId id) {
    if (id <= 0) return false;
    // A child that has ended but is not yet reaped is not running; WNOWAIT leaves it for WaitProcess.
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(id), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return false;
    return info.si_pid == 0;
}

void KillProcess(ProcessId id) {
    if (id <= 0) return;
    ::kill(static_cast<pid_t>(id), SIGKILL);
    ::waitpid(static_cast<pid_t>(id), nullptr, 0);
}

void RequestStop(ProcessId id) {
    if (id > 0) ::kill(static_cast<pid_t>(id), SIGTERM);
}

}  // namespace sorvanto
