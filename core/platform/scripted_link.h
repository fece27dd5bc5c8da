#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/link_api.h"
#include "platform/link_event_table.h"

namespace sorvanto {

// An in-memory link for deterministic tests of the sessions. Each connection has a scripted far
// end: steps that arrive in order (bytes, a failing read, the peer's close), each after an
// optional delay, and an optional responder that answers what the session sends. Everything
// the session sends is captured per connection. Events follow the LinkApi semantics.
class ScriptedLink : public LinkApi {
public:
    struct Step {
        enum Kind { kData, kFailRead, kClose };
        Kind kind = kData;
        std::string bytes;
        int delay_ms = 0;  // after the previous step was taken (or the connection began)
    };
    static Step Data(std::string bytes, int delay_ms = 0) { return {Step::kData, std::move(bytes), delay_ms}; }
    static Step FailRead(int delay_ms = 0) { return {Step::kFailRead, {}, delay_ms}; }
    static Step Closed(int delay_ms = 0) { return {Step::kClose, {}, delay_ms}; }

    struct Peer {
        std::vector<Step> steps;
        // Called with each packet the session sends; the steps returned arrive afterwards.
        std::function<std::vector<Step>(const std::string& sent)> responder;
    };

    enum class ConnectOutcome { kAccept, kRefuse, kNever };

    // Server side: a connection waiting to be accepted; address is what PeerAddress reports.
    void AddIncoming(Peer peer, std::string address = {});
    // Client side: the devices discovery finds, and what a connect to them does.
    void SetDevices(std::vector<std::pair<std::array<std::uint8_t, 4>, std::string>> devices);
    void SetConnect(ConnectOutcome outcome, Peer peer = {});
    void FailCreate(bool fail) { fail_create_ = fail; }
    void FailBind(bool fail) { fail_bind_ = fail; }
    void FailDiscovery(bool fail) { fail_discovery_ = fail; }
    // Whether the listening service counts as reachable from a network (a TCP listener on a
    // non-loopback address).
    void SetReachableFromNetwork(bool reachable) { reachable_ = reachable; }

    // What the session did: connections made (accepted or connected), what it sent on each,
    // whether it closed each, and the address of the last connect.
    int Connections() const;
    std::vector<std::string> Sent(int connection) const;
    bool ClosedBySession(int connection) const;
    std::array<std::uint8_t, 4> LastConnectAddress() const;
    int RecvCalls() const;

    bool Startup() override { return true; }
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
    void Shutdown(LinkSocket) override {}
    void Close(LinkSocket s) override;
    bool ReachableFromNetwork() const override { return reachable_; }
    std::string PeerAddress(LinkSocket s) const override;

private:
    using Clock = std::chrono::steady_clock;
    struct Conn {
        std::deque<Step> inbox;
        Clock::time_point front_since;
        std::function<std::vector<Step>(const std::string&)> responder;
        std::vector<std::string> sent;
        bool closed_by_session = false;
        std::string address;
    };
    struct Sock : SocketEventState {
        bool listening = false;
        int conn = -1;
        bool connect_pending = false;
        int connect_error = 0;
        bool close_seen = false;
    };

    int NewConn(Peer peer, std::string address = {});
    bool FrontDue(const Conn& c, Clock::time_point now) const;
    void Detect(Sock& s, Clock::time_point now, Clock::time_point* next_due);
    void Record(Sock& s, std::uint32_t bit, int bit_index, int error);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Sock> socks_;
    LinkEventTable events_;
    std::deque<std::pair<Peer, std::string>> incoming_;
    std::vector<Conn> conns_;
    std::vector<std::pair<std::array<std::uint8_t, 4>, std::string>> devices_;
    ConnectOutcome connect_outcome_ = ConnectOutcome::kAccept;
    Peer connect_peer_;
    std::array<std::uint8_t, 4> last_connect_{};
    int next_socket_ = 100;
    int recv_calls_ = 0;
    bool fail_create_ = false;
    bool fail_bind_ = false;
    bool fail_discovery_ = false;
    std::atomic<bool> reachable_{false};
};

}  // namespace sorvanto
