#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// P503i(S): quoted-printable melodies and mail, vNote bookmarks, vCards with pictograph icons.
class Family0Importer : public ObjectImporter {
public:
    using ObjectImporter::ObjectImporter;

    bool ConvertMelody(const ReceivedObject& object, std::string& mld) override;
    bool ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) override;
    bool ConvertAddress(const ReceivedObject& object, std::string& entry) override;
    bool ConvertMail(const ReceivedObject& object, std::string& mail) override;
    std::span<const NameRow> NameTable() const override;
};

}  // namespace sorvanto
