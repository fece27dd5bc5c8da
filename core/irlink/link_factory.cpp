// The link factory lives above the infrared stack: "sir" is that stack over a serial port,
// while the platform layer below it knows only sockets and ports.
#include "irda/serial_sir_line.h"
#include "platform/irda_link.h"
#include "platform/link_api.h"
#include "platform/link_settings.h"
#include "platform/tcp_link.h"
#ifdef _WIN32
#include "platform/irda_winsock.h"
#else
#include "platform/irda_linux.h"
#endif

namespace sorvanto {

namespace {
// What discovery tells of this program: a computer (with a second byte), speaking OBEX.
const std::vector<std::uint8_t> kPcHints{0x84, 0x20};
}  // namespace

std::unique_ptr<LinkApi> MakeLink(const LinkSettings& settings, std::string* error_line) {
    if (settings.UsesTransport(LinkSettings::kTcp)) return std::make_unique<TcpLink>(settings);
    if (settings.UsesTransport(LinkSettings::kSir)) return irda::OpenSirLink(settings, kPcHints, error_line);
#ifdef _WIN32
    if (settings.UsesTransport(LinkSettings::kIrda)) return std::make_unique<IrdaLink>(std::make_unique<IrdaWinsock>());
#else
    // Linux's IrDA sockets come with a module the user installs; without it the first socket
    // is refused (address family not supported), and the sessions report IrDA as unavailable.
    if (settings.UsesTransport(LinkSettings::kIrda))
        return std::make_unique<IrdaLink>(std::make_unique<IrdaLinux>(SystemIrdaSocketCalls()));
#endif
    return nullptr;  // an unknown name gives no link
}

std::unique_ptr<LinkApi> MakeLink(const LinkSettings& settings) { return MakeLink(settings, nullptr); }

std::unique_ptr<LinkApi> MakeConfiguredLink() { return MakeLink(LinkSettings::Load()); }

}  // namespace sorvanto
