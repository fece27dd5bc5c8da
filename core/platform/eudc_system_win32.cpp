#include "platform/eudc_system.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace sorvanto::eudc_system {

namespace {

constexpr const wchar_t* kKey = L"EUDC\\932";
constexpr const wchar_t* kValue = L"SystemDefaultEUDCFont";

using EnableEudcFn = BOOL(WINAPI*)(BOOL);

// Looked up by name at each use: older systems do not export it.
EnableEudcFn FindEnableEudc() {
    const HMODULE gdi = ::LoadLibraryW(L"GDI32.DLL");
    if (!gdi) return nullptr;
    return reinterpret_cast<EnableEudcFn>(reinterpret_cast<void*>(::GetProcAddress(gdi, "EnableEUDC")));
}

}  // namespace

bool Available() { return true; }

std::optional<std::string> ReadDefaultFont(std::size_t max_bytes) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    const LONG r = ::RegQueryValueExW(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    ::RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring text(buf, size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    std::string bytes = win32::Narrow(text, 932);
    // A value longer than the buffer the program reads it with is not read at all.
    if (bytes.size() >= max_bytes) return std::nullopt;
    return bytes;
}

bool WriteDefaultFont(std::string_view path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = win32::Widen(path, 932);
    const LONG r = ::RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

std::string WindowsFolder() {
    wchar_t buf[MAX_PATH + 1] = {};
    const UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return {};
    return win32::Narrow(std::wstring_view(buf, n), 932);
}

bool HasEnableEudc() { return FindEnableEudc() != nullptr; }

bool EnableEudc(bool enable) {
    const EnableEudcFn fn = FindEnableEudc();
    return fn && fn(enable ? TRUE : FALSE) != 0;
}

}  // namespace sorvanto::eudc_system
