// Feeds one received object to the importer; the first byte picks the object name.
#include "import_fuzz_driver.h"

namespace {
const char* const kNames[] = {"nec_pb.vcf", "nec_mld.vnt", "nec_img.vnt", "nec_bm.url", "nec_imsg.vmg", "mypic.vnt", "telecom_pb.vcf", "telecom_sentmsg.vmg"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return sorvanto::fuzz::FeedImporter(2, "sorvanto-fuzz-import-nec", kNames, data, size);
}
