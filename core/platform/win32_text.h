#pragma once

#include <string>
#include <string_view>

// Code page conversions for the Windows files of the layer (only they include this header).
namespace sorvanto::win32 {

// Bytes of the code page to UTF-16; bytes that do not convert become U+FFFD.
std::wstring Widen(std::string_view bytes, unsigned code_page);
// UTF-16 to the code page; *lossless (when given) is false when a character had no form in it.
std::string Narrow(std::wstring_view text, unsigned code_page, bool* lossless = nullptr);

}  // namespace sorvanto::win32

namespace sorvanto::win32 {

// The event by which one process asks another (by its id) to stop, as SIGTERM does elsewhere.
inline std::wstring StopEventName(unsigned long pid) { return L"Local\\sorvanto-stop-" + std::to_wstring(pid); }

}  // namespace sorvanto::win32
