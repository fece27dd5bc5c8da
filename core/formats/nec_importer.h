#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// N504i(S), N503i(S), N505i: Base64 melodies and pictures (standby pictures too), vBookmarks,
// vCards with plain TEL/EMAIL/ADR lines and 8-bit mail.
class NecImporter : public ObjectImporter {
public:
    using ObjectImporter::ObjectImporter;

    bool ConvertMelody(const ReceivedObject& object, std::string& mld) override;
    bool ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) override;
    bool ConvertAddress(const ReceivedObject& object, std::string& entry) override;
    bool ConvertMail(const ReceivedObject& object, std::string& mail) override;
    bool ConvertCameraPicture(const ReceivedObject& object, std::string& title, std::string& file_name,
                              std::string& picture) override;
    std::span<const NameRow> NameTable() const override;
};

}  // namespace sorvanto
