#include "formats/importer_for_model.h"

#include "formats/family0_importer.h"
#include "formats/family1_importer.h"
#include "formats/family4_importer.h"
#include "formats/model_profiles.h"
#include "formats/nec_importer.h"

namespace sorvanto {

std::unique_ptr<ObjectImporter> ImporterForModel(int model_id, ImportSink& sink) {
    using model_profiles::ImportFamily;
    switch (model_profiles::ImportFamilyOf(model_id)) {
        case ImportFamily::kFamily0: return std::make_unique<Family0Importer>(sink);
        case ImportFamily::kFamily1: return std::make_unique<Family1Importer>(sink);
        case ImportFamily::kNec: return std::make_unique<NecImporter>(sink);
        case ImportFamily::kFamily4: return std::make_unique<Family4Importer>(sink);
        case ImportFamily::kNone: break;
    }
    return nullptr;
}

}  // namespace sorvanto
