#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "pictograph/eudc_platform.h"

namespace sorvanto {

// Installs the program's pictograph font pair as the system's end-user-defined character font
// of code page 932, after saving the previously registered pair as ".\OldEUDC.EUF" and
// ".\OldEUDC.TTE". Nothing here shows a message; the result tells what was done.
class EudcRegistration {
public:
    static constexpr const char* kOwnTte = ".\\svEUDC.TTE";
    static constexpr const char* kOwnEuf = ".\\svEUDC.EUF";
    static constexpr const char* kBackupTte = ".\\OldEUDC.TTE";
    static constexpr const char* kBackupEuf = ".\\OldEUDC.EUF";
    // A registry value is read into a buffer of this many bytes, the terminator included: the
    // dialog's look-up uses the smaller one.
    static constexpr std::size_t kNoticeBuffer = 256;
    static constexpr std::size_t kRegisterBuffer = 260;

    struct Result {
        bool had_previous = false;  // a previous value was read
        bool backed_up = false;     // both backups were copied
        bool kept_backups = false;  // the previous font was already ours: the backups were left
        bool installed = false;     // EnableEUDC was found and the pair was put in place
        // Set when the installation was skipped to keep the user's fonts safe: the program's
        // own pair is missing, or an existing previous font could not be backed up.
        bool skipped_unsafe = false;
    };

    explicit EudcRegistration(EudcPlatform& platform) : platform_(platform) {}

    // False where the system has no end-user-defined characters: Register does nothing.
    bool Available() const { return platform_.HasEudc(); }
    // The dialog's backup line is shown when this is true.
    bool HasPreviousFont() const { return PreviousValue(kNoticeBuffer).has_value(); }

    Result Register();

    // The Windows folder without its trailing backslash, then "\fonts".
    static std::string FontsFolder(std::string_view windows_folder);
    // A value that does not start with a drive letter and ':' is relative to the fonts folder.
    static std::string AbsoluteFontPath(std::string_view fonts_folder, std::string_view value);
    // The path without its extension; a '.' in a folder name is no extension.
    static std::string WithoutExtension(std::string_view path);

private:
    std::optional<std::string> PreviousValue(std::size_t buffer) const;
    bool IsOwnFont(std::string_view tte_path) const;

    EudcPlatform& platform_;
};

}  // namespace sorvanto
