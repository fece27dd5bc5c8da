#include "platform/os_version.h"

#include <windows.h>

namespace sorvanto {

// RtlGetVersion tells the true version; GetVersionEx lies to programs without a manifest.
OsVersion::Answer OsVersion::FromSystem() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                     : nullptr;
    if (!get || get(&info) != 0) return {};
    return FromWindowsVersion(static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
                              static_cast<int>(info.dwMinorVersion));
}

}  // namespace sorvanto
