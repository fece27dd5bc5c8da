// IAS on arbitrary bytes: the server's answer to a request frame, and the client's reading of
// an answer (parsed directly and through a query on a link that answers with the input).
#include <cstdint>
#include <vector>

#include "irda/ias.h"
#include "irda/irlmp.h"

namespace {

class NullLap : public sorvanto::irda::IrlapService {
public:
    void DiscoveryRequest(int, sorvanto::irda::Micros) override {}
    void ConnectRequest(std::uint32_t, sorvanto::irda::Micros) override {}
    bool DataRequest(std::vector<std::uint8_t>, sorvanto::irda::Micros) override { return true; }
    void DisconnectRequest(sorvanto::irda::Micros) override {}
    bool Connected() const override { return true; }
    std::size_t MaxIField() const override { return 64; }
    std::size_t QueuedFrames() const override { return 0; }
    std::uint32_t OwnAddress() const override { return 1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorvanto::irda;
    NullLap lap;
    Irlmp lmp(lap);
    IasServer server(lmp);
    server.Set("Device", "DeviceName", IasValue::String("PC"));
    server.Set("OBEX", "IrDA:TinyTP:LsapSel", IasValue::Integer(5));
    server.Answer(data, size);
    IasRequest request;
    ParseIasRequest(data, size, &request);
    IasAnswer answer;
    ParseIasAnswer(data, size, &answer);

    // The same bytes as the answer a client gets from a peer's IAS.
    lmp.OnConnectConfirm(2, 0);
    IasClient client(lmp);
    client.Query(2, "OBEX", "IrDA:TinyTP:LsapSel", [](const IasAnswer*, Micros) {}, 0);
    const std::uint8_t confirm[4] = {0x90, 0x00, 0x81, 0x00};
    lmp.OnData(confirm, sizeof confirm, 1);
    std::vector<std::uint8_t> frame{0x10, 0x00};
    frame.insert(frame.end(), data, data + size);
    lmp.OnData(frame.data(), frame.size(), 2);
    return 0;
}
