// Feeds one received object to the importer; the first byte picks the object name.
#include <filesystem>
#include <fstream>

#include "formats/import_sink.h"
#include "formats/importer_for_model.h"

namespace {
struct NullSink : sorvanto::ImportSink {
    void AddMelody(const std::string&) override {}
    void AddBookmark(const std::string&, const std::string&) override {}
    void AddOutboxMail(const std::string&) override {}
    void AddReceivedMail(const std::string&) override {}
    void AddSentMail(const std::string&) override {}
    void AddAddress(const std::string&) override {}
    void AddStandbyPicture(const std::string&, const std::string&) override {}
    void AddCameraPicture(const std::string&, const std::string&, const std::string&) override {}
};
const char* const kNames[] = {"pb.vcf", "mld.vnt", "img.vnt", "bm.url", "outmsg.vmg", "mypic.vnt", "telecom_pb.vcf", "telecom_bm.url"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool home = [] {
        const auto dir = std::filesystem::temp_directory_path() / "sorvanto-fuzz-import-family4";
        std::filesystem::create_directories(dir / "TmpFiles");
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)home;
    if (size == 0) return 0;
    const std::string name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    std::ofstream("TmpFiles/00000000 " + name, std::ios::binary).write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    NullSink sink;
    sorvanto::ImporterForModel(4, sink)->Import("TmpFiles\\00000000 " + name);
    return 0;
}
