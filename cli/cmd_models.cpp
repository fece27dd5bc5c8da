#include <string>

#include "command.h"
#include "formats/model_profiles.h"

namespace sorvanto::cli {

namespace {

std::string InfoText(const model_profiles::ModelInfo& info) {
    std::string text = "standby " + std::to_string(info.standbyWidth) + "x" + std::to_string(info.standbyHeight);
    if (info.altStandbyWidth != 0)
        text += " (" + std::to_string(info.altStandbyWidth) + "x" + std::to_string(info.altStandbyHeight) + ")";
    text += ", " + std::to_string(info.colours) + " colours";
    text += ", " + std::to_string(info.voices) + " voices";
    text += ", melody " + std::to_string(info.melodyMaxBytes) + " bytes";
    return text;
}

int RunModels(const GlobalOptions&, std::vector<std::string>& args) {
    if (!args.empty()) {
        PrintError("models takes no arguments");
        return kUsage;
    }
    for (int i = 0;; ++i) {
        const auto model = model_profiles::ModelAt(i);
        if (!model) break;
        const auto info = model_profiles::GetModelInfo(model->id);
        std::string line = std::to_string(model->id) + "\t" + model->name;
        if (info) line += "\t" + InfoText(*info);
        PrintLine(line);
    }
    return kOk;
}

const Registrar kModels({"models", "models                      list the handset models on offer", RunModels});

}  // namespace

}  // namespace sorvanto::cli
