#include "platform/link_settings.h"

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "platform/link_api.h"

namespace sorvanto {
namespace {

LinkSettings FromText(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return LinkSettings::FromIni(ini);
}

TEST(LinkSettingsTest, DefaultsListenOnLoopback) {
    const LinkSettings s = FromText("");
    EXPECT_EQ(s.transport, LinkSettings::kDefaultTransport);
    EXPECT_EQ(s.listen_address, "127.0.0.1");
    EXPECT_EQ(s.listen_port, 6500);
    ASSERT_EQ(s.peers.size(), 1u);
    EXPECT_EQ(s.peers[0].name, "Handset");
    EXPECT_EQ(s.peers[0].host, "127.0.0.1");
    EXPECT_EQ(s.peers[0].port, 6501);
    EXPECT_EQ(s.passcode, "0000");
}

TEST(LinkSettingsTest, ValuesAndFallbacks) {
    const LinkSettings s = FromText(
        "[link]\r\nlistenport=70000\r\nListenAddress=\r\nPasscode=12345\r\nSendCommand=irsend {file}\r\n"
        "Peers= P504i@192.168.0.7:6501 ; bad ; @h:1 ; n@h:0 ; n@h:x ; Far Away@host.example:65535\r\n");
    EXPECT_EQ(s.listen_port, 6500);
    EXPECT_EQ(s.listen_address, "127.0.0.1");
    EXPECT_EQ(s.passcode, "0000");
    EXPECT_EQ(s.send_command, "irsend {file}");
    ASSERT_EQ(s.peers.size(), 2u);
    EXPECT_EQ(s.peers[0].name, "P504i");
    EXPECT_EQ(s.peers[0].host, "192.168.0.7");
    EXPECT_EQ(s.peers[1].name, "Far Away");
    EXPECT_EQ(s.peers[1].port, 65535);
    EXPECT_EQ(FromText("[Link]\r\nPasscode=4711\r\n").passcode, "4711");
    EXPECT_EQ(FromText("[Link]\r\nPasscode=47a1\r\n").passcode, "0000");
}

TEST(LinkSettingsTest, TheGuessingGuardCannotBeSwitchedOff) {
    const auto set = FromText("[Link]\r\nAuthTries=5\r\nAuthLockSeconds=600\r\n");
    EXPECT_EQ(set.auth_tries, 5);
    EXPECT_EQ(set.auth_lock_seconds, 600);
    for (const char* text : {"[Link]\r\nAuthTries=0\r\nAuthLockSeconds=0\r\n",
                             "[Link]\r\nAuthTries=101\r\nAuthLockSeconds=86401\r\n", "[Link]\r\n"}) {
        const auto fallen = FromText(text);
        EXPECT_EQ(fallen.auth_tries, 3) << text;
        EXPECT_EQ(fallen.auth_lock_seconds, 60) << text;
    }
}

TEST(LinkSettingsTest, LongDeviceNamesAreCutWithoutSplittingACharacter) {
    // 20 single bytes then a double-byte character: it would end at byte 22, past the field.
    const auto peers = LinkSettings::ParsePeers(std::string(20, 'a') + "\x83\x41" + "@h:1");
    ASSERT_EQ(peers.size(), 1u);
    EXPECT_EQ(peers[0].name, std::string(20, 'a'));
}

TEST(LinkSettingsTest, SerialAdapterKeys) {
    const LinkSettings d = FromText("");
    EXPECT_EQ(d.port, LinkSettings::kDefaultPort);
    EXPECT_EQ(d.adapter, "plain");
    EXPECT_EQ(d.max_baud, 115200);
    EXPECT_EQ(d.capture, "");
    EXPECT_FALSE(d.device_name.empty());
    EXPECT_LE(d.device_name.size(), 21u);

    const LinkSettings s = FromText(
        "[Link]\r\nTransport=SIR\r\nPort= /dev/ttyS0 \r\nAdapter=ESI9680\r\nMaxBaud=57600\r\n"
        "DeviceName=Taro's PC\r\nCapture=/tmp/ir.pcap\r\n");
    EXPECT_TRUE(s.UsesTransport(LinkSettings::kSir));
    EXPECT_EQ(s.port, "/dev/ttyS0");
    EXPECT_EQ(s.adapter, "esi9680");
    EXPECT_EQ(s.max_baud, 57600);
    EXPECT_EQ(s.device_name, "Taro's PC");
    EXPECT_EQ(s.capture, "/tmp/ir.pcap");

    EXPECT_EQ(FromText("[Link]\r\nAdapter=tekram\r\nPort=\r\n").adapter, "plain");
    EXPECT_EQ(FromText("[Link]\r\nPort=\r\n").port, LinkSettings::kDefaultPort);
    // Speeds not in the table snap down; 9600 is the least.
    EXPECT_EQ(FromText("[Link]\r\nMaxBaud=100000\r\n").max_baud, 57600);
    EXPECT_EQ(FromText("[Link]\r\nMaxBaud=1000000\r\n").max_baud, 115200);
    EXPECT_EQ(FromText("[Link]\r\nMaxBaud=2400\r\n").max_baud, 9600);
    EXPECT_EQ(FromText("[Link]\r\nMaxBaud=fast\r\n").max_baud, 115200);
    EXPECT_EQ(LinkSettings::SnappedMaxBaud(19200), 19200);
    EXPECT_EQ(LinkSettings::SnappedMaxBaud(-5), 9600);
}

TEST(LinkSettingsTest, DeviceNameIsShortAsciiWithTheHostNameBehindIt) {
    EXPECT_EQ(LinkSettings::CheckedDeviceName("A name far longer than the field holds"), "A name far longer tha");
    // Shift_JIS and control bytes are dropped: discovery announces ASCII.
    EXPECT_EQ(LinkSettings::CheckedDeviceName("\x83\x41PC\t1"), "PC1");
    // Nothing left: the computer's name, and when even that gives nothing, the program's.
    const std::string fallback = LinkSettings::CheckedDeviceName("\x83\x41");
    EXPECT_EQ(fallback, LinkSettings::CheckedDeviceName(""));
    EXPECT_FALSE(fallback.empty());
    EXPECT_LE(fallback.size(), 21u);
    for (char c : fallback) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << fallback;
    EXPECT_EQ(FromText("[Link]\r\nDeviceName=\r\n").device_name, fallback);
}

TEST(DeviceListTest, LayoutIsTheLinkLayersOwn) {
    DeviceList list{};
    const std::uint8_t a[4] = {1, 2, 3, 4};
    for (int i = 0; i < kMaxDevices; ++i) ASSERT_TRUE(AddDevice(list, a, "Name" + std::to_string(i)));
    EXPECT_FALSE(AddDevice(list, a, "eleventh"));
    EXPECT_EQ(list[0], 10);
    EXPECT_EQ(list[4 + 29 * 9], 1);                 // address of the last entry
    EXPECT_EQ(list[4 + 29 * 9 + 4], 'N');           // its name
    EXPECT_EQ(DeviceName(list, 9), "Name9");
    EXPECT_EQ(DeviceName(list, 10), "");
    list[0] = 200;  // a count the list cannot hold is no count
    EXPECT_EQ(DeviceCount(list), 0);
}

}  // namespace
}  // namespace sorvanto
