// Feeds one received object to the importer; the first byte picks the object name.
#include "import_fuzz_driver.h"

namespace {
const char* const kNames[] = {"pb.vcf", "mld.vnt", "scln.vnt", "bm.url", "inmsg.vmg", "pic.vnt", "telecom_pb.vcf", "telecom_outmsg.vmg"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return sorvanto::fuzz::FeedImporter(1, "sorvanto-fuzz-import-family1", kNames, data, size);
}
