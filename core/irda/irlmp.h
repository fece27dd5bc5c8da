#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "irda/irlap_service.h"

namespace sorvanto::irda {

// LSAP selectors with a fixed meaning.
constexpr std::uint8_t kIasLsap = 0x00;
constexpr std::uint8_t kConnectionlessLsap = 0x70;
// Outgoing connections take the first free selector from here up, as Linux does.
constexpr std::uint8_t kFirstDynamicLsap = 0x10;
constexpr std::uint8_t kLastDynamicLsap = 0x6F;

// LM-PDU control opcodes.
constexpr std::uint8_t kLmConnect = 0x01;
constexpr std::uint8_t kLmConnectConfirm = 0x81;
constexpr std::uint8_t kLmDisconnect = 0x02;
constexpr std::uint8_t kLmAccessMode = 0x03;
constexpr std::uint8_t kLmAccessModeConfirm = 0x83;

// Why an LSAP connection ended (the disconnect PDU's parameter).
enum LmReason : int {
    kLmUserRequest = 1,
    kLmLapDisconnect = 2,
    kLmLapConnectFailed = 3,
    kLmLapReset = 4,
    kLmInitiated = 5,
    kLmNotConnected = 6,  // data for an LSAP pair that has no connection
    kLmNonResponsive = 7,
    kLmNoClient = 8,
    kLmHalfOpen = 9,
    kLmBadSource = 10,
    kLmUnspecified = 0xFF,
};

// One LM-PDU as it arrived in an I field. data/length is what follows the header: the user
// data of a data PDU, or what follows the opcode and parameter of a control PDU.
struct LmPdu {
    bool control = false;
    std::uint8_t dlsap = 0;
    std::uint8_t slsap = 0;
    std::uint8_t opcode = 0;
    std::uint8_t param = 0;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
};

// False for a frame too short for its header (a control PDU needs opcode and parameter).
bool ParseLmPdu(const std::uint8_t* frame, std::size_t length, LmPdu* out);
std::vector<std::uint8_t> LmControlPdu(std::uint8_t dlsap, std::uint8_t slsap, std::uint8_t opcode,
                                       std::uint8_t param, const std::uint8_t* data = nullptr,
                                       std::size_t length = 0);
std::vector<std::uint8_t> LmDataPdu(std::uint8_t dlsap, std::uint8_t slsap, const std::uint8_t* data,
                                    std::size_t length);

// The user of LSAP connections (IAS, TinyTP). conn is the id Irlmp gave the connection.
class LsapUser {
public:
    virtual ~LsapUser() = default;
    // A peer connects to an LSAP this user listens on. True accepts, and *confirm is sent back
    // as the confirm's user data; false refuses.
    virtual bool OnLmConnectIndication(int conn, const std::uint8_t* data, std::size_t length,
                                       std::vector<std::uint8_t>* confirm, Micros now) = 0;
    virtual void OnLmConnectConfirm(int conn, const std::uint8_t* data, std::size_t length, Micros now) = 0;
    virtual void OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) = 0;
    // The connection is gone (the peer's disconnect, the link's loss, a failed connect); the
    // id is not valid afterwards.
    virtual void OnLmDisconnect(int conn, int reason, Micros now) = 0;
};

// LSAP multiplexing over one IrLAP link. Outgoing connects bring the link up first (IrLAP
// connect as primary); the link is let go kIdleMicros after its last LSAP connection closed.
// PDUs the link cannot take yet wait here, in order, and go down on Pump.
class Irlmp : public IrlapUser {
public:
    static constexpr Micros kIdleMicros = 2'000'000;
    // How long an LM connect waits for its confirm.
    static constexpr Micros kConnectMicros = 5'000'000;

    explicit Irlmp(IrlapService& lap);

    // Incoming connections to lsap go to user; false when the selector is taken or invalid.
    bool Listen(std::uint8_t lsap, LsapUser* user);
    void Unlisten(std::uint8_t lsap);

    // Starts a connection to remote_lsap of the device peer (data rides on the LM connect).
    // The connection id, or -1 when no selector is free or the link is up with another device.
    int Connect(std::uint32_t peer, std::uint8_t remote_lsap, LsapUser* user, std::vector<std::uint8_t> data,
                Micros now);
    // Queues a data PDU on an open connection; false when it is not open.
    bool Send(int conn, const std::uint8_t* data, std::size_t length, Micros now);
    // Ends the connection without telling its user.
    void Disconnect(int conn, int reason, Micros now);

    bool IsOpen(int conn) const;
    // Nothing waits here for the link: a sender with more data may hand in a PDU.
    bool CanSend() const { return out_.empty(); }
    // User data an LM data PDU can carry on this link.
    std::size_t MaxData() const;
    std::uint32_t Peer() const { return peer_; }
    bool LinkUp() const { return link_up_; }

    void Discover(int slots, std::function<void(const std::vector<DiscoveredDevice>&, Micros)> done, Micros now);

    // Hands waiting PDUs to the link while it takes them.
    void Pump(Micros now);
    Micros NextDeadline() const;
    void OnTimer(Micros now);

    // IrlapUser
    void OnDiscoveryDone(const std::vector<DiscoveredDevice>& devices, Micros now) override;
    void OnConnectIndication(std::uint32_t peer, Micros now) override;
    void OnConnectConfirm(std::uint32_t peer, Micros now) override;
    void OnConnectFailed(Micros now) override;
    void OnData(const std::uint8_t* i_field, std::size_t length, Micros now) override;
    void OnDisconnect(int reason, Micros now) override;

private:
    // kIndicated: an incoming connect whose user has not answered yet (no data may go).
    enum class State { kWaitLink, kConnectSent, kIndicated, kOpen };
    struct Conn {
        std::uint8_t local = 0;
        std::uint8_t remote = 0;
        LsapUser* user = nullptr;
        State state = State::kWaitLink;
        std::vector<std::uint8_t> connect_data;
        Micros deadline = 0;
    };

    int FindConn(std::uint8_t local, std::uint8_t remote) const;
    bool SelectorInUse(std::uint8_t lsap) const;
    void Queue(std::vector<std::uint8_t> pdu, Micros now);
    void SendConnect(Conn& c, Micros now);
    // Removes the connection; the link's idle time starts when it was the last.
    void Erase(int conn, Micros now);
    void DropAll(int reason, Micros now);
    void HandleConnect(const LmPdu& pdu, Micros now);

    IrlapService& lap_;
    std::map<std::uint8_t, LsapUser*> listeners_;
    std::map<int, Conn> conns_;
    std::deque<std::vector<std::uint8_t>> out_;
    std::function<void(const std::vector<DiscoveredDevice>&, Micros)> discovery_done_;
    int next_conn_ = 1;
    int next_lsap_ = kFirstDynamicLsap;
    std::uint32_t peer_ = 0;
    bool link_up_ = false;
    bool link_connecting_ = false;
    Micros idle_deadline_ = 0;
};

}  // namespace sorvanto::irda
