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
    sorvanto::ByteList queue;
    sorvanto::ObexServerSession server(std::make_unique<sorvanto::ScriptedLink>(), &queue);
    server.OnConnected(sorvanto::IrdaSession::kIncoming);
    server.OnPacket(data, static_cast<int>(size));
    return 0;
}
