#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// N504i(S), N503i(S), N505i: Base64 melodies and pictures (standby pictures too), vBookmarks,
// vCards with plain TEL/EMAIL/ADR lines and 8-bit mail.
class NecImporter : public ObjectImporter {
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
