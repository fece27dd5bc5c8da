// The PUT client's response handler: the input is a series of responses, each preceded by one
// length byte, fed to one exchange from its CONNECT on.
#include <cstdint>

#include "irlink/obex_put_client.h"
#include "platform/scripted_link.h"

namespace {
class Job : public sorvanto::ObexPutClient {
public:
    Job() : ObexPutClient(0, 1, std::make_unique<sorvanto::ScriptedLink>()) { SetObjectName("telecom/pb.vcf"); }
    int SendObject(const std::string*, const std::string*, sorvanto::TransferMonitor*) override { return -1; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Job job;
    job.OnConnected(sorvanto::IrdaSession::kOutgoing);
    for (size_t i = 0; i < size;) {
        const size_t n = std::min<size_t>(data[i], size - i - 1);
        job.OnPacket(data + i + 1, static_cast<int>(n));
        i += n + 1;
    }
    return 0;
}
