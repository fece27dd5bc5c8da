#include "irda/irlap_station.h"

#include <algorithm>

#include "irda/sir_codec.h"

namespace sorvanto::irda {

namespace {

constexpr int kNdmXbofs = 12;
constexpr Micros kMs = 1000;
// A responder gives up on a discovery this long after the last slot it could still hear.
constexpr Micros kQueryMargin = 134 * kMs;
// A discovery request waits at most this long for a busy medium to clear.
constexpr Micros kDiscoveryPatience = 3000 * kMs;
constexpr Micros kPollStep = 50 * kMs;
constexpr Micros kSecond = 1000 * kMs;
constexpr Micros kFinalExtension = 300 * kMs;
// Silence that earns the layers above a warning.
constexpr Micros kWarningTime = 3 * kSecond;

// Bits 0..index of a table, where index is the last entry still meeting the need.
template <std::size_t N, typename Pred>
std::uint8_t BitsUpTo(const int (&table)[N], Pred meets) {
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (!meets(table[i])) break;
        bits |= static_cast<std::uint8_t>(1u << i);
    }
    return bits ? bits : 0x01;
}

constexpr int kAdditionalBofsTable[] = {48, 24, 12, 5, 3, 2, 1, 0};
constexpr int kMinTurnaroundTable[] = {10000, 5000, 1000, 500, 100, 50, 10, 0};
constexpr int kLinkDisconnectTable[] = {3, 8, 12, 16, 20, 25, 30, 40};

Qos OwnQosFor(const IrlapConfig& c, const FramePort* port) {
    Qos q;
    std::uint16_t baud = c.baud_mask & (port ? port->SpeedMask() : kBaud9600);
    for (int bit = 0; bit < 10; ++bit) {
        const std::uint16_t b = static_cast<std::uint16_t>(1u << bit);
        if ((baud & b) && BaudFromBits(b) > c.max_baud) baud &= static_cast<std::uint16_t>(~b);
    }
    q.baud = baud | kBaud9600;
    q.max_turnaround = 0x01;  // 500 ms: what every station can do
    q.data_size = (c.data_size_bits & 0x3F) ? (c.data_size_bits & 0x3F) : 0x01;
    const int window = std::clamp(c.window, 1, 7);
    q.window = static_cast<std::uint8_t>((1u << window) - 1);
    q.additional_bofs = BitsUpTo(kAdditionalBofsTable, [&](int v) { return v >= c.additional_bofs; });
    q.min_turnaround = BitsUpTo(kMinTurnaroundTable, [&](int v) { return v >= c.min_turnaround_us; });
    q.link_disconnect = BitsUpTo(kLinkDisconnectTable, [&](int v) { return v <= c.link_disconnect_s; });
    return q;
}

int Mod8(int v) { return ((v % 8) + 8) % 8; }

}  // namespace

IrlapStation::IrlapStation(IrlapConfig config, FramePort* port, std::mt19937 rng)
    : config_(std::move(config)), port_(port), rng_(rng) {
    while (config_.address == 0 || config_.address == kBroadcastDevice) config_.address = static_cast<std::uint32_t>(rng_());
    if (config_.nickname.size() > kMaxNickname) config_.nickname.resize(kMaxNickname);
    own_qos_ = OwnQosFor(config_, port_);
}

void IrlapStation::Touch(Micros now) {
    if (started_) return;
    // The medium counts as busy when a station first listens.
    started_ = true;
    busy_until_ = now + kMediaBusyTime;
}

// ---- Sending ----

void IrlapStation::Send(const std::vector<std::uint8_t>& frame, Micros now, int xbofs) {
    if (xbofs < 0) xbofs = first_in_turn_ ? turn_xbofs_ : xbofs_;
    first_in_turn_ = false;
    if (tap_) tap_(true, frame.data(), frame.size(), now);
    if (port_) port_->SendFrame(frame.data(), frame.size(), xbofs);
    const std::size_t bytes = SirWireSize(frame.data(), frame.size(), xbofs);
    turn_end_ = TurnEnd(now) + static_cast<Micros>(bytes) * 10 * 1000000 / static_cast<Micros>(speed_);
}

void IrlapStation::SetLineSpeed(int baud) {
    if (baud == speed_) return;
    if (port_) port_->SetSpeed(baud);
    speed_ = baud;
}

// ---- Requests from above ----

void IrlapStation::DiscoveryRequest(int slots, Micros now) {
    Touch(now);
    if (slots != 1 && slots != 6 && slots != 8 && slots != 16) slots = slots < 6 ? 1 : slots < 8 ? 6 : slots < 16 ? 8 : 16;
    if (state_ == State::kQuery) return;  // the running one reports
    if (state_ != State::kNdm && state_ != State::kReply) {
        if (user_) user_->OnDiscoveryDone({}, now);
        return;
    }
    if (state_ == State::kNdm && now >= busy_until_) {
        StartQuery(slots, now);
        return;
    }
    pending_discovery_slots_ = slots;
    pending_discovery_since_ = now;
}

void IrlapStation::ConnectRequest(std::uint32_t peer, Micros now) {
    Touch(now);
    switch (state_) {
    case State::kNdm:
        peer_ = peer;
        if (now >= busy_until_ && pending_discovery_slots_ == 0) {
            retries_ = 0;
            SendSnrm(now);
        } else {
            pending_connect_ = true;
        }
        break;
    case State::kQuery:
    case State::kReply:
        peer_ = peer;
        pending_connect_ = true;
        break;
    case State::kSetup:
        break;
    default:
        if (user_) user_->OnConnectFailed(now);
        break;
    }
}

bool IrlapStation::DataRequest(std::vector<std::uint8_t> i_field, Micros now) {
    Touch(now);
    if (!Connected() || disconnect_pending_ || frmr_pending_) return false;
    if (i_field.size() > MaxIField() || queue_.size() >= kMaxQueued) return false;
    queue_.push_back(std::move(i_field));
    if (state_ == State::kXmitP) PrimaryTurn(now);
    return true;
}

void IrlapStation::DisconnectRequest(Micros now) {
    Touch(now);
    pending_connect_ = false;
    switch (state_) {
    case State::kXmitP:
        StartDisc(kDisconnectRequested, now);
        break;
    case State::kRecvP:
    case State::kRecvS:
        disconnect_pending_ = true;
        break;
    case State::kSetup:
        EnterNdm(now, kMediaBusyTime);
        if (user_) user_->OnConnectFailed(now);
        break;
    default:
        break;
    }
}

bool IrlapStation::Connected() const {
    return state_ == State::kXmitP || state_ == State::kRecvP || state_ == State::kRecvS;
}

std::size_t IrlapStation::MaxIField() const { return static_cast<std::size_t>(link_.tx_data_size); }

std::size_t IrlapStation::QueuedFrames() const { return queue_.size() + unacked_.size(); }

std::size_t IrlapStation::MaxFrameIn() const { return static_cast<std::size_t>(DataSizeFromBits(own_qos_.data_size)) + 2; }

// ---- Time ----

Micros IrlapStation::NextDeadline() const {
    if (state_ == State::kNdm) {
        if (pending_discovery_slots_ > 0) return std::max<Micros>(std::min(busy_until_, pending_discovery_since_ + kDiscoveryPatience), 1);
        if (pending_connect_) return std::max<Micros>(busy_until_, 1);
        return 0;
    }
    return deadline_;
}

void IrlapStation::OnTimer(Micros now, bool receiving) {
    Touch(now);
    if (state_ == State::kNdm) {
        if (pending_discovery_slots_ > 0) {
            if (now >= busy_until_) {
                const int slots = pending_discovery_slots_;
                pending_discovery_slots_ = 0;
                StartQuery(slots, now);
            } else if (now >= pending_discovery_since_ + kDiscoveryPatience) {
                pending_discovery_slots_ = 0;
                if (user_) user_->OnDiscoveryDone({}, now);
            }
        } else if (pending_connect_ && now >= busy_until_) {
            pending_connect_ = false;
            retries_ = 0;
            SendSnrm(now);
        }
        return;
    }
    if (deadline_ == 0 || now < deadline_) return;
    deadline_ = 0;
    switch (state_) {
    case State::kQuery:
        ++slot_;
        if (slot_ < slots_) {
            SendXidCommand(now);
            deadline_ = TurnEnd(now) + kSlotTime;
        } else {
            // The final command carries our own discovery info.
            XidBody x;
            x.source = config_.address;
            x.slots = slots_;
            x.slot = kXidFinalSlot;
            x.has_info = true;
            x.hints = config_.hints;
            x.charset = config_.charset;
            x.nickname = config_.nickname;
            Send(EncodeUFrame(kBroadcastConnection, true, kXidCommand, true, x.Encode()), now);
            const std::vector<DiscoveredDevice> found = std::move(found_);
            found_.clear();
            state_ = State::kNdm;
            busy_until_ = TurnEnd(now);
            if (user_) user_->OnDiscoveryDone(found, now);
        }
        break;
    case State::kReply:
        state_ = State::kNdm;
        break;
    case State::kSetup:
        if (backoff_) {
            backoff_ = false;
            ++retries_;
            SendSnrm(now);
        } else if (retries_ < kConnectRetries) {
            backoff_ = true;
            deadline_ = now + std::uniform_int_distribution<Micros>(20 * kMs, 50 * kMs)(rng_);
        } else {
            EnterNdm(now, kMediaBusyTime);
            if (user_) user_->OnConnectFailed(now);
        }
        break;
    case State::kXmitP:
        Transmit(now);
        state_ = State::kRecvP;
        deadline_ = TurnEnd(now) + final_timeout_;
        break;
    case State::kRecvP:
        if (receiving && !f_extended_) {
            f_extended_ = true;
            deadline_ = now + kFinalExtension;
            break;
        }
        f_extended_ = false;
        if (LinkSilent(now)) return;
        if (disconnect_pending_) {
            StartDisc(kDisconnectRequested, now);
            return;
        }
        retransmissions_ += static_cast<int>(unacked_.size());
        Transmit(now);
        deadline_ = TurnEnd(now) + final_timeout_;
        break;
    case State::kRecvS:
        // Nothing at all at the new speed since our UA: the primary never got it and is
        // calling at 9600, where we no longer hear it.
        if (!heard_on_link_ && link_.baud != 9600) {
            Disconnected(kDisconnectLinkLost, now);
            return;
        }
        if (LinkSilent(now)) return;
        deadline_ = now + 2 * final_timeout_;
        break;
    case State::kClosing:
        if (retries_ < kConnectRetries) {
            ++retries_;
            Send(EncodeUFrame(connection_, true, kDisc, true), now);
            deadline_ = TurnEnd(now) + final_timeout_;
        } else {
            Disconnected(disc_reason_, now);
        }
        break;
    case State::kNdm:
        break;
    }
}

void IrlapStation::OnMediaBusy(Micros now) {
    Touch(now);
    busy_until_ = std::max(busy_until_, now + kMediaBusyTime);
}

// ---- Frames in ----

void IrlapStation::OnFrame(const std::uint8_t* frame, std::size_t length, Micros now) {
    Touch(now);
    if (tap_) tap_(false, frame, length, now);
    first_in_turn_ = true;
    IrlapFrame f;
    if (!IrlapFrame::Decode(frame, length, &f)) {
        OnMediaBusy(now);
        return;
    }
    switch (state_) {
    case State::kNdm: HandleNdm(f, now); break;
    case State::kQuery: HandleQuery(f, now); break;
    case State::kReply: HandleReply(f, now); break;
    case State::kSetup: HandleSetup(f, now); break;
    case State::kXmitP:
    case State::kRecvP:
    case State::kRecvS: HandleConnected(f, now); break;
    case State::kClosing: HandleClosing(f, now); break;
    }
}

bool IrlapStation::ForUs(const SnrmBody& s) const {
    return s.destination == config_.address && s.connection != 0 && s.connection != kBroadcastConnection;
}

void IrlapStation::HandleNdm(const IrlapFrame& f, Micros now) {
    const bool broadcast = f.connection == kBroadcastConnection;
    if (f.kind == IrlapFrame::Kind::kU && f.command && broadcast && f.type == kXidCommand) {
        XidBody x;
        const bool valid = XidBody::Decode(f.info, f.info_length, &x);
        if (valid && x.slot != kXidFinalSlot && (x.destination == kBroadcastDevice || x.destination == config_.address)) {
            slots_ = x.slots;
            reply_slot_ = std::uniform_int_distribution<int>(std::min<int>(x.slot, slots_ - 1), slots_ - 1)(rng_);
            replied_ = false;
            discoverer_ = x.source;
            state_ = State::kReply;
            HandleReply(f, now);
            return;
        }
        if (valid && x.slot == kXidFinalSlot) {
            // Someone's discovery has just ended; the medium is theirs a moment longer.
            busy_until_ = std::max(busy_until_, now + kSmallBusyTime);
            return;
        }
    }
    if (f.kind == IrlapFrame::Kind::kU && f.command && broadcast && f.type == kSnrm) {
        SnrmBody s;
        if (SnrmBody::Decode(f.info, f.info_length, &s) && ForUs(s)) {
            AnswerSnrm(s, now);
            return;
        }
    }
    if (f.command && f.pf && !broadcast && (f.kind != IrlapFrame::Kind::kU || f.type == kDisc)) {
        // A primary that still thinks it has a link with us (we gave up on it, or restarted).
        Send(EncodeUFrame(kBroadcastConnection, false, kDm, true), now);
        return;
    }
    OnMediaBusy(now);
}

void IrlapStation::HandleReply(const IrlapFrame& f, Micros now) {
    if (f.kind == IrlapFrame::Kind::kU && f.command && f.connection == kBroadcastConnection && f.type == kXidCommand) {
        XidBody x;
        if (!XidBody::Decode(f.info, f.info_length, &x) || x.source != discoverer_) return;
        if (x.slot == kXidFinalSlot) {
            state_ = State::kNdm;
            deadline_ = 0;
            busy_until_ = now + kSmallBusyTime;
            return;
        }
        deadline_ = now + static_cast<Micros>(std::max(0, slots_ - x.slot)) * kSlotTime + kQueryMargin;
        if (!replied_ && x.slot >= reply_slot_) {
            replied_ = true;
            XidBody r;
            r.source = config_.address;
            r.destination = discoverer_;
            r.slots = slots_;
            r.slot = x.slot;
            r.has_info = true;
            r.hints = config_.hints;
            r.charset = config_.charset;
            r.nickname = config_.nickname;
            Send(EncodeUFrame(kBroadcastConnection, false, kXidResponse, true, r.Encode()), now);
        }
        return;
    }
    if (f.kind == IrlapFrame::Kind::kU && f.command && f.connection == kBroadcastConnection && f.type == kSnrm) {
        // The final command may have been lost before the discoverer connects.
        SnrmBody s;
        if (SnrmBody::Decode(f.info, f.info_length, &s) && ForUs(s)) AnswerSnrm(s, now);
    }
}

void IrlapStation::HandleQuery(const IrlapFrame& f, Micros /*now*/) {
    if (f.kind != IrlapFrame::Kind::kU || f.command || f.connection != kBroadcastConnection || f.type != kXidResponse) return;
    XidBody x;
    if (!XidBody::Decode(f.info, f.info_length, &x) || x.destination != config_.address) return;
    for (const DiscoveredDevice& d : found_)
        if (d.address == x.source) return;
    DiscoveredDevice d;
    d.address = x.source;
    d.hints = x.hints;
    d.charset = x.charset;
    d.nickname = x.nickname;
    found_.push_back(std::move(d));
}

void IrlapStation::StartQuery(int slots, Micros now) {
    slots_ = slots;
    slot_ = 0;
    found_.clear();
    state_ = State::kQuery;
    SendXidCommand(now);
    deadline_ = TurnEnd(now) + kSlotTime;
}

void IrlapStation::SendXidCommand(Micros now) {
    XidBody x;
    x.source = config_.address;
    x.slots = slots_;
    x.slot = static_cast<std::uint8_t>(slot_);
    Send(EncodeUFrame(kBroadcastConnection, true, kXidCommand, true, x.Encode()), now);
}

void IrlapStation::SendSnrm(Micros now) {
    if (retries_ == 0) {
        connection_ = config_.connection_address & 0x7F;
        if (connection_ == 0 || connection_ == kBroadcastConnection)
            connection_ = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 0x7E)(rng_));
    }
    primary_ = true;
    backoff_ = false;
    state_ = State::kSetup;
    SnrmBody s;
    s.source = config_.address;
    s.destination = peer_;
    s.connection = connection_;
    s.qos = own_qos_;
    Send(EncodeUFrame(kBroadcastConnection, true, kSnrm, true, s.Encode()), now);
    deadline_ = TurnEnd(now) + final_timeout_;
}

void IrlapStation::HandleSetup(const IrlapFrame& f, Micros now) {
    if (f.kind != IrlapFrame::Kind::kU) return;
    if (!f.command && f.connection == connection_ && f.type == kUa) {
        UaBody ua;
        if (!UaBody::Decode(f.info, f.info_length, &ua) || ua.source != peer_ || ua.destination != config_.address) return;
        LinkUp(ua.qos, connection_, peer_, true, now);
        // The secondary changed speed once its UA had left; the first frame at the new speed is
        // our poll, after its turnaround time (the XBOFs), with half the F-timer.
        SetLineSpeed(link_.baud);
        turn_xbofs_ = link_.tx_additional_bofs + SirTurnaroundXbofs(link_.baud, link_.tx_min_turnaround_us);
        first_in_turn_ = true;
        Transmit(now);
        state_ = State::kRecvP;
        deadline_ = TurnEnd(now) + final_timeout_ / 2;
        if (user_) user_->OnConnectConfirm(peer_, now);
        return;
    }
    if (!f.command && (f.connection == connection_ || f.connection == kBroadcastConnection) && f.type == kDm) {
        EnterNdm(now, kMediaBusyTime);
        if (user_) user_->OnConnectFailed(now);
        return;
    }
    if (f.command && f.connection == kBroadcastConnection && f.type == kSnrm) {
        // Both sent SNRM: the larger device address stays primary.
        SnrmBody s;
        if (SnrmBody::Decode(f.info, f.info_length, &s) && ForUs(s) && s.source > config_.address) AnswerSnrm(s, now);
    }
}

void IrlapStation::AnswerSnrm(const SnrmBody& snrm, Micros now) {
    LinkUp(snrm.qos, snrm.connection, snrm.source, false, now);
    UaBody ua;
    ua.source = config_.address;
    ua.destination = peer_;
    ua.qos = CommonQos(own_qos_, snrm.qos);
    // The UA still goes at 9600; the new speed takes effect once it has left.
    Send(EncodeUFrame(connection_, false, kUa, true, ua.Encode()), now,
         kNdmXbofs + SirTurnaroundXbofs(speed_, link_.tx_min_turnaround_us));
    SetLineSpeed(link_.baud);
    state_ = State::kRecvS;
    deadline_ = TurnEnd(now) + 2 * final_timeout_;
    if (user_) user_->OnConnectIndication(peer_, now);
}

void IrlapStation::LinkUp(const Qos& theirs, std::uint8_t connection, std::uint32_t peer, bool primary, Micros now) {
    link_ = Negotiate(own_qos_, theirs);
    connection_ = connection;
    peer_ = peer;
    primary_ = primary;
    vs_ = 0;
    vr_ = 0;
    va_ = 7;
    queue_.clear();
    unacked_.clear();
    remote_busy_ = false;
    srej_ = -1;
    warned_ = false;
    heard_on_link_ = false;
    final_timeout_ = static_cast<Micros>(link_.rx_max_turnaround_ms) * kMs;
    poll_timeout_ = static_cast<Micros>(link_.tx_max_turnaround_ms) * kMs;
    heard_at_ = now;
    xbofs_ = link_.tx_additional_bofs;
    turn_xbofs_ = link_.tx_additional_bofs + SirTurnaroundXbofs(link_.baud, link_.tx_min_turnaround_us);
    poll_delay_ = 0;
    data_this_cycle_ = false;
    disconnect_pending_ = false;
    frmr_pending_ = false;
    pending_connect_ = false;
}

// ---- The link ----

bool IrlapStation::LinkSilent(Micros now) {
    // Counted in time rather than in timer expiries, which grow with each retransmitted window.
    const Micros silent = now - heard_at_;
    if (silent >= static_cast<Micros>(link_.link_disconnect_s) * kSecond) {
        Disconnected(kDisconnectLinkLost, now);
        return true;
    }
    if (!warned_ && link_.link_disconnect_s > 3 && silent >= kWarningTime) {
        warned_ = true;
        if (user_) user_->OnLinkWarning(now);
    }
    return false;
}

bool IrlapStation::TakeNr(int nr) {
    const int first = Mod8(va_ + 1);
    const int acked = Mod8(nr - first);
    if (static_cast<std::size_t>(acked) > unacked_.size()) return false;
    for (int i = 0; i < acked; ++i) unacked_.pop_front();
    va_ = Mod8(nr - 1);
    return true;
}

void IrlapStation::Transmit(Micros now) {
    std::vector<std::vector<std::uint8_t>> frames;
    const bool command = primary_;
    std::vector<const Unacked*> out;
    if (!remote_busy_) {
        if (srej_ >= 0) {
            for (const Unacked& u : unacked_)
                if (u.ns == srej_) out.push_back(&u);
        } else {
            for (const Unacked& u : unacked_) out.push_back(&u);
        }
        srej_ = -1;
        while (unacked_.size() < static_cast<std::size_t>(link_.tx_window) && !queue_.empty()) {
            unacked_.push_back(Unacked{vs_, std::move(queue_.front())});
            queue_.pop_front();
            vs_ = Mod8(vs_ + 1);
            out.push_back(&unacked_.back());
        }
    }
    if (out.empty()) {
        Send(EncodeSFrame(connection_, command, kRr, vr_, true), now);
        return;
    }
    data_this_cycle_ = true;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Unacked& u = *out[i];
        Send(EncodeIFrame(connection_, command, u.ns, vr_, i + 1 == out.size(), u.data.data(), u.data.size()), now);
    }
}

void IrlapStation::PrimaryTurn(Micros now) {
    if (disconnect_pending_) {
        StartDisc(kDisconnectRequested, now);
        return;
    }
    const bool has_data = !remote_busy_ && (!unacked_.empty() || !queue_.empty());
    if (has_data || data_this_cycle_) {
        poll_delay_ = 0;
    } else {
        // Nothing either way: poll less often, up to the P-timer.
        poll_delay_ = std::min(poll_delay_ + kPollStep, poll_timeout_);
    }
    data_this_cycle_ = false;
    if (has_data || poll_delay_ == 0) {
        Transmit(now);
        state_ = State::kRecvP;
        deadline_ = TurnEnd(now) + final_timeout_;
    } else {
        state_ = State::kXmitP;
        deadline_ = TurnEnd(now) + poll_delay_;
    }
}

void IrlapStation::ProtocolError(std::uint8_t control, std::uint8_t reasons, Micros now) {
    if (primary_) {
        StartDisc(kDisconnectProtocol, now);
        return;
    }
    // The secondary reports it at the next poll and waits for the primary's DISC.
    frmr_pending_ = true;
    frmr_.rejected_control = control;
    frmr_.vs = vs_;
    frmr_.vr = vr_;
    frmr_.rejected_was_response = false;
    frmr_.reasons = reasons;
}

void IrlapStation::StartDisc(int reason, Micros now) {
    disc_reason_ = reason;
    disconnect_pending_ = false;
    state_ = State::kClosing;
    retries_ = 0;
    Send(EncodeUFrame(connection_, true, kDisc, true), now);
    deadline_ = TurnEnd(now) + final_timeout_;
}

void IrlapStation::HandleConnected(const IrlapFrame& f, Micros now) {
    if (!primary_ && f.kind == IrlapFrame::Kind::kU && f.command && f.type == kSnrm &&
        (f.connection == connection_ || f.connection == kBroadcastConnection)) {
        HandleSnrmOnLink(f, now);
        return;
    }
    if (primary_ && state_ == State::kRecvP && f.kind == IrlapFrame::Kind::kU && !f.command && f.type == kDm &&
        f.connection == kBroadcastConnection) {
        Disconnected(kDisconnectByPeer, now);  // the peer has no link with us any more
        return;
    }
    // Primaries hear responses, secondaries commands, both only on their own connection.
    if (f.connection != connection_ || f.command == primary_) return;
    if (primary_ && state_ != State::kRecvP) return;
    heard_at_ = now;
    heard_on_link_ = true;
    f_extended_ = false;
    if (!primary_) deadline_ = TurnEnd(now) + 2 * final_timeout_;
    const std::uint8_t control = f.control;

    if (f.kind == IrlapFrame::Kind::kU) {
        if (f.type == kDisc) {
            if (primary_) {
                StartDisc(kDisconnectByPeer, now);  // RD: the secondary asks to be let go
            } else {
                const int reason = disconnect_pending_ ? kDisconnectRequested : frmr_pending_ ? kDisconnectProtocol : kDisconnectByPeer;
                Send(EncodeUFrame(connection_, false, kUa, true), now);
                Disconnected(reason, now);
            }
            return;
        }
        if (f.type == kDm && primary_) {
            Disconnected(kDisconnectByPeer, now);
            return;
        }
        if (f.type == kFrmr && primary_) {
            StartDisc(kDisconnectProtocol, now);
            return;
        }
        if (f.type == kUi || f.type == kTest || f.type == kUa || f.type == kXidCommand || f.type == kXidResponse || f.type == kDm) {
            // Nothing to do on a link.
        } else if (!frmr_pending_) {
            ProtocolError(control, kFrmrUndefinedControl, now);
            if (state_ == State::kClosing) return;
        }
    } else if (!frmr_pending_) {
        if (!TakeNr(f.nr)) {
            ProtocolError(control, kFrmrInvalidNr, now);
            if (state_ == State::kClosing) return;
        } else if (f.kind == IrlapFrame::Kind::kI) {
            if (f.info_length > static_cast<std::size_t>(link_.rx_data_size)) {
                ProtocolError(control, kFrmrInfoTooLong, now);
                if (state_ == State::kClosing) return;
            } else if (f.ns == vr_) {
                vr_ = Mod8(vr_ + 1);
                data_this_cycle_ = true;
                // The frame's bytes belong to the caller; the user may call back into us.
                if (user_) user_->OnData(f.info, f.info_length, now);
                if (!Connected()) return;
            }
            // Out of sequence: dropped; the RR of our next turn says what we expect.
        } else {
            switch (f.type) {
            case kRr: remote_busy_ = false; break;
            case kRnr: remote_busy_ = true; break;
            case kRej: remote_busy_ = false; break;
            case kSrej:
                remote_busy_ = false;
                srej_ = f.nr;
                break;
            default: break;
            }
        }
    }

    if (!f.pf) return;
    // The turn is ours.
    if (primary_) {
        PrimaryTurn(now);
        return;
    }
    if (frmr_pending_) {
        Send(EncodeUFrame(connection_, false, kFrmr, true, frmr_.Encode()), now);
    } else if (disconnect_pending_) {
        Send(EncodeUFrame(connection_, false, kDisc, true), now);  // RD
    } else {
        Transmit(now);
    }
    deadline_ = TurnEnd(now) + 2 * final_timeout_;
}

void IrlapStation::HandleSnrmOnLink(const IrlapFrame& f, Micros now) {
    SnrmBody s;
    const bool fresh = vs_ == 0 && vr_ == 0 && unacked_.empty();
    if (fresh && f.connection == kBroadcastConnection && SnrmBody::Decode(f.info, f.info_length, &s) && s.source == peer_ &&
        ForUs(s)) {
        // Our UA was lost and the link still runs at 9600, so we hear the SNRM again: answer
        // it again.
        LinkUp(s.qos, s.connection, s.source, false, now);
        UaBody ua;
        ua.source = config_.address;
        ua.destination = peer_;
        ua.qos = CommonQos(own_qos_, s.qos);
        Send(EncodeUFrame(connection_, false, kUa, true, ua.Encode()), now,
             kNdmXbofs + SirTurnaroundXbofs(speed_, link_.tx_min_turnaround_us));
        SetLineSpeed(link_.baud);
        deadline_ = TurnEnd(now) + 2 * final_timeout_;
        return;
    }
    // A reset: data would be lost without the layers above knowing, so the link ends.
    Send(EncodeUFrame(connection_, false, kDm, true), now);
    Disconnected(kDisconnectProtocol, now);
}

void IrlapStation::HandleClosing(const IrlapFrame& f, Micros now) {
    if (f.kind != IrlapFrame::Kind::kU || f.command) return;
    if ((f.connection == connection_ || f.connection == kBroadcastConnection) && (f.type == kUa || f.type == kDm))
        Disconnected(disc_reason_, now);
}

void IrlapStation::EnterNdm(Micros now, Micros busy_for) {
    state_ = State::kNdm;
    deadline_ = 0;
    link_ = LinkParameters{};
    SetLineSpeed(9600);
    xbofs_ = kNdmXbofs;
    turn_xbofs_ = kNdmXbofs;
    queue_.clear();
    unacked_.clear();
    connection_ = 0;
    primary_ = false;
    disconnect_pending_ = false;
    frmr_pending_ = false;
    final_timeout_ = 500 * kMs;
    busy_until_ = std::max(busy_until_, TurnEnd(now) + busy_for);
}

void IrlapStation::Disconnected(int reason, Micros now) {
    EnterNdm(now, kMediaBusyTime);
    if (user_) user_->OnDisconnect(reason, now);
}

}  // namespace sorvanto::irda
