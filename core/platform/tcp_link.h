#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "platform/link_api.h"
#include "platform/link_event_table.h"
#include "platform/link_settings.h"

namespace sorvanto {

// The link over TCP: the service "OBEX" is the listen address and port of the settings, and
// discovery probes each configured peer with a short connect. A device's address is its IPv4
// address; its name is the configured one. Sockets are non-blocking once events are selected,
// and a poll over the sockets stands in for the event object (see LinkApi for the semantics).
class TcpLink : public LinkApi {
public:
    explicit TcpLink(LinkSettings settings);
    ~TcpLink() override;
    TcpLink(const TcpLink&) = delete;
    TcpLink& operator=(const TcpLink&) = delete;

    bool Startup() override;
    LinkEvent CreateEvent() override;
    void CloseEvent(LinkEvent event) override;
    LinkSocket CreateSocket() override;
    bool Bind(LinkSocket s) override;
    bool Listen(LinkSocket s, int backlog) override;
    LinkSocket Accept(LinkSocket s) override;
    bool Connect(LinkSocket s, const std::uint8_t address[4]) override;
    bool EnumerateDevices(LinkSocket s, DeviceList& list) override;
    bool SetTimeouts(LinkSocket s, int send_ms, int recv_ms) override;
    bool SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) override;
    bool WaitForEvent(LinkEvent event, int timeout_ms) override;
    bool QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) override;
    int Send(LinkSocket s, const std::uint8_t* data, int length) override;
    int Recv(LinkSocket s, std::uint8_t* data, int length) override;
    void Shutdown(LinkSocket s) override;
    void Close(LinkSocket s) override;
    // True unless the listen address is a loopback one (127.0.0.0/8); an address that does not
    // resolve counts as reachable.
    bool ReachableFromNetwork() const override;
    std::string PeerAddress(LinkSocket s) const override;

    // The port a bound socket listens on (the settings may ask for port 0: any free port).
    int LocalPort(LinkSocket s) const;

    // Milliseconds a discovery probe waits for each peer.
    static constexpr int kProbeTimeoutMs = 300;

private:
    struct Sock : SocketEventState {
        bool listening = false;
        bool connecting = false;
        bool closed = false;  // the peer's close has been seen
        int send_ms = 5000;
    };
    struct Found {
        std::uint8_t address[4];
        std::uint32_t ip;  // network order
        int port;
    };

    short WantedPollEvents(const Sock& s) const;
    void Detect(int fd, Sock& s, short revents);

    LinkSettings settings_;
    mutable std::mutex mutex_;
    std::map<int, Sock> socks_;
    LinkEventTable events_;
    std::vector<Found> found_;
};

}  // namespace sorvanto
