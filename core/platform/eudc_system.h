#pragma once

#include <optional>
#include <string>
#include <string_view>

// The system's end-user-defined characters: the current user's registry key "EUDC\932" and
// GDI's EnableEUDC. Only Windows has them; elsewhere Available() is false and every call fails.
namespace sorvanto::eudc_system {

bool Available();
// The string value "SystemDefaultEUDCFont" (Shift_JIS bytes), at most max_bytes long;
// nullopt when the key or value cannot be read.
std::optional<std::string> ReadDefaultFont(std::size_t max_bytes);
// Creates the key when missing and sets the value.
bool WriteDefaultFont(std::string_view path);
// The Windows folder (GetWindowsDirectory); empty where there is none.
std::string WindowsFolder();
// Whether GDI32.DLL exports EnableEUDC, and the call itself.
bool HasEnableEudc();
bool EnableEudc(bool enable);

}  // namespace sorvanto::eudc_system
