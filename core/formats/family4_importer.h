#pragma once

#include "formats/nec_importer.h"

namespace sorvanto {

// F504i(S): the NEC family's conversions, but with the common object names and no standby
// picture kind ("img.vnt" is a camera picture).
class Family4Importer : public NecImporter {
public:
    using NecImporter::NecImporter;

    std::span<const NameRow> NameTable() const override;
};

}  // namespace sorvanto
