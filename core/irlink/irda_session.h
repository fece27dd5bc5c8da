#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/link_api.h"

namespace sorvanto {

class TransferMonitor;

// One stream connection to a handset on the link's "OBEX" service, turned into whole OBEX
// packets. What a packet means is left to the subclass: it overrides OnConnected, OnPacket
// and OnClosed.
//
// Server mode: OpenServer, StartWorker; the worker thread accepts one connection at a time
// and keeps listening after each; Stop(1) ends it, and OpenServer + StartWorker start it again.
// Client mode: OpenClient, EnumerateDevices, check DeviceCount, BeginClientRun, then Run with
// a monitor on the calling thread; the loop ends when its one connection is over.
//
// A subclass whose handlers run on the worker must call Stop(1) in its own destructor, so that
// the worker has ended before the subclass part of the object is gone.
class IrdaSession {
public:
    static constexpr int kReceiveBufferSize = 50000;
    static constexpr int kWaitMs = 100;
    static constexpr int kConnectCycles = 50;
    static constexpr int kMaxReadFailures = 100;
    static constexpr int kRetrySleepMs = 10;
    static constexpr int kClosedCode = -5;
    // OnConnected kinds.
    static constexpr int kOutgoing = 1;
    static constexpr int kIncoming = 2;

    // Takes the link to use; nullptr makes every socket operation fail.
    explicit IrdaSession(std::unique_ptr<LinkApi> link);
    virtual ~IrdaSession();
    IrdaSession(const IrdaSession&) = delete;
    IrdaSession& operator=(const IrdaSession&) = delete;

    // Once per connection: kOutgoing (client) or kIncoming (server). For an incoming one a
    // nonzero result closes the connection at once, before anything of it is read; otherwise
    // the result is ignored.
    virtual int OnConnected(int kind);
    // Every complete packet, exactly as long as its declared length. Nonzero closes the
    // connection at once.
    virtual int OnPacket(const std::uint8_t* packet, int length);
    // The connection was lost (code is always kClosedCode). Result ignored.
    virtual int OnClosed(int code);

    // The primary socket: mode 1 = client; otherwise bound to "OBEX" and listening (backlog 1).
    // 0; -1 no socket; -2 bind failed; -3 listen failed (the socket is then closed again, so
    // that a server that cannot listen is not reported open).
    int CreateSocket(int mode);
    // 0, or -1 when there is no listening socket or events cannot be selected.
    int OpenServer();
    int OpenClient();
    // Fills the device list; 0, or -1 when discovery failed.
    int EnumerateDevices();
    int DeviceCount() const { return sorvanto::DeviceCount(devices_); }
    const DeviceList& Devices() const { return devices_; }
    // Name of the device that a client connects to (the last one found); 1, or 0 for none.
    int LastDeviceName(std::string* out) const;
    void Connect(const std::uint8_t address[4]);
    int Accept();
    int SelectEvents(std::uint32_t mask);
    int PollEvents(LinkSocket s, NetworkEvents* out);
    // Bytes sent on the data socket, or -1.
    int Send(const std::uint8_t* data, int length);

    // Runs Run on a new worker thread; 1, or 0 when it could not be started.
    int StartWorker();
    // Clears the running flag and closes the listening socket; with wait = 1 also waits for the
    // worker (never call that from the worker itself). The loop sees the flag within about
    // kWaitMs. Always 1.
    int Stop(int wait);
    // Client mode: no worker, running = 1, before calling Run on this thread.
    void BeginClientRun();
    // The session loop. -1 when no connection was ever established, else 0.
    int Run(TransferMonitor* monitor);

    bool IsRunning() const { return running_.load() != 0; }
    int Mode() const { return mode_; }

protected:
    LinkApi* Link() const { return link_.get(); }
    // Where the peer of the current connection is (empty when the link cannot tell).
    std::string PeerAddress() const;

private:
    bool Fill(int* have, int need);
    void ReadPackets(bool* connected);
    void ConnectionLost(bool* connected);
    void CloseData();
    bool RunClientConnect(TransferMonitor* monitor, bool* connected);

    std::unique_ptr<LinkApi> link_;
    bool library_started_ = false;
    LinkEvent event_ = kNoEvent;
    NetworkEvents last_events_;
    std::atomic<LinkSocket> primary_{kNoSocket};
    LinkSocket data_ = kNoSocket;
    bool data_is_primary_ = false;
    std::atomic<int> running_{0};
    std::thread worker_;
    std::atomic<bool> worker_active_{false};
    std::array<std::uint8_t, kReceiveBufferSize> buffer_{};
    DeviceList devices_{};
    int mode_ = 0;
};

}  // namespace sorvanto
