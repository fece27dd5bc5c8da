#include "formats/model_profiles.h"

#include <cstring>

namespace sorvanto::model_profiles {

namespace {

// The rows after the sixth are models the program once meant to offer. They all carry id 0 and
// no importer or object names of their own, so they stay out of every lookup.
constexpr std::array<ModelProfile, 12> kTable{{
    {0, "P503i(S)", 12, 10, 120, 120, 115, 0, 0, 10240, 120, 130, 256, 16, 10240, 1},
    {2, "N504i(S)", 10, 10, 100, 160, 198, 0, 0, 10240, 160, 180, 65536, 40, 10240, 1},
    {7, "N503i(S)", 10, 10, 100, 120, 128, 0, 0, 10240, 118, 128, 65536, 16, 10240, 1},
    {1, "P504i(S)", 11, 9, 99, 132, 144, 0, 0, 10240, 132, 144, 65536, 32, 10240, 1},
    {4, "F504i(S)", 8, 8, 64, 132, 136, 0, 0, 10240, 132, 136, 65536, 32, 10240, 1},
    {8, "N505i", 10, 10, 100, 160, 198, 108, 80, 10240, 160, 180, 65536, 40, 10240, 1},
    {0, "N504iS", 10, 10, 100, 160, 198, 108, 80, 10240, 160, 180, 65536, 40, 10240, 1},
    {0, "P504iS", 11, 9, 99, 132, 176, 96, 64, 10240, 132, 144, 65536, 32, 10240, 1},
    {0, "D504i", 11, 11, 121, 132, 160, 0, 0, 10240, 132, 144, 262144, 32, 10240, 1},
    {0, "F504i", 8, 8, 64, 132, 136, 0, 0, 10240, 132, 136, 65536, 32, 10240, 1},
    {0, "SO504i", 8, 7, 56, 128, 128, 0, 0, 10240, 120, 112, 65536, 40, 10240, 1},
    {-1, "", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

const ModelProfile* FindOffered(int id) {
    for (int i = 0; i < kOfferedModelCount; ++i) {
        if (kTable[i].id == id) return &kTable[i];
    }
    return nullptr;
}

}  // namespace

const std::array<ModelProfile, 12>& Table() { return kTable; }

std::optional<OfferedModel> ModelAt(int index) {
    if (index < 0 || index >= kOfferedModelCount) return std::nullopt;
    return OfferedModel{kTable[index].id, kTable[index].name};
}

std::optional<std::string> ModelName(int id, std::size_t buffer_size) {
    const ModelProfile* row = FindOffered(id);
    if (!row) return std::nullopt;
    std::string name(row->name, strnlen(row->name, sizeof row->name));
    if (buffer_size == 0) return std::string();
    if (name.size() > buffer_size - 1) name.resize(buffer_size - 1);
    return name;
}

std::optional<ModelInfo> GetModelInfo(int id) {
    const ModelProfile* row = FindOffered(id);
    if (!row) return std::nullopt;
    ModelInfo info;
    info.name.assign(row->name, strnlen(row->name, sizeof row->name));
    info.standbyWidth = row->standbyWidth;
    info.standbyHeight = row->standbyHeight;
    info.altStandbyWidth = row->altStandbyWidth;
    info.altStandbyHeight = row->altStandbyHeight;
    info.standbyMaxBytes = row->standbyMaxBytes;
    info.colours = row->colours;
    info.voices = row->voices;
    info.melodyMaxBytes = row->melodyMaxBytes;
    return info;
}

ImportFamily ImportFamilyOf(int id) {
    switch (id) {
        case 0: return ImportFamily::kFamily0;
        case 1: return ImportFamily::kFamily1;
        case 2:
        case 7:
        case 8: return ImportFamily::kNec;
        case 4: return ImportFamily::kFamily4;
        default: return ImportFamily::kNone;
    }
}

std::optional<std::string> WindowTitle(int id) {
    const std::optional<std::string> name = ModelName(id);
    if (!name) return std::nullopt;
    return "Sorvanto - " + *name;
}

}  // namespace sorvanto::model_profiles
