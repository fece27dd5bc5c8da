#include "platform/win32_text.h"

#include <windows.h>

#include <climits>

namespace sorvanto::win32 {

std::wstring Widen(std::string_view bytes, unsigned code_page) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int in = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(code_page, 0, bytes.data(), in, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(code_page, 0, bytes.data(), in, out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view text, unsigned code_page, bool* lossless) {
    if (lossless) *lossless = true;
    if (text.empty() || text.size() > INT_MAX) return {};
    const int in = static_cast<int>(text.size());
    BOOL used_default = FALSE;
    // UTF-8 and UTF-7 take no default character (the call fails with one).
    const bool utf = code_page == CP_UTF8 || code_page == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* used = utf ? nullptr : &used_default;
    const int n = ::WideCharToMultiByte(code_page, flags, text.data(), in, nullptr, 0, nullptr, used);
    if (n <= 0) {
        if (lossless) *lossless = false;
        return {};
    }
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(code_page, flags, text.data(), in, out.data(), n, nullptr, used);
    if (lossless && used_default) *lossless = false;
    return out;
}

}  // namespace sorvanto::win32
