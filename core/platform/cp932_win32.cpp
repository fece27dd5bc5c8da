#include "platform/cp932.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace sorvanto::cp932 {

namespace {

constexpr UINT kCodePage = 932;

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// One character of code page 932 (one or two bytes) as UTF-16; false when it has none.
bool Decode(const char* p, int length, std::wstring& out) {
    wchar_t w[2];
    const int n = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, p, length, w, 2);
    if (n <= 0) return false;
    out.append(w, static_cast<std::size_t>(n));
    return true;
}

}  // namespace

// Character by character, so that a byte which does not convert is replaced exactly as the
// Linux converter does it: one U+FFFD, and the next byte starts afresh.
std::string ToUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            wide.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        const int width = IsLead(c) ? 2 : 1;
        if (i + static_cast<std::size_t>(width) <= text.size() && Decode(text.data() + i, width, wide)) {
            i += static_cast<std::size_t>(width);
            continue;
        }
        wide.push_back(static_cast<wchar_t>(0xFFFD));
        ++i;
    }
    return win32::Narrow(wide, CP_UTF8);
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    if (utf8.size() > 0x7FFFFFFF) return std::nullopt;
    const int in = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), in, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), in, wide.data(), n);
    bool lossless = true;
    std::string out = win32::Narrow(wide, kCodePage, &lossless);
    if (!lossless) return std::nullopt;
    return out;
}

}  // namespace sorvanto::cp932
