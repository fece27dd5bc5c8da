#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sorvanto {

// The system services the EUDC registration works through: the current user's registry value
// "SystemDefaultEUDCFont" under "EUDC\932", the Windows folder, file copies and GDI's
// EnableEUDC. Paths are in their Windows form ("C:\WINDOWS\fonts\EUDC.TTE", ".\OldEUDC.TTE").
class EudcPlatform {
public:
    virtual ~EudcPlatform() = default;

    // False where the system has no end-user-defined characters at all; the registration then
    // has nothing to do.
    virtual bool HasEudc() const = 0;

    // "SystemDefaultEUDCFont" as stored; nullopt when the key or value cannot be read.
    virtual std::optional<std::string> ReadDefaultFont() const = 0;
    // Creates "EUDC\932" when missing and sets the value.
    virtual bool WriteDefaultFont(std::string_view path) = 0;

    // The Windows folder as the system reports it (a trailing backslash is allowed).
    virtual std::string WindowsFolder() const = 0;

    virtual bool FileExists(std::string_view path) const = 0;
    // The whole file; nullopt when it cannot be read.
    virtual std::optional<std::string> ReadFile(std::string_view path) const = 0;
    // Copies from onto to, replacing an existing file.
    virtual bool CopyFile(std::string_view from, std::string_view to) = 0;

    // Whether GDI offers EnableEUDC, and the call itself (false releases the font, true loads
    // it again).
    virtual bool HasEnableEudc() const = 0;
    virtual bool EnableEudc(bool enable) = 0;
};

// A system without end-user-defined characters (Linux and the other Unix desktops): the
// pictographs are shown through the emoji font instead, so there is nothing to register.
class NoEudcPlatform : public EudcPlatform {
public:
    bool HasEudc() const override { return false; }
    std::optional<std::string> ReadDefaultFont() const override { return std::nullopt; }
    bool WriteDefaultFont(std::string_view) override { return false; }
    std::string WindowsFolder() const override { return {}; }
    bool FileExists(std::string_view) const override { return false; }
    std::optional<std::string> ReadFile(std::string_view) const override { return std::nullopt; }
    bool CopyFile(std::string_view, std::string_view) override { return false; }
    bool HasEnableEudc() const override { return false; }
    bool EnableEudc(bool) override { return false; }
};

// The platform of the system the program runs on.
std::unique_ptr<EudcPlatform> MakeSystemEudcPlatform();

}  // namespace sorvanto
