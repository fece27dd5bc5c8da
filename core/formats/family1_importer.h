#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// P504i(S): Base64 melodies and pictures, 16-bit bitmap standby pictures, vBookmarks, vCards
// with pictograph icons and quoted-printable mail.
class Family1Importer : public ObjectImporter {
public:
    using ObjectImporter::ObjectImporter;

    bool ConvertMelody(const std::string& file) override;
    // "scln.vnt": the RGB565 pixels, top row first, become a bottom-up bitmap "img2.tmp".
    bool ConvertPicture(const std::string& file) override;
    bool ParseBookmarkNote(const std::string& file, std::string& title, std::string& url) override;
    bool ConvertAddress(const std::string& file) override;
    bool ConvertMail(const std::string& file) override;
    bool ConvertCameraPicture(const std::string& file, std::string& title, std::string& file_name) override;
    std::span<const NameRow> NameTable() const override;

    // Larger than any handset screen; keeps the bitmap's sizes far from overflow.
    static constexpr int kMaxSide = 2048;
};

}  // namespace sorvanto
