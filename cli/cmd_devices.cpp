// `devices` runs the configured link's discovery and prints who answered: the device address,
// its name and its hint bytes, one device a line, in the order they answered.
#include <chrono>
#include <cstdio>
#include <thread>

#include "command.h"
#include "platform/link_api.h"
#include "platform/link_settings.h"

namespace sorvanto::cli {
namespace {

bool ParseSeconds(const std::string& text, int& out) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    out = std::stoi(text);
    return true;
}

// "a1b2c3d4\tP504i\t8221": the address as the little-endian number it is on air.
std::string DeviceLine(const DeviceList& list, int index) {
    std::uint8_t a[4] = {}, hints[2] = {};
    DeviceAddress(list, index, a);
    DeviceHints(list, index, hints);
    const std::uint32_t address = static_cast<std::uint32_t>(a[0]) | static_cast<std::uint32_t>(a[1]) << 8 |
                                  static_cast<std::uint32_t>(a[2]) << 16 | static_cast<std::uint32_t>(a[3]) << 24;
    char head[16], tail[8];
    std::snprintf(head, sizeof head, "%08x", static_cast<unsigned>(address));
    std::snprintf(tail, sizeof tail, "%02x%02x", hints[0], hints[1]);
    return std::string(head) + "\t" + DeviceName(list, index) + "\t" + tail;
}

int RunDevices(const GlobalOptions&, std::vector<std::string>& args) {
    bool ok = true;
    std::string timeout_text;
    int timeout = 3;
    if (TakeOption(args, "--timeout", timeout_text, ok) && !ParseSeconds(timeout_text, timeout)) ok = false;
    if (!ok || !args.empty()) {
        PrintError("usage: devices [--timeout S]");
        return kUsage;
    }
    const LinkSettings settings = LinkSettings::Load();
    // The factory opens the port itself and says in one line why it could not.
    std::string link_error;
    std::unique_ptr<LinkApi> link = MakeLink(settings, &link_error);
    if (!link && !link_error.empty()) {
        PrintError(link_error);
        return kFailure;
    }
    if (!link || !link->Startup()) {
        PrintError(settings.UsesTransport(LinkSettings::kIrda) ? std::string("IrDA is not available on this system")
                                                               : "the link '" + settings.transport + "' cannot look for devices");
        return kFailure;
    }
    const LinkSocket s = link->CreateSocket();
    if (s == kNoSocket) {
        PrintError("cannot open a socket on the link");
        return kFailure;
    }
    // Discovery rounds until one finds something or the time is up; a device that was busy
    // or out of line for one round may answer the next.
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(timeout);
    DeviceList list{};
    bool discovered = false;
    for (;;) {
        list.fill(0);
        if (link->EnumerateDevices(s, list)) discovered = true;
        if (DeviceCount(list) > 0 || Clock::now() >= end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    link->Close(s);
    if (!discovered) {
        PrintError("discovery failed on the link");
        return kFailure;
    }
    std::vector<std::string> lines;
    for (int i = 0; i < DeviceCount(list); ++i) lines.push_back(DeviceLine(list, i));
    PrintLines("", lines);
    return lines.empty() ? kFailure : kOk;
}

const Registrar kDevices({"devices", "devices [--timeout S]       list the devices the link's discovery finds", RunDevices});

}  // namespace
}  // namespace sorvanto::cli
