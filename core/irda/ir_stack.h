#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "irda/frame_port.h"
#include "irda/ias.h"
#include "irda/irlap_station.h"
#include "irda/irlmp.h"
#include "irda/tinytp.h"

namespace sorvanto::irda {

struct IrStackConfig {
    IrlapConfig lap;
    // Where our OBEX service listens (what IAS gives out for "OBEX").
    std::uint8_t obex_lsap = 0x05;
    int discovery_slots = 6;
    TinyTp::Config ttp;
};

// The whole stack over one frame port: IrLAP station, IrLMP, the IAS server and client,
// TinyTP, and the OBEX service on top. Like every layer it is fed events with the time and
// asked for its next deadline; it never waits. Connections are numbered by the stack.
class IrStack : private TtpUser {
public:
    enum class ConnState { kQuerying, kConnecting, kOpen, kClosed, kFailed };
    enum class ConnError { kNone, kRefused, kTimedOut, kReset };

    IrStack(IrStackConfig config, FramePort* port, std::mt19937 rng);
    ~IrStack() override;
    IrStack(const IrStack&) = delete;
    IrStack& operator=(const IrStack&) = delete;

    // From the driver.
    void OnFrame(const std::uint8_t* frame, std::size_t length, Micros now);
    void OnMediaBusy(Micros now);
    void OnTimer(Micros now);
    Micros NextDeadline() const;

    // Discovery: false when one is running already.
    bool Discover(Micros now);
    bool Discovering() const { return discovering_; }
    // The devices of the last discovery, in the order they answered.
    const std::vector<DiscoveredDevice>& Devices() const { return devices_; }
    int Discoveries() const { return discoveries_; }

    // The OBEX service of a device: IrLAP connect, IAS query, TinyTP connect. -1 when another
    // connect is still running.
    int Connect(std::uint32_t device, Micros now);
    // Incoming TinyTP connections to our OBEX LSAP wait for Accept while listening; without a
    // listener they are refused.
    void Listen(bool on);
    int Accept();
    std::size_t PendingAccepts() const { return accepts_.size(); }

    ConnState State(int conn) const;
    ConnError Error(int conn) const;
    std::uint32_t Peer(int conn) const;
    // Bytes queued (all of them, or -1 when the connection is not open).
    int Send(int conn, const std::uint8_t* data, std::size_t length, Micros now);
    std::size_t Recv(int conn, std::uint8_t* out, std::size_t n, Micros now);
    std::size_t Readable(int conn) const;
    std::size_t Unsent(int conn) const;
    // Sends what is queued, then disconnects TinyTP/IrLMP; the connection number is gone.
    void Close(int conn, Micros now);
    // Every connection closed (their queued bytes still go out).
    void CloseAll(Micros now);
    // Nothing is waiting to go to the peer or for its acknowledgement.
    bool Drained() const;
    // Every connection closed and the link let go at once.
    void Shutdown(Micros now);

    bool LinkConnected() const { return station_.Connected(); }
    IrlapStation& Station() { return station_; }
    const IrlapStation& Station() const { return station_; }
    TinyTp& Ttp() { return ttp_; }
    int TtpConn(int conn) const;

private:
    struct Conn {
        ConnState state = ConnState::kQuerying;
        ConnError error = ConnError::kNone;
        std::uint32_t peer = 0;
        int ttp = -1;
        bool tried_irxfer = false;
    };

    void Pump(Micros now);
    void QueryObex(int id, const char* class_name, Micros now);
    void OnIasAnswer(int id, const IasAnswer* answer, Micros now);
    int ByTtp(int ttp) const;

    void OnTtpIncoming(int conn, Micros now) override;
    void OnTtpConnected(int conn, bool ok, Micros now) override;
    void OnTtpData(int conn, Micros now) override;
    void OnTtpClosed(int conn, int reason, Micros now) override;

    IrStackConfig config_;
    IrlapStation station_;
    Irlmp lmp_;
    IasServer ias_server_;
    IasClient ias_client_;
    TinyTp ttp_;
    std::map<int, Conn> conns_;
    std::deque<int> accepts_;
    std::vector<DiscoveredDevice> devices_;
    bool discovering_ = false;
    int discoveries_ = 0;
    bool listening_ = false;
    int next_conn_ = 1;
};

}  // namespace sorvanto::irda
