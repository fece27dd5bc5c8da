#include "common/settings_file.h"

#include <memory>
#include <mutex>

namespace sorvanto {

namespace {
std::mutex g_mutex;
std::unique_ptr<IniFile> g_settings;
}  // namespace

IniFile& SettingsFile::Get() {
    std::lock_guard lock(g_mutex);
    if (!g_settings) g_settings = std::make_unique<IniFile>(kPath);
    return *g_settings;
}

bool SettingsFile::Save() {
    std::lock_guard lock(g_mutex);
    return g_settings && g_settings->Save();
}

void SettingsFile::Reset() {
    std::lock_guard lock(g_mutex);
    g_settings.reset();
}

}  // namespace sorvanto
