#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "irda/frame_port.h"
#include "irda/ir_clock.h"
#include "irda/irlap_frame.h"
#include "irda/irlap_service.h"
#include "irda/qos.h"

namespace sorvanto::irda {

// What a station offers when a link is set up.
struct IrlapConfig {
    std::uint32_t address = 0;           // our 32-bit device address (0: drawn from the rng)
    std::string nickname;                // sent in discovery, at most 21 bytes
    std::vector<std::uint8_t> hints{0x84, 0x20};  // Computer, then OBEX
    std::uint8_t charset = 0;            // of the nickname: 0 ASCII, 0xFF Unicode
    std::uint16_t baud_mask = kBaudSirMask;  // PI 0x01 bits offered (also cut to the port's mask)
    int max_baud = 115200;               // no bit above this speed is offered
    std::uint8_t data_size_bits = 0x3F;  // PI 0x83 bits: the I fields we take (0x3F: up to 2048)
    int window = 7;                      // frames we take per turn, 1-7
    int min_turnaround_us = 1000;        // the pause we need after sending before we can receive
    int additional_bofs = 0;             // the extra BOFs we need in front of each frame
    int link_disconnect_s = 12;          // 3, 8, 12, 16, 20, 25, 30 or 40
    std::uint8_t connection_address = 0; // the 7-bit address our SNRMs ask for (0: random)
};

// One IrLAP station, primary or secondary, over a frame port. It is a state machine: fed frames,
// media-busy events and requests with the current time, asked for its next deadline, and
// OnTimer(now) when that is reached. It never sleeps and reads no clock.
//
// Only RR is ever sent as a supervisory frame; received RNR, REJ and SREJ are obeyed. Lost
// frames are recovered by going back to the oldest unacknowledged one whenever the turn comes
// back; frames out of sequence are not kept.
class IrlapStation : public IrlapService {
public:
    using CaptureTap = std::function<void(bool sent, const std::uint8_t* frame, std::size_t length, Micros now)>;

    // How many I fields DataRequest queues beyond the window before it says "full".
    static constexpr std::size_t kMaxQueued = 16;
    static constexpr Micros kMediaBusyTime = 500000;
    static constexpr Micros kSmallBusyTime = 100000;
    static constexpr Micros kSlotTime = 90000;
    static constexpr int kConnectRetries = 3;  // SNRM (and DISC) sent again this often

    IrlapStation(IrlapConfig config, FramePort* port, std::mt19937 rng);

    void SetUser(IrlapUser* user) { user_ = user; }
    void SetCaptureTap(CaptureTap tap) { tap_ = std::move(tap); }

    // From the driver: one good frame (FCS removed), stray bytes or a bad frame.
    void OnFrame(const std::uint8_t* frame, std::size_t length, Micros now);
    void OnMediaBusy(Micros now);
    // 0 = nothing pending.
    Micros NextDeadline() const;
    // receiving: a frame is arriving right now (for SIR, SirDecoder::InFrame()); an F-timer
    // then waits a little longer, once, instead of resending over it.
    void OnTimer(Micros now, bool receiving = false);

    // IrlapService.
    void DiscoveryRequest(int slots, Micros now) override;
    void ConnectRequest(std::uint32_t peer, Micros now) override;
    bool DataRequest(std::vector<std::uint8_t> i_field, Micros now) override;
    void DisconnectRequest(Micros now) override;
    bool Connected() const override;
    std::size_t MaxIField() const override;
    std::size_t QueuedFrames() const override;
    std::uint32_t OwnAddress() const override { return config_.address; }

    // The longest frame (address byte onwards) we accept now, for the decoder's length cap.
    std::size_t MaxFrameIn() const;
    // The QoS we state in SNRM and UA.
    const Qos& OwnQos() const { return own_qos_; }
    // What the link runs with (NDM defaults when there is none).
    const LinkParameters& Link() const { return link_; }
    bool Primary() const { return primary_; }
    std::uint32_t Peer() const { return peer_; }
    // Counters for diagnostics.
    int Retransmissions() const { return retransmissions_; }
    bool LinkWarning() const { return warned_; }

private:
    enum class State {
        kNdm,        // no link; answers discovery and SNRM
        kQuery,      // our discovery is running
        kReply,      // answering someone's discovery
        kSetup,      // SNRM sent, waiting for UA
        kXmitP,      // primary, holding the line (waiting for the next poll)
        kRecvP,      // primary, waiting for the F bit
        kRecvS,      // secondary, waiting for the P bit
        kClosing,    // primary, DISC sent, waiting for UA or DM
    };

    struct Unacked {
        int ns;
        std::vector<std::uint8_t> data;
    };

    void Touch(Micros now);
    // xbofs < 0: the link's count (with the turnaround delay on the first frame of a turn).
    void Send(const std::vector<std::uint8_t>& frame, Micros now, int xbofs = -1);
    void SetLineSpeed(int baud);
    bool ForUs(const SnrmBody& s) const;
    Micros TurnEnd(Micros now) const { return turn_end_ > now ? turn_end_ : now; }

    void HandleNdm(const IrlapFrame& f, Micros now);
    void HandleReply(const IrlapFrame& f, Micros now);
    void HandleQuery(const IrlapFrame& f, Micros now);
    void HandleSetup(const IrlapFrame& f, Micros now);
    void HandleConnected(const IrlapFrame& f, Micros now);
    void HandleSnrmOnLink(const IrlapFrame& f, Micros now);
    void HandleClosing(const IrlapFrame& f, Micros now);

    void StartQuery(int slots, Micros now);
    void SendXidCommand(Micros now);
    void SendSnrm(Micros now);
    void AnswerSnrm(const SnrmBody& snrm, Micros now);
    void LinkUp(const Qos& theirs, std::uint8_t connection, std::uint32_t peer, bool primary, Micros now);
    // Warns after 3 s without a frame from the peer, ends the link after the disconnect time.
    bool LinkSilent(Micros now);
    void EnterNdm(Micros now, Micros busy_for);
    void Disconnected(int reason, Micros now);

    // Acknowledges up to N(R); false when N(R) is invalid.
    bool TakeNr(int nr);
    // Our turn: resends what is unacknowledged (go-back-N), then new I fields within the window,
    // the last with P/F; RR when there is nothing.
    void Transmit(Micros now);
    void PrimaryTurn(Micros now);
    void ProtocolError(std::uint8_t control, std::uint8_t reasons, Micros now);
    void StartDisc(int reason, Micros now);

    IrlapConfig config_;
    FramePort* port_;
    std::mt19937 rng_;
    IrlapUser* user_ = nullptr;
    CaptureTap tap_;
    Qos own_qos_;
    LinkParameters link_;

    State state_ = State::kNdm;
    bool started_ = false;
    Micros deadline_ = 0;
    Micros busy_until_ = 0;
    Micros turn_end_ = 0;     // when what we sent so far has left
    int speed_ = 9600;
    int xbofs_ = 12;          // in front of each frame
    int turn_xbofs_ = 12;     // in front of the first frame of a turn
    bool first_in_turn_ = true;

    // Requests waiting for the medium.
    int pending_discovery_slots_ = 0;
    Micros pending_discovery_since_ = 0;
    bool pending_connect_ = false;

    // Discovery.
    int slots_ = 0;
    int slot_ = 0;
    std::vector<DiscoveredDevice> found_;
    int reply_slot_ = -1;
    bool replied_ = false;
    std::uint32_t discoverer_ = 0;

    // Connection.
    bool primary_ = false;
    std::uint32_t peer_ = 0;
    std::uint8_t connection_ = 0;
    int retries_ = 0;
    bool backoff_ = false;
    int vs_ = 0, vr_ = 0, va_ = 7;
    std::deque<std::vector<std::uint8_t>> queue_;
    std::deque<Unacked> unacked_;
    bool remote_busy_ = false;
    int srej_ = -1;           // the only frame to resend next turn, -1 = all
    Micros heard_at_ = 0;     // the last frame from the peer
    bool warned_ = false;
    bool heard_on_link_ = false;
    bool f_extended_ = false;
    Micros final_timeout_ = 500000;
    Micros poll_timeout_ = 500000;
    Micros poll_delay_ = 0;
    bool data_this_cycle_ = false;
    bool disconnect_pending_ = false;
    bool frmr_pending_ = false;
    FrmrBody frmr_;
    int disc_reason_ = kDisconnectRequested;
    int retransmissions_ = 0;
};

}  // namespace sorvanto::irda
