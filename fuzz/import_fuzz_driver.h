// The body shared by the importer fuzz targets: one received object per input, the first byte
// picking which of the family's object names it arrives under.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "formats/import_sink.h"
#include "formats/importer_for_model.h"

namespace sorvanto::fuzz {

struct NullSink : ImportSink {
    void AddMelody(const std::string&) override {}
    void AddBookmark(const std::string&, const std::string&) override {}
    void AddOutboxMail(const std::string&) override {}
    void AddReceivedMail(const std::string&) override {}
    void AddSentMail(const std::string&) override {}
    void AddAddress(const std::string&) override {}
    void AddStandbyPicture(const std::string&, const std::string&) override {}
    void AddCameraPicture(const std::string&, const std::string&, const std::string&) override {}
};

/// Writes data[1..] to "TmpFiles\00000000 <name>" in a scratch working folder named `home`
/// (created on the first call) and imports it with the importer of `model`.
inline int FeedImporter(int model, const char* home, std::span<const char* const> names,
                        const uint8_t* data, size_t size) {
    static const bool entered = [home] {
        const auto dir = std::filesystem::temp_directory_path() / home;
        std::filesystem::create_directories(dir / "TmpFiles");
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)entered;
    if (size == 0) return 0;
    const std::string name = names[data[0] % names.size()];
    std::ofstream("TmpFiles/00000000 " + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    NullSink sink;
    ImporterForModel(model, sink)->Import("TmpFiles\\00000000 " + name);
    return 0;
}

}  // namespace sorvanto::fuzz
