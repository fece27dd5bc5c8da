#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvanto {

class IniFile;

// The "Link" section of ".\Sorvanto.ini": how the OBEX sessions reach the handset on this
// system. Values that cannot be used fall back to the defaults, so a damaged setting never
// opens the link to more than loopback.
class LinkSettings {
public:
    struct Peer {
        std::string name;  // device name reported by discovery (at most 21 bytes)
        std::string host;  // IPv4 address or host name
        int port = 0;
    };

    static constexpr const char* kIniPath = ".\\Sorvanto.ini";
    static constexpr const char* kSection = "Link";

    // Values of "Transport". Windows still has the IrDA sockets the handsets speak; elsewhere
    // only the TCP stand-in reaches a handset (emulator). "sir" is the program's own stack over
    // a serial infrared adapter; "usb" (a USB dongle driven directly) and "irusb" (the ir-usb
    // serial driver) are names kept for the stack's other adapters.
    static constexpr std::string_view kIrda = "irda";
    static constexpr std::string_view kTcp = "tcp";
    static constexpr std::string_view kSir = "sir";
    static constexpr std::string_view kUsb = "usb";
    static constexpr std::string_view kIrUsb = "irusb";
#ifdef _WIN32
    static constexpr std::string_view kDefaultTransport = kIrda;
#else
    static constexpr std::string_view kDefaultTransport = kTcp;
#endif

    std::string transport{kDefaultTransport};
    std::string listen_address = "127.0.0.1";
    int listen_port = 6500;
    std::vector<Peer> peers = {{"Handset", "127.0.0.1", 6501}};
    std::string passcode = "0000";
    std::string send_command;
    // A network peer's host that answers the passcode wrong this many times in a row is
    // refused for auth_lock_seconds, then for twice as long after each further wrong answer,
    // up to an hour (or auth_lock_seconds, when that is longer).
    int auth_tries = 3;
    int auth_lock_seconds = 60;

    // The serial infrared adapter ("Transport=sir").
#ifdef _WIN32
    static constexpr const char* kDefaultPort = "COM1";
#else
    static constexpr const char* kDefaultPort = "/dev/ttyUSB0";
#endif
    static constexpr int kDefaultMaxBaud = 115200;
    std::string port = kDefaultPort;
    std::string adapter = "plain";      // a name of the adapter table; unknown names are plain
    int max_baud = kDefaultMaxBaud;     // the fastest speed offered (9600 always is)
    std::string device_name = CheckedDeviceName({});  // the name discovery answers with
    std::string capture;                // pcap file of every frame; empty = none

    // The highest link speed not above the value: 9600, 19200, 38400, 57600 or 115200.
    static int SnappedMaxBaud(int baud);
    // Printable ASCII only, at most 21 bytes; when nothing is left, the computer's name so cut,
    // and "Sorvanto" when that is empty too.
    static std::string CheckedDeviceName(std::string_view text);

    // Reads ".\Sorvanto.ini" (or the given file); a missing file gives the defaults.
    static LinkSettings Load(std::string_view ini_path = kIniPath);
    static LinkSettings FromIni(const IniFile& ini);

    // "name@host:port" entries separated by ';'. Entries without a name, host or a port in
    // 1..65535 are skipped.
    static std::vector<Peer> ParsePeers(std::string_view text);
    // Whether "Transport" names this one (without regard to ASCII case).
    bool UsesTransport(std::string_view name) const;

    // Four ASCII digits, else "0000".
    static std::string CheckedPasscode(std::string_view text);
};

}  // namespace sorvanto
