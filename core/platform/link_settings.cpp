#include "platform/link_settings.h"

#include "platform/ini_file.h"
#include "platform/host_name.h"
#include "platform/launch_process.h"
#include "platform/link/ir_adapter.h"

namespace sorvanto {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Device names travel in a 22-byte field with its terminator; a Shift_JIS double-byte
// character is never split.
std::string CutName(std::string_view name) {
    std::size_t i = 0;
    while (i < name.size()) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const std::size_t step = lead ? 2 : 1;
        if (i + step > 21) break;
        i += step;
    }
    return std::string(name.substr(0, std::min(i, name.size())));
}

int ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) return 0;
    int port = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        port = port * 10 + (c - '0');
    }
    return port <= 65535 ? port : 0;
}

}  // namespace

std::vector<LinkSettings::Peer> LinkSettings::ParsePeers(std::string_view text) {
    std::vector<Peer> out;
    while (!text.empty()) {
        const auto semi = text.find(';');
        const std::string_view entry = Trim(text.substr(0, semi));
        text = semi == std::string_view::npos ? std::string_view{} : text.substr(semi + 1);
        const auto at = entry.rfind('@');
        if (at == std::string_view::npos || at == 0) continue;
        const std::string_view where = entry.substr(at + 1);
        const auto colon = where.rfind(':');
        if (colon == std::string_view::npos || colon == 0) continue;
        const int port = ParsePort(where.substr(colon + 1));
        if (port == 0) continue;
        Peer p;
        p.name = CutName(Trim(entry.substr(0, at)));
        p.host = std::string(where.substr(0, colon));
        p.port = port;
        if (p.name.empty()) continue;
        out.push_back(std::move(p));
    }
    return out;
}

std::string LinkSettings::CheckedPasscode(std::string_view text) {
    if (text.size() != 4) return "0000";
    for (char c : text)
        if (c < '0' || c > '9') return "0000";
    return std::string(text);
}

int LinkSettings::SnappedMaxBaud(int baud) {
    int best = 9600;
    for (int s : kIrSpeeds)
        if (s <= baud && s > best) best = s;
    return best;
}

std::string LinkSettings::CheckedDeviceName(std::string_view text) {
    auto ascii = [](std::string_view in) {
        std::string out;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const auto c = static_cast<unsigned char>(in[i]);
            // A Shift_JIS double-byte character goes whole, trail byte included.
            if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ++i;
            else if (c >= 0x20 && c <= 0x7E && out.size() < 21) out.push_back(static_cast<char>(c));
        }
        const std::string_view trimmed = Trim(out);
        return std::string(trimmed);
    };
    std::string name = ascii(text);
    if (name.empty()) name = ascii(HostName());
    return name.empty() ? "Sorvanto" : name;
}

bool LinkSettings::UsesTransport(std::string_view name) const {
    if (transport.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = transport[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i]) return false;
    }
    return true;
}

LinkSettings LinkSettings::FromIni(const IniFile& ini) {
    LinkSettings s;
    const std::string transport = ini.GetString(kSection, "Transport", kDefaultTransport);
    if (!transport.empty()) s.transport = transport;
    const std::string address = ini.GetString(kSection, "ListenAddress", "127.0.0.1");
    if (!address.empty()) s.listen_address = address;
    const int port = ini.GetInt(kSection, "ListenPort", 6500);
    if (port > 0 && port <= 65535) s.listen_port = port;
    if (ini.HasKey(kSection, "Peers")) s.peers = ParsePeers(ini.GetString(kSection, "Peers"));
    s.passcode = CheckedPasscode(ini.GetString(kSection, "Passcode", "0000"));
    s.send_command = ini.GetString(kSection, "SendCommand", SystemSendCommand());
    // No value switches the guard off: out of range is the default.
    const int tries = ini.GetInt(kSection, "AuthTries", 3);
    if (tries >= 1 && tries <= 100) s.auth_tries = tries;
    const int lock = ini.GetInt(kSection, "AuthLockSeconds", 60);
    if (lock >= 1 && lock <= 86400) s.auth_lock_seconds = lock;
    const std::string port_name = std::string(Trim(ini.GetString(kSection, "Port", kDefaultPort)));
    if (!port_name.empty()) s.port = port_name;
    s.adapter = std::string(FindIrAdapter(Trim(ini.GetString(kSection, "Adapter", "plain"))).name);
    // A value that is no number at all leaves the default; a number is snapped to the table.
    const std::string baud = std::string(Trim(ini.GetString(kSection, "MaxBaud")));
    if (!baud.empty() && baud.size() <= 9 && baud.find_first_not_of("0123456789") == std::string::npos)
        s.max_baud = SnappedMaxBaud(std::stoi(baud));
    s.device_name = CheckedDeviceName(ini.GetString(kSection, "DeviceName"));
    s.capture = std::string(Trim(ini.GetString(kSection, "Capture")));
    return s;
}

LinkSettings LinkSettings::Load(std::string_view ini_path) {
    IniFile ini(ini_path);
    return FromIni(ini);
}

}  // namespace sorvanto
