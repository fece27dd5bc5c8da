#include "app/sorvanto_doc.h"

#include <QWidget>

#include "common/settings_file.h"
#include "common/sjis.h"
#include "controls/sjis_text.h"
#include "formats/model_profiles.h"

namespace sorvanto {

namespace {
constexpr const char* kSystem = "System";
}

CSorvantoDoc::CSorvantoDoc()
    : model_(SettingsFile::Get().GetInt(kSystem, "Model", -1)),
      ir_mode_(SettingsFile::Get().GetInt(kSystem, "IrMode", 1)) {}

CSorvantoDoc::~CSorvantoDoc() {
    WriteSettings();
    SettingsFile::Save();
}

void CSorvantoDoc::WriteSettings() const {
    IniFile& ini = SettingsFile::Get();
    ini.SetInt(kSystem, "Model", model_);
    ini.SetInt(kSystem, "IrMode", ir_mode_);
}

int CSorvantoDoc::SetModel(int id) {
    const int previous = model_;
    model_ = id;
    if (main_window_) {
        if (auto title = model_profiles::WindowTitle(id))
            main_window_->setWindowTitle(sjis_text::ToQString(*title));
    }
    return previous;
}

int CSorvantoDoc::SetIrMode(int mode) {
    const int previous = ir_mode_;
    ir_mode_ = mode;
    return previous;
}

int CSorvantoDoc::GetModelName(int id, std::string* name, int buffer_size) const {
    if (buffer_size <= 0) return 0;
    auto found = model_profiles::ModelName(id, static_cast<std::size_t>(buffer_size));
    if (!found) return 0;
    if (name) *name = *found;
    return 1;
}

int CSorvantoDoc::GetModelAt(int index, std::string* name, int buffer_size, int* id) const {
    if (index < 0 || index >= kOfferedModels || buffer_size <= 0) return 0;
    auto model = model_profiles::ModelAt(index);
    if (!model) return 0;
    if (name) *name = sjis::CutBytes(model->name, static_cast<std::size_t>(buffer_size) - 1);
    if (id) *id = model->id;
    return 1;
}

int CSorvantoDoc::GetModelLimits(int id, int* standby_max_bytes, int* width, int* height,
                                 int* alt_width, int* alt_height, int* colours) const {
    auto info = model_profiles::GetModelInfo(id);
    if (!info) return 0;
    if (standby_max_bytes) *standby_max_bytes = info->standbyMaxBytes;
    if (width) *width = info->standbyWidth;
    if (height) *height = info->standbyHeight;
    if (alt_width) *alt_width = info->altStandbyWidth;
    if (alt_height) *alt_height = info->altStandbyHeight;
    if (colours) *colours = info->colours;
    return 1;
}

int CSorvantoDoc::GetModelSound(int id, int* voices, int* melody_max_bytes) const {
    auto info = model_profiles::GetModelInfo(id);
    if (!info) return 0;
    if (voices) *voices = info->voices;
    if (melody_max_bytes) *melody_max_bytes = info->melodyMaxBytes;
    return 1;
}

}  // namespace sorvanto
