#include "irda/tinytp.h"

#include <algorithm>

namespace sorvanto::irda {

bool ParseTtpConnect(const std::uint8_t* data, std::size_t length, TtpConnectPdu* out) {
    if (!data || !out || length < 1) return false;
    *out = TtpConnectPdu{};
    out->credit = data[0] & kTtpCreditMask;
    if (!(data[0] & kTtpParameterBit) || length < 2) return true;
    const std::size_t end = std::min<std::size_t>(length, 2 + std::size_t{data[1]});
    for (std::size_t at = 2; at + 2 <= end;) {
        const std::uint8_t pi = data[at];
        const std::size_t pl = data[at + 1];
        if (at + 2 + pl > end) break;
        if (pi == kTtpMaxSduSize && pl >= 1 && pl <= 4) {
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < pl; ++i) v = (v << 8) | data[at + 2 + i];
            out->has_max_sdu = true;
            out->max_sdu = v;
        }
        at += 2 + pl;
    }
    return true;
}

std::vector<std::uint8_t> TtpConnectBytes(int credit, bool with_max_sdu, std::uint16_t max_sdu) {
    const auto c = static_cast<std::uint8_t>(std::clamp(credit, 0, kTtpMaxCredit));
    if (!with_max_sdu) return {c};
    return {static_cast<std::uint8_t>(kTtpParameterBit | c), 0x04, kTtpMaxSduSize, 0x02,
            static_cast<std::uint8_t>(max_sdu >> 8), static_cast<std::uint8_t>(max_sdu)};
}

TinyTp::TinyTp(Irlmp& lmp, TtpUser* user) : TinyTp(lmp, user, Config{}) {}

TinyTp::TinyTp(Irlmp& lmp, TtpUser* user, Config config) : lmp_(lmp), user_(user), config_(config) {
    config_.initial_credit = std::clamp(config_.initial_credit, 1, kTtpMaxCredit);
}

TinyTp::~TinyTp() {
    for (std::uint8_t lsap : listening_) lmp_.Unlisten(lsap);
    for (auto& [id, c] : conns_)
        if (c.state != State::kGone) lmp_.Disconnect(id, kLmUserRequest, 0);
}

int TinyTp::LowCredit() const {
    return config_.low_credit > 0 ? config_.low_credit : std::max(1, config_.initial_credit / 2);
}

bool TinyTp::Listen(std::uint8_t lsap) {
    if (!lmp_.Listen(lsap, this)) return false;
    listening_.push_back(lsap);
    return true;
}

void TinyTp::Unlisten(std::uint8_t lsap) {
    for (auto it = listening_.begin(); it != listening_.end(); ++it)
        if (*it == lsap) {
            lmp_.Unlisten(lsap);
            listening_.erase(it);
            return;
        }
}

int TinyTp::Connect(std::uint32_t peer, std::uint8_t remote_lsap, Micros now) {
    const int id = lmp_.Connect(peer, remote_lsap, this, TtpConnectBytes(config_.initial_credit, false, 0), now);
    if (id < 0) return -1;
    Conn& c = conns_[id];
    c.state = State::kConnecting;
    c.remote_credit = config_.initial_credit;
    return id;
}

bool TinyTp::IsOpen(int conn) const {
    auto it = conns_.find(conn);
    return it != conns_.end() && it->second.state == State::kOpen && !it->second.closing;
}

bool TinyTp::Send(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    if (!IsOpen(conn)) return false;
    if (length == 0) return true;
    Conn& c = conns_[conn];
    c.tx.emplace_back(data, data + length);
    PumpConn(conn, c, now);
    return true;
}

std::size_t TinyTp::Readable(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? 0 : it->second.rx.size();
}

std::size_t TinyTp::Unsent(int conn) const {
    auto it = conns_.find(conn);
    if (it == conns_.end()) return 0;
    std::size_t n = 0;
    for (const auto& chunk : it->second.tx) n += chunk.size();
    return n - it->second.tx_offset;
}

std::size_t TinyTp::Read(int conn, std::uint8_t* out, std::size_t n, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end() || !out) return 0;
    Conn& c = it->second;
    const std::size_t take = std::min(n, c.rx.size());
    std::copy_n(c.rx.begin(), take, out);
    c.rx.erase(c.rx.begin(), c.rx.begin() + static_cast<std::ptrdiff_t>(take));
    // Each PDU read to its end frees one credit for the peer.
    std::size_t left = take;
    while (left && !c.rx_pdus.empty()) {
        const std::size_t part = std::min(left, c.rx_pdus.front());
        c.rx_pdus.front() -= part;
        left -= part;
        if (c.rx_pdus.front() == 0) {
            c.rx_pdus.pop_front();
            ++c.avail_credit;
        }
    }
    PumpConn(conn, c, now);
    return take;
}

void TinyTp::Close(int conn, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end()) return;
    Conn& c = it->second;
    if (c.state != State::kOpen) {
        if (c.state == State::kConnecting) lmp_.Disconnect(conn, kLmUserRequest, now);
        conns_.erase(it);
        return;
    }
    c.closing = true;
    c.close_deadline = now + kCloseMicros;
    PumpConn(conn, c, now);
}

int TinyTp::SendCredit(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? 0 : it->second.send_credit;
}

int TinyTp::PeerCredit(int conn) const {
    auto it = conns_.find(conn);
    return it == conns_.end() ? 0 : it->second.remote_credit;
}

void TinyTp::PumpConn(int id, Conn& c, Micros now) {
    if (c.state != State::kOpen || !lmp_.IsOpen(id)) return;
    const std::size_t max_data = lmp_.MaxData();
    std::vector<std::uint8_t> pdu;
    while (c.send_credit > 0 && lmp_.CanSend() && !c.tx.empty() && max_data > 1) {
        const std::vector<std::uint8_t>& chunk = c.tx.front();
        const std::size_t n = std::min(chunk.size() - c.tx_offset, max_data - 1);
        const int delta = std::min(c.avail_credit, kTtpMaxCredit);
        pdu.assign(1, static_cast<std::uint8_t>(delta));
        pdu.insert(pdu.end(), chunk.begin() + static_cast<std::ptrdiff_t>(c.tx_offset),
                   chunk.begin() + static_cast<std::ptrdiff_t>(c.tx_offset + n));
        if (!lmp_.Send(id, pdu.data(), pdu.size(), now)) return;
        --c.send_credit;
        c.avail_credit -= delta;
        c.remote_credit += delta;
        c.tx_offset += n;
        if (c.tx_offset == chunk.size()) {
            c.tx.pop_front();
            c.tx_offset = 0;
        }
    }
    // A peer running out of credit while no data PDU of ours could carry the grant gets it
    // on its own.
    if (c.avail_credit > 0 && c.remote_credit < LowCredit() && (c.tx.empty() || c.send_credit == 0)) {
        const int delta = std::min(c.avail_credit, kTtpMaxCredit);
        const std::uint8_t grant = static_cast<std::uint8_t>(delta);
        if (lmp_.Send(id, &grant, 1, now)) {
            c.avail_credit -= delta;
            c.remote_credit += delta;
        }
    }
    if (c.closing && c.tx.empty()) {
        lmp_.Disconnect(id, kLmUserRequest, now);
        conns_.erase(id);
    }
}

void TinyTp::Pump(Micros now) {
    std::vector<int> ids;
    for (const auto& [id, c] : conns_) ids.push_back(id);
    for (int id : ids) {
        auto it = conns_.find(id);
        if (it != conns_.end()) PumpConn(id, it->second, now);
    }
}

bool TinyTp::Idle() const {
    for (const auto& [id, c] : conns_)
        if (c.state == State::kOpen && !c.tx.empty()) return false;
    return true;
}

Micros TinyTp::NextDeadline() const {
    Micros next = 0;
    for (const auto& [id, c] : conns_)
        if (c.closing && (!next || c.close_deadline < next)) next = c.close_deadline;
    return next;
}

void TinyTp::OnTimer(Micros now) {
    std::vector<int> late;
    for (const auto& [id, c] : conns_)
        if (c.closing && c.close_deadline <= now) late.push_back(id);
    for (int id : late) {
        lmp_.Disconnect(id, kLmUserRequest, now);
        conns_.erase(id);
    }
}

void TinyTp::Fault(int id, Conn& c, Micros now) {
    lmp_.Disconnect(id, kLmUnspecified, now);
    const bool was_open = c.state == State::kOpen;
    const bool closing = c.closing;
    c.state = State::kGone;
    if (closing) {
        conns_.erase(id);
        return;
    }
    if (was_open) user_->OnTtpClosed(id, kLmUnspecified, now);
    else user_->OnTtpConnected(id, false, now);
}

bool TinyTp::OnLmConnectIndication(int conn, const std::uint8_t* data, std::size_t length,
                                   std::vector<std::uint8_t>* confirm, Micros now) {
    TtpConnectPdu pdu;
    if (!ParseTtpConnect(data, length, &pdu)) return false;
    Conn& c = conns_[conn];
    c.state = State::kOpen;
    c.send_credit = pdu.credit;
    c.remote_credit = config_.initial_credit;
    *confirm = TtpConnectBytes(config_.initial_credit, true, 0);
    // Data the user queues from here waits until the confirm has gone (IrLMP holds the
    // connection closed until then); the next Pump sends it.
    user_->OnTtpIncoming(conn, now);
    return true;
}

void TinyTp::OnLmConnectConfirm(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end() || it->second.state != State::kConnecting) return;
    Conn& c = it->second;
    TtpConnectPdu pdu;
    if (!ParseTtpConnect(data, length, &pdu)) {
        Fault(conn, c, now);
        return;
    }
    c.state = State::kOpen;
    c.send_credit = pdu.credit;
    user_->OnTtpConnected(conn, true, now);
    auto again = conns_.find(conn);
    if (again != conns_.end()) PumpConn(conn, again->second, now);
}

void TinyTp::OnLmData(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end() || it->second.state != State::kOpen || length < 1) return;
    Conn& c = it->second;
    const int delta = data[0] & kTtpCreditMask;
    const std::size_t n = length - 1;
    // More credit than a PDU can count, or data beyond what we granted: the peer is broken.
    if (c.send_credit + delta > kTtpMaxCredit || (n > 0 && c.remote_credit <= 0)) {
        Fault(conn, c, now);
        return;
    }
    c.send_credit += delta;
    if (n > 0) {
        --c.remote_credit;
        c.rx.insert(c.rx.end(), data + 1, data + length);
        c.rx_pdus.push_back(n);
    }
    if (!c.closing && n > 0) user_->OnTtpData(conn, now);
    auto again = conns_.find(conn);
    if (again != conns_.end()) PumpConn(conn, again->second, now);
}

void TinyTp::OnLmDisconnect(int conn, int reason, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end()) return;
    Conn& c = it->second;
    const State was = c.state;
    if (c.closing) {
        conns_.erase(it);
        return;
    }
    c.state = State::kGone;
    c.tx.clear();
    if (was == State::kConnecting) user_->OnTtpConnected(conn, false, now);
    else if (was == State::kOpen) user_->OnTtpClosed(conn, reason, now);
}

}  // namespace sorvanto::irda
