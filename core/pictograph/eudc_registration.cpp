#include "pictograph/eudc_registration.h"

namespace sorvanto {

std::string EudcRegistration::FontsFolder(std::string_view windows_folder) {
    std::string folder(windows_folder);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\fonts";
}

std::string EudcRegistration::AbsoluteFontPath(std::string_view fonts_folder, std::string_view value) {
    if (value.size() >= 2 && value[1] == ':') return std::string(value);
    std::string path(fonts_folder);
    if (value.empty() || value.front() != '\\') path += '\\';
    path += value;
    return path;
}

std::string EudcRegistration::WithoutExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("\\/");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::string(path);
    return std::string(path.substr(0, dot));
}

std::optional<std::string> EudcRegistration::PreviousValue(std::size_t buffer) const {
    auto value = platform_.ReadDefaultFont();
    // A value longer than the buffer cannot be read at all, as the registry call refuses it.
    if (!value || value->size() + 1 > buffer) return std::nullopt;
    return value;
}

bool EudcRegistration::IsOwnFont(std::string_view tte_path) const {
    const auto own = platform_.ReadFile(kOwnTte);
    if (!own) return false;
    const auto previous = platform_.ReadFile(tte_path);
    return previous && *previous == *own;
}

EudcRegistration::Result EudcRegistration::Register() {
    Result result;
    if (!platform_.HasEudc()) return result;
    const std::string fonts = FontsFolder(platform_.WindowsFolder());

    bool backup_failed = false;
    if (const auto value = PreviousValue(kRegisterBuffer)) {
        result.had_previous = true;
        const std::string base = WithoutExtension(AbsoluteFontPath(fonts, *value));
        const std::string euf = base + ".EUF", tte = base + ".TTE";
        // Registering a second time would otherwise back up our own font over the user's.
        if (IsOwnFont(tte)) {
            result.kept_backups = true;
        } else {
            const bool euf_copied = platform_.CopyFile(euf, kBackupEuf);
            const bool tte_copied = platform_.CopyFile(tte, kBackupTte);
            result.backed_up = euf_copied && tte_copied;
            backup_failed = (!euf_copied && platform_.FileExists(euf)) || (!tte_copied && platform_.FileExists(tte));
        }
    }

    if (!platform_.HasEnableEudc()) return result;
    // Replacing the system pair without a backup, or with nothing to put in its place, would
    // lose the user's characters.
    if (backup_failed || !platform_.FileExists(kOwnTte) || !platform_.FileExists(kOwnEuf)) {
        result.skipped_unsafe = true;
        return result;
    }

    platform_.EnableEudc(false);
    const std::string target = fonts + "\\EUDC.TTE";
    platform_.WriteDefaultFont(target);
    const bool tte_installed = platform_.CopyFile(kOwnTte, target);
    const bool euf_installed = platform_.CopyFile(kOwnEuf, fonts + "\\EUDC.EUF");
    platform_.EnableEudc(true);
    result.installed = tte_installed && euf_installed;
    return result;
}

}  // namespace sorvanto
