#include "pictograph/eudc_platform.h"

#include "platform/eudc_system.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {

// Windows: the registry, the Windows folder and GDI through the platform layer; files through
// the file layer, which takes the Windows paths as they are.
class SystemEudcPlatform : public EudcPlatform {
public:
    bool HasEudc() const override { return true; }
    std::optional<std::string> ReadDefaultFont() const override { return eudc_system::ReadDefaultFont(260); }
    bool WriteDefaultFont(std::string_view path) override { return eudc_system::WriteDefaultFont(path); }
    std::string WindowsFolder() const override { return eudc_system::WindowsFolder(); }
    bool FileExists(std::string_view path) const override { return fs::Exists(path); }
    std::optional<std::string> ReadFile(std::string_view path) const override { return fs::ReadFile(path); }
    bool CopyFile(std::string_view from, std::string_view to) override { return fs::CopyFile(from, to, true); }
    bool HasEnableEudc() const override { return eudc_system::HasEnableEudc(); }
    bool EnableEudc(bool enable) override { return eudc_system::EnableEudc(enable); }
};

}  // namespace

std::unique_ptr<EudcPlatform> MakeSystemEudcPlatform() {
    // Systems without end-user-defined characters show the pictographs through the emoji font.
    if (!eudc_system::Available()) return std::make_unique<NoEudcPlatform>();
    return std::make_unique<SystemEudcPlatform>();
}

}  // namespace sorvanto
