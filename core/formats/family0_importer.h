#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// P503i(S): quoted-printable melodies and mail, vNote bookmarks, vCards with pictograph icons.
class Family0Importer : public ObjectImporter {
public:
    using ObjectImporter::ObjectImporter;

    bool ConvertMelody(const std::string& file) override;
    bool ParseBookmarkNote(const std::string& file, std::string& title, std::string& url) override;
    bool ConvertAddress(const std::string& file) override;
    bool ConvertMail(const std::string& file) override;
    std::span<const NameRow> NameTable() const override;
};

}  // namespace sorvanto
