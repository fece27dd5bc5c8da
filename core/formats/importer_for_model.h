#pragma once

#include <memory>

#include "formats/object_importer.h"

namespace sorvanto {

// The importer for what the handset of this model pushes: 0 -> family 0, 1 -> family 1,
// 2, 7, 8 -> NEC family, 4 -> family 4. Any other id gives none: nothing is imported.
std::unique_ptr<ObjectImporter> ImporterForModel(int model_id, ImportSink& sink);

}  // namespace sorvanto
