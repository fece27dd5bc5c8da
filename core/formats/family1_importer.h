#pragma once

#include "formats/object_importer.h"

namespace sorvanto {

// P504i(S): Base64 melodies and pictures, 16-bit bitmap standby pictures, vBookmarks, vCards
// with pictograph icons and quoted-printable mail.
class Family1Importer : public ObjectImporter {
public:
    using ObjectImporter::ObjectImporter;

    bool ConvertMelody(const ReceivedObject& object, std::string& mld) override;
    // "scln.vnt": the RGB565 pixels, top row first, become a bottom-up bitmap "img2.tmp".
    bool ConvertPicture(const ReceivedObject& object, std::string& bitmap) override;
    bool ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) override;
    bool ConvertAddress(const ReceivedObject& object, std::string& entry) override;
    bool ConvertMail(const ReceivedObject& object, std::string& mail) override;
    bool ConvertCameraPicture(const ReceivedObject& object, std::string& title, std::string& file_name,
                              std::string& picture) override;
    std::span<const NameRow> NameTable() const override;

    // Larger than any handset screen; keeps the bitmap's sizes far from overflow.
    static constexpr int kMaxSide = 2048;
};

}  // namespace sorvanto
