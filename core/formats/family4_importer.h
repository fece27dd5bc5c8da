#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// F504i(S): as the NEC family, but with the common object names and no standby picture
// kind ("img.vnt" is a camera picture).
class Family4Importer : public ObjectImporter {
public:
    using ObjectImporter::ObjectImporter;

    bool ConvertMelody(const std::string& file) override;
    bool ParseBookmarkNote(const std::string& file, std::string& title, std::string& url) override;
    bool ConvertAddress(const std::string& file) override;
    bool ConvertMail(const std::string& file) override;
    bool ConvertCameraPicture(const std::string& file, std::string& title, std::string& file_name) override;
    std::span<const NameRow> NameTable() const override;
};

}  // namespace sorvanto
