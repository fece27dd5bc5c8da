#include "platform/child_process.h"

#include <windows.h>

#include <map>
#include <mutex>

#include "platform/launch_process.h"
#include "platform/win32_text.h"

namespace sorvanto {

namespace {

// The handles of the programs started here, by id, until their end has been collected.
std::mutex g_mutex;
std::map<ProcessId, HANDLE> g_children;

HANDLE Find(ProcessId id) {
    std::lock_guard lock(g_mutex);
    const auto it = g_children.find(id);
    return it == g_children.end() ? nullptr : it->second;
}

void Forget(ProcessId id) {
    std::lock_guard lock(g_mutex);
    const auto it = g_children.find(id);
    if (it == g_children.end()) return;
    ::CloseHandle(it->second);
    g_children.erase(it);
}

HANDLE OpenOutput(const std::filesystem::path& file) {
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    return ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

constexpr int kKilledExitCode = 137;  // as a program ended by SIGKILL reports itself elsewhere

}  // namespace

ProcessId StartProcess(const std::vector<std::string>& argv, const std::filesystem::path& stdout_file,
                       const std::filesystem::path& stderr_file) {
    if (argv.empty()) return kNoProcess;
    // The output handles are inheritable for the one CreateProcess that hands them over; the
    // lock keeps a program started at the same time on another thread from inheriting them too
    // (it would hold the files open after this program has ended).
    static std::mutex start_mutex;
    std::lock_guard start_lock(start_mutex);
    // The arguments are UTF-8, as the programs read them (ProgramArguments).
    std::wstring line = win32::Widen(WindowsCommandLine(argv), CP_UTF8);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    HANDLE out = stdout_file.empty() ? ::GetStdHandle(STD_OUTPUT_HANDLE) : OpenOutput(stdout_file);
    HANDLE err = stderr_file.empty() ? ::GetStdHandle(STD_ERROR_HANDLE) : OpenOutput(stderr_file);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    // The handles are inherited so that the output files reach the program.
    const BOOL ok = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (!stdout_file.empty() && out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
    if (!stderr_file.empty() && err != INVALID_HANDLE_VALUE) ::CloseHandle(err);
    if (!ok) return kNoProcess;
    ::CloseHandle(pi.hThread);
    std::lock_guard lock(g_mutex);
    g_children[pi.dwProcessId] = pi.hProcess;
    return pi.dwProcessId;
}

std::optional<int> WaitProcess(ProcessId id, int timeout_ms) {
    const HANDLE h = Find(id);
    if (!h) return -1;
    if (::WaitForSingleObject(h, timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    const int result = ::GetExitCodeProcess(h, &code) ? static_cast<int>(code) : -1;
    Forget(id);
    return result;
}

bool ProcessRunning(ProcessId id) {
    const HANDLE h = Find(id);
    return h && ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
}

void KillProcess(ProcessId id) {
    const HANDLE h = Find(id);
    if (!h) return;
    ::TerminateProcess(h, kKilledExitCode);
    ::WaitForSingleObject(h, INFINITE);
    Forget(id);
}

void RequestStop(ProcessId id) {
    const HANDLE h = Find(id);
    if (!h) return;
    const HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, win32::StopEventName(static_cast<unsigned long>(id)).c_str());
    if (event) {
        ::SetEvent(event);
        ::CloseHandle(event);
        return;
    }
    ::TerminateProcess(h, kKilledExitCode);
}

}  // namespace sorvanto
