// Feeds one received object to the importer; the first byte picks the object name.
#include "import_fuzz_driver.h"

namespace {
const char* const kNames[] = {"pb.vcf", "mld.vnt", "bmk.vnt", "bm.url", "inmsg.vmg", "telecom_pb.vcf", "telecom_inmsg.vmg", "telecom_bm.url"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return sorvanto::fuzz::FeedImporter(0, "sorvanto-fuzz-import-family0", kNames, data, size);
}
