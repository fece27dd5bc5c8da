// Feeds one received object to the importer; the first byte picks the object name.
#include "import_fuzz_driver.h"

namespace {
const char* const kNames[] = {"pb.vcf", "mld.vnt", "img.vnt", "bm.url", "outmsg.vmg", "mypic.vnt", "telecom_pb.vcf", "telecom_bm.url"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return sorvanto::fuzz::FeedImporter(4, "sorvanto-fuzz-import-family4", kNames, data, size);
}
