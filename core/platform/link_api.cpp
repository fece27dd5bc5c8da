#include "platform/link_api.h"

#include <cstring>

#include "platform/irda_link.h"
#include "platform/link_settings.h"
#include "platform/tcp_link.h"
#ifdef _WIN32
#include "platform/irda_winsock.h"
#else
#include "platform/irda_linux.h"
#endif

namespace sorvanto {

namespace {
std::size_t EntryOffset(int index) { return 4 + static_cast<std::size_t>(index) * kDeviceEntrySize; }
}  // namespace

int DeviceCount(const DeviceList& list) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | list[static_cast<std::size_t>(i)];
    return n <= static_cast<std::uint32_t>(kMaxDevices) ? static_cast<int>(n) : 0;
}

void SetDeviceCount(DeviceList& list, int count) {
    const auto n = static_cast<std::uint32_t>(count);
    for (int i = 0; i < 4; ++i) list[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
}

bool DeviceAddress(const DeviceList& list, int index, std::uint8_t address[4]) {
    if (index < 0 || index >= DeviceCount(list)) return false;
    std::memcpy(address, list.data() + EntryOffset(index), 4);
    return true;
}

std::string DeviceName(const DeviceList& list, int index) {
    if (index < 0 || index >= DeviceCount(list)) return {};
    const auto* name = reinterpret_cast<const char*>(list.data() + EntryOffset(index) + 4);
    return std::string(name, ::strnlen(name, kDeviceNameSize));
}

bool DeviceHints(const DeviceList& list, int index, std::uint8_t hints[2]) {
    if (index < 0 || index >= DeviceCount(list)) return false;
    std::memcpy(hints, list.data() + EntryOffset(index) + 4 + kDeviceNameSize, 2);
    return true;
}

bool AddDevice(DeviceList& list, const std::uint8_t address[4], const std::string& name) {
    const int n = DeviceCount(list);
    if (n >= kMaxDevices) return false;
    std::uint8_t* entry = list.data() + EntryOffset(n);
    std::memset(entry, 0, kDeviceEntrySize);
    std::memcpy(entry, address, 4);
    std::memcpy(entry + 4, name.data(), std::min(name.size(), kDeviceNameSize - 1));
    SetDeviceCount(list, n + 1);
    return true;
}

std::unique_ptr<LinkApi> MakeLink(const LinkSettings& settings) {
    if (settings.UsesTransport(LinkSettings::kTcp)) return std::make_unique<TcpLink>(settings);
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

std::unique_ptr<LinkApi> MakeConfiguredLink() { return MakeLink(LinkSettings::Load()); }

}  // namespace sorvanto
