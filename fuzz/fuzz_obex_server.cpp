// The server's packet handler on arbitrary requests (answers go nowhere: no connection).
#include <cstdint>
#include <filesystem>
#include <unistd.h>

#include "irlink/obex_server_session.h"
#include "platform/scripted_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool in_scratch = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("fuzz-obex-server-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return ::chdir(dir.c_str()) == 0;
    }();
    (void)in_scratch;
    // As a handset in reach meets it, and on a network after the challenge, where the request
    // is searched for the digest answer.
    for (const bool network : {false, true}) {
        sorvanto::ByteList queue;
        auto link = std::make_unique<sorvanto::ScriptedLink>();
        link->SetReachableFromNetwork(network);
        sorvanto::ObexServerSession server(std::move(link), &queue);
        server.OnConnected(sorvanto::IrdaSession::kIncoming);
        if (network) {
            const uint8_t connect[7] = {0x80, 0x00, 0x07, 0x10, 0x00, 0x04, 0x00};
            server.OnPacket(connect, 7);
        }
        server.OnPacket(data, static_cast<int>(size));
    }
    return 0;
}
