#include "platform/cp932.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace sorvanto::cp932 {

namespace {

constexpr UINT kCodePage = 932;

// Characters the Linux converter also takes for a code whose own character is another one; the
// system converter would refuse them. Kept the same so that both builds store the same bytes.
wchar_t Canonical(wchar_t c) {
    switch (c) {
    case 0x00A5: return L'\\';       // yen sign -> 5C
    case 0x203E: return L'~';         // overline -> 7E
    case 0x301C: return 0xFF5E;       // wave dash -> 8160
    case 0x2016: return 0x2225;       // double vertical line -> 8161
    case 0x2212: return 0xFF0D;       // minus sign -> 817C
    case 0x2014: return 0x2015;       // em dash -> 815C
    case 0x00A2: return 0xFFE0;       // cent -> 8191
    case 0x00A3: return 0xFFE1;       // pound -> 8192
    case 0x00AC: return 0xFFE2;       // not sign -> 81CA
    default: return c;
    }
}

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
        // The system maps the lone byte 80 to U+0080; the Linux converter has no character for it.
        if (c == 0x80) {
            wide.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
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
    for (wchar_t& c : wide) {
        if (c == 0x0080) return std::nullopt;
        c = Canonical(c);
    }
    bool lossless = true;
    std::string out = win32::Narrow(wide, kCodePage, &lossless);
    if (!lossless) return std::nullopt;
    return out;
}

}  // namespace sorvanto::cp932
