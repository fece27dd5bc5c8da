#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "irda/irlmp.h"

namespace sorvanto::irda {

constexpr std::uint8_t kTtpMoreBit = 0x80;       // data PDU: more of this SDU follows
constexpr std::uint8_t kTtpParameterBit = 0x80;  // connect PDU: a parameter list follows
constexpr std::uint8_t kTtpCreditMask = 0x7F;
constexpr std::uint8_t kTtpMaxSduSize = 0x01;    // PI of the MaxSduSize parameter
constexpr int kTtpMaxCredit = 127;

// A TinyTP connect or connect-confirm PDU (the user data of the LM connect).
struct TtpConnectPdu {
    int credit = 0;
    bool has_max_sdu = false;
    std::uint32_t max_sdu = 0;  // 0: no segmentation and reassembly
};
// False when there is no byte at all; a parameter list that runs past the PDU is ignored.
bool ParseTtpConnect(const std::uint8_t* data, std::size_t length, TtpConnectPdu* out);
// with_max_sdu adds MaxSduSize (two bytes, as Linux sends it).
std::vector<std::uint8_t> TtpConnectBytes(int credit, bool with_max_sdu, std::uint16_t max_sdu);

// The user of TinyTP connections: the byte stream above them.
class TtpUser {
public:
    virtual ~TtpUser() = default;
    // An incoming connection was accepted (it is open; data may follow at once).
    virtual void OnTtpIncoming(int conn, Micros now) = 0;
    // An outgoing connect completed (ok) or failed.
    virtual void OnTtpConnected(int conn, bool ok, Micros now) = 0;
    // Bytes can be read.
    virtual void OnTtpData(int conn, Micros now) = 0;
    // The connection ended (the peer's close, a lost link, a protocol fault).
    virtual void OnTtpClosed(int conn, int reason, Micros now) = 0;
};

// TinyTP in stream mode over LSAP connections: credits in both directions, no segmentation.
// Each Send is cut into data PDUs of at most MaxData() - 1 bytes (the PDUs of two Sends are
// never mixed); the receiver hands the bytes up as one stream. Credits are granted back as
// the reader takes the bytes of a PDU, on the next data PDU or, when the peer runs low, in a
// dataless PDU.
class TinyTp : public LsapUser {
public:
    struct Config {
        int initial_credit = 14;
        // A dataless grant goes out when the peer holds fewer credits than this (0: half of
        // initial_credit).
        int low_credit = 0;
    };
    // How long a close waits for its queued data to leave before it goes anyway.
    static constexpr Micros kCloseMicros = 10'000'000;

    TinyTp(Irlmp& lmp, TtpUser* user);
    TinyTp(Irlmp& lmp, TtpUser* user, Config config);
    ~TinyTp() override;

    bool Listen(std::uint8_t lsap);
    void Unlisten(std::uint8_t lsap);
    // The connection id, or -1.
    int Connect(std::uint32_t peer, std::uint8_t remote_lsap, Micros now);
    // Queues bytes; false when the connection is not open.
    bool Send(int conn, const std::uint8_t* data, std::size_t length, Micros now);
    // Bytes taken from the received stream (at most n).
    std::size_t Read(int conn, std::uint8_t* out, std::size_t n, Micros now);
    std::size_t Readable(int conn) const;
    // Bytes given to Send and not yet handed to IrLMP.
    std::size_t Unsent(int conn) const;
    // Ends the connection once its queued bytes have gone; the user is not told. A connection
    // the peer has ended stays (for its unread bytes) until it is closed.
    void Close(int conn, Micros now);
    bool IsOpen(int conn) const;

    // Credits of a connection, for tests and the log: what we may send, what the peer may.
    int SendCredit(int conn) const;
    int PeerCredit(int conn) const;

    // No connection has bytes left to hand to IrLMP.
    bool Idle() const;

    void Pump(Micros now);
    Micros NextDeadline() const;
    void OnTimer(Micros now);

    bool OnLmConnectIndication(int conn, const std::uint8_t* data, std::size_t length,
                               std::vector<std::uint8_t>* confirm, Micros now) override;
    void OnLmConnectConfirm(int conn, const std::uint8_t* data, std::size_t length, Micros now) override;
    void OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) override;
    void OnLmDisconnect(int conn, int reason, Micros now) override;

private:
    enum class State { kConnecting, kOpen, kGone };
    struct Conn {
        State state = State::kConnecting;
        bool closing = false;
        Micros close_deadline = 0;
        int send_credit = 0;    // data PDUs we may still send
        int remote_credit = 0;  // data PDUs the peer may still send
        int avail_credit = 0;   // credits freed by the reader, not yet granted
        std::deque<std::vector<std::uint8_t>> tx;  // one entry per Send
        std::size_t tx_offset = 0;                 // into tx.front()
        std::deque<std::uint8_t> rx;
        std::deque<std::size_t> rx_pdus;  // bytes of each received PDU still unread
    };
    int LowCredit() const;
    void PumpConn(int id, Conn& c, Micros now);
    void Fault(int id, Conn& c, Micros now);

    Irlmp& lmp_;
    TtpUser* user_;
    Config config_;
    std::map<int, Conn> conns_;
    std::vector<std::uint8_t> listening_;
};

}  // namespace sorvanto::irda
