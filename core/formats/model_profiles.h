#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The handset models the program knows, with the display and sound capabilities shown on the
// configuration page. Model ids are what "Model" in section "System" stores; -1 is "none".
namespace sorvanto::model_profiles {

inline constexpr int kNoModel = -1;
// Only the first six rows are offered and searched; the rows after them carry id 0 and are
// never reached.
inline constexpr int kOfferedModelCount = 6;

// One row of the table, laid out as the program has always kept it (92 bytes).
struct ModelProfile {
    std::int32_t id;
    char name[32];
    std::int32_t colA;
    std::int32_t colB;
    std::int32_t colAB;
    std::int32_t standbyWidth;
    std::int32_t standbyHeight;
    std::int32_t altStandbyWidth;   // 0 when the model has no second standby size
    std::int32_t altStandbyHeight;
    std::int32_t standbyMaxBytes;
    std::int32_t colD;
    std::int32_t colE;
    std::int32_t colours;
    std::int32_t voices;
    std::int32_t melodyMaxBytes;
    std::int32_t colC;
};
static_assert(sizeof(ModelProfile) == 92);

// The whole table: eleven model rows and the end row (id -1).
const std::array<ModelProfile, 12>& Table();

// What the configuration page shows for a model.
struct ModelInfo {
    std::string name;
    int standbyWidth = 0;
    int standbyHeight = 0;
    int altStandbyWidth = 0;
    int altStandbyHeight = 0;
    int standbyMaxBytes = 0;
    int colours = 0;
    int voices = 0;
    int melodyMaxBytes = 0;
};

struct OfferedModel {
    int id;
    std::string name;
};

// The offered model at index 0..5 in list order; nullopt for any other index.
std::optional<OfferedModel> ModelAt(int index);
// The name of the offered model with this id, cut to buffer_size - 1 characters as a caller's
// buffer of that size would hold it; nullopt when the id is not offered.
std::optional<std::string> ModelName(int id, std::size_t buffer_size = 32);
// The capabilities of the offered model with this id; nullopt when it is not offered (3, 5, 6,
// -1, ...).
std::optional<ModelInfo> GetModelInfo(int id);

// Which importer handles what a model's handset pushes.
enum class ImportFamily { kNone, kFamily0, kFamily1, kNec, kFamily4 };
ImportFamily ImportFamilyOf(int id);

// "Sorvanto - <model name>"; nullopt when the id is not offered (the title then stays).
std::optional<std::string> WindowTitle(int id);

}  // namespace sorvanto::model_profiles
