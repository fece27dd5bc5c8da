#pragma once

namespace sorvanto {

// Which infrared features the system allows. The codes and families are those the program has
// always used: family 3 (the NT family) offers the program's own OBEX server and the "Irmon"
// handling, code 4 (Windows 98) starts "irxfer" instead of "irftp".
class OsVersion {
public:
    static constexpr int kFamilyNt = 3;
    static constexpr int kCodeWindows98 = 4;

    // Both are worked out once, on the first question.
    static int Code();
    static int Family();

    struct Answer {
        int code = 0;
        int family = 0;
    };
    // What the system says, asked each time (the one system-specific part).
    static Answer FromSystem();
    // Code and family of a Windows version: platform id (0 Win32s, 1 the Windows 95 line,
    // 2 the NT line), major and minor version. Kept apart so it is tested everywhere.
    static Answer FromWindowsVersion(int platform_id, int major, int minor);

    // Tests pin the answers (code 0 goes back to asking the system).
    static void SetForTesting(int code, int family);
};

}  // namespace sorvanto
