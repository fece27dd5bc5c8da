// IrLMP and TinyTP on arbitrary I fields: the input is cut into frames (a length byte, then
// that many bytes), fed to IrLMP with IAS and a TinyTP listener above it, and what arrives is
// read in between so that credits are granted back.
#include <cstdint>
#include <vector>

#include "irda/ias.h"
#include "irda/irlmp.h"
#include "irda/tinytp.h"

namespace {

using sorvanto::irda::Micros;

class NullLap : public sorvanto::irda::IrlapService {
public:
    void DiscoveryRequest(int, Micros) override {}
    void ConnectRequest(std::uint32_t, Micros) override {}
    bool DataRequest(std::vector<std::uint8_t>, Micros) override { return ++taken % 5 != 0; }
    void DisconnectRequest(Micros) override {}
    bool Connected() const override { return true; }
    std::size_t MaxIField() const override { return 64; }
    std::size_t QueuedFrames() const override { return 0; }
    std::uint32_t OwnAddress() const override { return 1; }
    int taken = 0;
};

struct Sink : sorvanto::irda::TtpUser {
    std::vector<int> conns;
    void OnTtpIncoming(int conn, Micros) override { conns.push_back(conn); }
    void OnTtpConnected(int conn, bool, Micros) override { conns.push_back(conn); }
    void OnTtpData(int, Micros) override {}
    void OnTtpClosed(int, int, Micros) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sorvanto::irda;
    NullLap lap;
    Irlmp lmp(lap);
    IasServer ias(lmp);
    ias.Set("OBEX", "IrDA:TinyTP:LsapSel", IasValue::Integer(5));
    Sink sink;
    TinyTp ttp(lmp, &sink, TinyTp::Config{3, 0});
    ttp.Listen(5);
    lmp.OnConnectIndication(2, 0);
    ttp.Connect(2, 7, 0);  // an outgoing one too, whose confirm the input may bring
    Micros now = 1;
    std::uint8_t out[64];
    for (size_t at = 0; at < size; ++now) {
        const size_t n = data[at++];
        const size_t take = n < size - at ? n : size - at;
        lmp.OnData(data + at, take, now);
        at += take;
        for (int conn : sink.conns) {
            ttp.Read(conn, out, (now % 3) * 7, now);
            if (now % 4 == 0) ttp.Send(conn, data, size < 200 ? size : 200, now);
        }
        lmp.Pump(now);
        ttp.Pump(now);
        lmp.OnTimer(now * 1'000'000);
        ttp.OnTimer(now * 1'000'000);
    }
    return 0;
}
