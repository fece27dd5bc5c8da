// The session's packet reassembly: the input arrives in pieces whose sizes come from the input.
#include <cstdint>

#include "irlink/cancel_flag_monitor.h"
#include "irlink/irda_session.h"
#include "platform/scripted_link.h"

namespace {
class Session : public sorvanto::IrdaSession {
public:
    explicit Session(std::unique_ptr<sorvanto::LinkApi> link) : IrdaSession(std::move(link)) {}
    int OnPacket(const std::uint8_t* p, int n) override {
        // Every packet handed over is whole: its declared length is its length.
        if (n < 3 || ((p[1] << 8) | p[2]) != n) __builtin_trap();
        return 0;
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    auto link = std::make_unique<sorvanto::ScriptedLink>();
    link->SetDevices({{{127, 0, 0, 1}, "H"}});
    sorvanto::ScriptedLink::Peer peer;
    const size_t piece = data[0] % 64 + 1;
    for (size_t i = 1; i < size; i += piece)
        peer.steps.push_back(sorvanto::ScriptedLink::Data(std::string(reinterpret_cast<const char*>(data + i), std::min(piece, size - i))));
    peer.steps.push_back(sorvanto::ScriptedLink::Closed());
    link->SetConnect(sorvanto::ScriptedLink::ConnectOutcome::kAccept, peer);
    Session s(std::move(link));
    if (s.OpenClient() != 0 || s.EnumerateDevices() != 0) return 0;
    s.BeginClientRun();
    sorvanto::CancelFlagMonitor monitor(std::chrono::seconds(2));
    s.Run(&monitor);
    return 0;
}
