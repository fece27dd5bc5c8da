#include "platform/tcp_link.h"

#include <gtest/gtest.h>

#include "platform/net_socket.h"
#include "support/process.h"

namespace sorvanto {
namespace {

int Dial(int port) {
    std::uint32_t ip = 0;
    net::ResolveIpv4("127.0.0.1", &ip);
    const net::Fd fd = net::TcpSocket();
    if (net::Connect(fd, ip, port) == 1) return fd;
    net::Close(fd);
    return -1;
}

// The event semantics the session loop relies on, on real sockets.
TEST(TcpLinkTest, AcceptReadAndCloseEvents) {
    LinkSettings settings;
    settings.listen_port = 0;
    TcpLink link(settings);
    const LinkEvent ev = link.CreateEvent();
    const LinkSocket listener = link.CreateSocket();
    ASSERT_TRUE(link.Bind(listener));
    ASSERT_TRUE(link.Listen(listener, 1));
    ASSERT_TRUE(link.SelectEvents(listener, ev, kFdAccept | kFdClose));
    EXPECT_FALSE(link.WaitForEvent(ev, 50));

    const int peer = Dial(link.LocalPort(listener));
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(link.WaitForEvent(ev, 1000));
    NetworkEvents ne;
    ASSERT_TRUE(link.QueryEvents(listener, ev, &ne));
    EXPECT_EQ(ne.mask, kFdAccept);
    const LinkSocket data = link.Accept(listener);
    ASSERT_NE(data, kNoSocket);
    ASSERT_TRUE(link.SelectEvents(data, ev, kFdRead | kFdClose));

    ASSERT_EQ(net::Send(peer, "abc", 3), 3);
    ASSERT_TRUE(link.WaitForEvent(ev, 1000));
    ASSERT_TRUE(link.QueryEvents(data, ev, &ne));
    EXPECT_EQ(ne.mask, kFdRead);
    // The peer as the log names it.
    const int mine = net::LocalPort(peer);
    ASSERT_GT(mine, 0);
    EXPECT_EQ(link.PeerAddress(data), "127.0.0.1:" + std::to_string(mine));
    // Not reported again until it is read.
    EXPECT_FALSE(link.WaitForEvent(ev, 50));
    std::uint8_t buf[8];
    EXPECT_EQ(link.Recv(data, buf, 8), 3);
    EXPECT_EQ(link.Recv(data, buf, 8), -1);  // nothing there: no blocking

    net::Close(peer);
    ASSERT_TRUE(link.WaitForEvent(ev, 1000));
    ASSERT_TRUE(link.QueryEvents(data, ev, &ne));
    EXPECT_EQ(ne.mask, kFdClose);
    EXPECT_FALSE(link.WaitForEvent(ev, 50));  // once
    link.Close(data);
    link.Close(listener);
}

// Only a listener on a loopback address is closed to the network; one whose address does not
// resolve is not trusted either.
TEST(TcpLinkTest, ListenersOffLoopbackAreReachableFromTheNetwork) {
    for (const char* address : {"127.0.0.1", "127.3.2.1", "localhost"}) {
        LinkSettings settings;
        settings.listen_address = address;
        EXPECT_FALSE(TcpLink(settings).ReachableFromNetwork()) << address;
    }
    for (const char* address : {"0.0.0.0", "192.0.2.2", "10.1.2.3", "no-such-host.invalid"}) {
        LinkSettings settings;
        settings.listen_address = address;
        EXPECT_TRUE(TcpLink(settings).ReachableFromNetwork()) << address;
    }
}

TEST(TcpLinkTest, DiscoveryFindsOnlyPeersThatAnswerAndConnectReportsTheOutcome) {
    LinkSettings server_settings;
    server_settings.listen_port = 0;
    TcpLink server(server_settings);
    const LinkSocket listener = server.CreateSocket();
    ASSERT_TRUE(server.Bind(listener) && server.Listen(listener, 4));
    const int port = server.LocalPort(listener);

    LinkSettings settings;
    const int closed_port = test::FreePort();
    settings.peers = {{"Gone", "127.0.0.1", closed_port}, {"N505i", "127.0.0.1", port}};
    TcpLink link(settings);
    const LinkEvent ev = link.CreateEvent();
    const LinkSocket s = link.CreateSocket();
    DeviceList list{};
    ASSERT_TRUE(link.EnumerateDevices(s, list));
    ASSERT_EQ(DeviceCount(list), 1);
    EXPECT_EQ(DeviceName(list, 0), "N505i");
    std::uint8_t address[4];
    ASSERT_TRUE(DeviceAddress(list, 0, address));
    EXPECT_EQ(address[0], 127);
    EXPECT_EQ(address[3], 1);

    ASSERT_TRUE(link.SelectEvents(s, ev, kFdRead | kFdConnect | kFdClose));
    ASSERT_TRUE(link.Connect(s, address));
    ASSERT_TRUE(link.WaitForEvent(ev, 1000));
    NetworkEvents ne;
    ASSERT_TRUE(link.QueryEvents(s, ev, &ne));
    EXPECT_EQ(ne.mask, kFdConnect);
    EXPECT_EQ(ne.error[kFdConnectBit], 0);

    // An address discovery did not find is refused at once.
    const LinkSocket t = link.CreateSocket();
    ASSERT_TRUE(link.SelectEvents(t, ev, kFdConnect | kFdClose));
    const std::uint8_t unknown[4] = {10, 9, 8, 7};
    EXPECT_FALSE(link.Connect(t, unknown));
    ASSERT_TRUE(link.WaitForEvent(ev, 100));
    ASSERT_TRUE(link.QueryEvents(t, ev, &ne));
    EXPECT_EQ(ne.error[kFdConnectBit], kLinkErrRefused);
}

}  // namespace
}  // namespace sorvanto
