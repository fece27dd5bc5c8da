#include "platform/launch_process.h"

#include <windows.h>

#include "platform/os_version.h"
#include "platform/win32_text.h"

namespace sorvanto {

std::string SystemSendCommand() {
    return OsVersion::Code() == OsVersion::kCodeWindows98 ? "irxfer /h {file}" : "irftp /h {file}";
}

// CreateProcess with no application name looks the first word of the command line up the way
// the system does (the program's folder, the system folders, PATH); no shell is involved, so
// the quoting of WindowsCommandLine is all that separates the arguments.
bool LaunchProcess(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return false;
    std::wstring line = win32::Widen(WindowsCommandLine(argv), 932);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    // Nothing waits for the program; its handles are let go at once, which is all a Windows
    // process needs to leave nothing behind.
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

}  // namespace sorvanto
