#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "irda/ir_stack.h"
#include "irda/sir_codec.h"
#include "irda/sir_frame_port.h"
#include "irda/sir_line.h"
#include "platform/link_api.h"
#include "platform/link_event_table.h"

namespace sorvanto::irda {

// The link over our own IrDA stack on a SIR line: the service "OBEX" is the stack's OBEX LSAP
// (found by peers through IAS), discovery is IrLAP discovery, a connection is one TinyTP
// connection. Events follow LinkApi's semantics.
//
// In real time (no clock given) one driver thread reads the line, feeds the SIR decoder and
// runs the stack's timers; the sessions' calls take the same lock. Given a clock, there is no
// thread: the owner calls Service() whenever bytes may have arrived or time has moved on, and
// a call that has to wait (discovery, WaitForEvent, a full send queue) runs the idle hook
// instead, which moves the clock and the far end on.
class IrdaStackLink : public LinkApi {
public:
    // Bytes a socket may have queued and unsent before Send waits.
    static constexpr std::size_t kMaxUnsent = 16 * 1024;
    // The longest discovery waited for.
    static constexpr int kDiscoveryMs = 8000;
    // What a closing link gives its last disconnect to leave.
    static constexpr int kShutdownMs = 1500;

    IrdaStackLink(std::unique_ptr<SirLine> line, IrStackConfig config, const IrClock* clock = nullptr,
                  std::uint32_t seed = 0);
    ~IrdaStackLink() override;
    IrdaStackLink(const IrdaStackLink&) = delete;
    IrdaStackLink& operator=(const IrdaStackLink&) = delete;

    // Without a driver thread: reads what the line has, runs due timers, records events.
    void Service();
    void SetIdleHook(std::function<void()> hook);
    // Every frame sent or received, for a capture file.
    void SetCaptureTap(IrlapStation::CaptureTap tap);
    // The stack itself, for tests; lock the link around use while its thread runs.
    IrStack& Stack() { return *stack_; }

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
    std::string PeerAddress(LinkSocket s) const override;

    // A device address as the device list holds it: the four bytes as they came on air.
    static void AddressBytes(std::uint32_t address, std::uint8_t out[4]);
    static std::uint32_t AddressOf(const std::uint8_t bytes[4]);

private:
    struct Sock : SocketEventState {
        bool bound = false;
        bool listening = false;
        int conn = -1;  // the stack's connection
        bool connecting = false;
        bool close_seen = false;
        int send_ms = 5000;
    };
    using Lock = std::unique_lock<std::mutex>;

    Micros Now() const;
    void DriverLoop();
    void Feed(const std::uint8_t* data, std::size_t n, Micros now);
    // Runs due timers and records what the stack's state now says; under the lock.
    void AfterStep(Micros now);
    void Detect(Sock& s);
    // Waits (lock held on entry and return) until done() or timeout_ms passed; false on timeout.
    bool WaitUntil(Lock& lock, int timeout_ms, const std::function<bool()>& done);

    std::unique_ptr<SirLine> line_;
    const IrClock* clock_;
    std::chrono::steady_clock::time_point start_;
    std::unique_ptr<SirFramePort> port_;
    std::unique_ptr<IrStack> stack_;
    SirDecoder decoder_;
    Micros feed_now_ = 0;
    bool feeding_ = false;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> idle_hook_;
    std::map<LinkSocket, Sock> socks_;
    LinkEventTable events_;
    LinkSocket next_socket_ = 1;
    bool line_lost_ = false;

    std::atomic<bool> stop_{false};
    std::thread driver_;
};

}  // namespace sorvanto::irda
