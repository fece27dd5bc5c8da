#include "irda/irlmp.h"

namespace sorvanto::irda {

namespace {
constexpr std::uint8_t kControlBit = 0x80;
constexpr std::uint8_t kLsapMask = 0x7F;
}  // namespace

bool ParseLmPdu(const std::uint8_t* frame, std::size_t length, LmPdu* out) {
    if (!frame || !out || length < 2) return false;
    LmPdu pdu;
    pdu.control = (frame[0] & kControlBit) != 0;
    pdu.dlsap = frame[0] & kLsapMask;
    pdu.slsap = frame[1] & kLsapMask;
    std::size_t header = 2;
    if (pdu.control) {
        if (length < 4) return false;
        pdu.opcode = frame[2];
        pdu.param = frame[3];
        header = 4;
    }
    pdu.data = frame + header;
    pdu.length = length - header;
    *out = pdu;
    return true;
}

std::vector<std::uint8_t> LmControlPdu(std::uint8_t dlsap, std::uint8_t slsap, std::uint8_t opcode,
                                       std::uint8_t param, const std::uint8_t* data, std::size_t length) {
    std::vector<std::uint8_t> pdu{static_cast<std::uint8_t>(kControlBit | (dlsap & kLsapMask)),
                                  static_cast<std::uint8_t>(slsap & kLsapMask), opcode, param};
    if (data && length) pdu.insert(pdu.end(), data, data + length);
    return pdu;
}

std::vector<std::uint8_t> LmDataPdu(std::uint8_t dlsap, std::uint8_t slsap, const std::uint8_t* data,
                                    std::size_t length) {
    std::vector<std::uint8_t> pdu{static_cast<std::uint8_t>(dlsap & kLsapMask),
                                  static_cast<std::uint8_t>(slsap & kLsapMask)};
    if (data && length) pdu.insert(pdu.end(), data, data + length);
    return pdu;
}

Irlmp::Irlmp(IrlapService& lap) : lap_(lap) {}

bool Irlmp::Listen(std::uint8_t lsap, LsapUser* user) {
    if (!user || lsap >= kConnectionlessLsap || listeners_.count(lsap)) return false;
    listeners_[lsap] = user;
    return true;
}

void Irlmp::Unlisten(std::uint8_t lsap) { listeners_.erase(lsap); }

int Irlmp::FindConn(std::uint8_t local, std::uint8_t remote) const {
    for (const auto& [id, c] : conns_)
        if (c.local == local && c.remote == remote) return id;
    return -1;
}

bool Irlmp::SelectorInUse(std::uint8_t lsap) const {
    if (listeners_.count(lsap)) return true;
    for (const auto& [id, c] : conns_)
        if (c.local == lsap) return true;
    return false;
}

bool Irlmp::IsOpen(int conn) const {
    auto it = conns_.find(conn);
    return it != conns_.end() && it->second.state == State::kOpen;
}

std::size_t Irlmp::MaxData() const {
    const std::size_t lap = lap_.MaxIField();
    return lap > 2 ? lap - 2 : 0;
}

void Irlmp::Queue(std::vector<std::uint8_t> pdu, Micros now) {
    out_.push_back(std::move(pdu));
    Pump(now);
}

void Irlmp::Pump(Micros now) {
    while (!out_.empty() && link_up_ && lap_.Connected()) {
        if (!lap_.DataRequest(out_.front(), now)) break;
        out_.pop_front();
    }
}

void Irlmp::SendConnect(Conn& c, Micros now) {
    c.state = State::kConnectSent;
    c.deadline = now + kConnectMicros;
    Queue(LmControlPdu(c.remote, c.local, kLmConnect, 0x00, c.connect_data.data(), c.connect_data.size()), now);
    c.connect_data.clear();
}

int Irlmp::Connect(std::uint32_t peer, std::uint8_t remote_lsap, LsapUser* user, std::vector<std::uint8_t> data,
                   Micros now) {
    if (!user || remote_lsap >= kConnectionlessLsap) return -1;
    if ((link_up_ || link_connecting_) && peer != peer_) return -1;
    // Selectors are handed out in turn rather than the lowest free one, so that a late PDU of
    // a connection just closed does not land on the next one.
    int local = -1;
    const int span = kLastDynamicLsap - kFirstDynamicLsap + 1;
    for (int i = 0; i < span && local < 0; ++i) {
        const int s = kFirstDynamicLsap + (next_lsap_ - kFirstDynamicLsap + i) % span;
        if (!SelectorInUse(static_cast<std::uint8_t>(s))) local = s;
    }
    if (local < 0) return -1;
    next_lsap_ = local + 1 > kLastDynamicLsap ? kFirstDynamicLsap : local + 1;
    const int id = next_conn_++;
    Conn& c = conns_[id];
    c.local = static_cast<std::uint8_t>(local);
    c.remote = remote_lsap;
    c.user = user;
    c.connect_data = std::move(data);
    idle_deadline_ = 0;
    if (link_up_) {
        SendConnect(c, now);
    } else {
        c.deadline = 0;
        if (!link_connecting_) {
            peer_ = peer;
            link_connecting_ = true;
            lap_.ConnectRequest(peer, now);
        }
    }
    return id;
}

bool Irlmp::Send(int conn, const std::uint8_t* data, std::size_t length, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end() || it->second.state != State::kOpen) return false;
    Queue(LmDataPdu(it->second.remote, it->second.local, data, length), now);
    return true;
}

void Irlmp::Disconnect(int conn, int reason, Micros now) {
    auto it = conns_.find(conn);
    if (it == conns_.end()) return;
    if (it->second.state != State::kWaitLink)
        Queue(LmControlPdu(it->second.remote, it->second.local, kLmDisconnect, static_cast<std::uint8_t>(reason)), now);
    Erase(conn, now);
}

void Irlmp::Erase(int conn, Micros now) {
    conns_.erase(conn);
    if (conns_.empty() && (link_up_ || link_connecting_)) idle_deadline_ = now + kIdleMicros;
}

void Irlmp::Discover(int slots, std::function<void(const std::vector<DiscoveredDevice>&, Micros)> done, Micros now) {
    discovery_done_ = std::move(done);
    lap_.DiscoveryRequest(slots, now);
}

Micros Irlmp::NextDeadline() const {
    Micros next = idle_deadline_;
    for (const auto& [id, c] : conns_)
        if (c.deadline && (!next || c.deadline < next)) next = c.deadline;
    return next;
}

void Irlmp::OnTimer(Micros now) {
    std::vector<int> late;
    for (const auto& [id, c] : conns_)
        if (c.deadline && c.deadline <= now && c.state == State::kConnectSent) late.push_back(id);
    for (int id : late) {
        auto it = conns_.find(id);
        if (it == conns_.end()) continue;
        LsapUser* user = it->second.user;
        Disconnect(id, kLmNonResponsive, now);
        user->OnLmDisconnect(id, kLmNonResponsive, now);
    }
    if (idle_deadline_ && idle_deadline_ <= now) {
        idle_deadline_ = 0;
        if (conns_.empty() && link_up_ && (!out_.empty() || lap_.QueuedFrames() > 0)) {
            // The last PDUs (a closing connection's data and its disconnect) must reach the
            // peer before the link goes.
            idle_deadline_ = now + kIdleMicros / 4;
        } else if (conns_.empty() && (link_up_ || link_connecting_)) {
            lap_.DisconnectRequest(now);
            link_connecting_ = false;
        }
    }
}

void Irlmp::OnDiscoveryDone(const std::vector<DiscoveredDevice>& devices, Micros now) {
    auto done = std::move(discovery_done_);
    discovery_done_ = nullptr;
    if (done) done(devices, now);
}

void Irlmp::OnConnectIndication(std::uint32_t peer, Micros) {
    peer_ = peer;
    link_up_ = true;
    link_connecting_ = false;
}

void Irlmp::OnConnectConfirm(std::uint32_t peer, Micros now) {
    peer_ = peer;
    link_up_ = true;
    link_connecting_ = false;
    std::vector<int> waiting;
    for (const auto& [id, c] : conns_)
        if (c.state == State::kWaitLink) waiting.push_back(id);
    for (int id : waiting) SendConnect(conns_[id], now);
    if (conns_.empty()) idle_deadline_ = now + kIdleMicros;
}

void Irlmp::OnConnectFailed(Micros now) {
    link_connecting_ = false;
    link_up_ = false;
    DropAll(kLmLapConnectFailed, now);
}

void Irlmp::OnDisconnect(int, Micros now) {
    link_up_ = false;
    link_connecting_ = false;
    out_.clear();
    DropAll(kLmLapDisconnect, now);
}

void Irlmp::DropAll(int reason, Micros now) {
    idle_deadline_ = 0;
    auto gone = std::move(conns_);
    conns_.clear();
    for (auto& [id, c] : gone) c.user->OnLmDisconnect(id, reason, now);
}

void Irlmp::HandleConnect(const LmPdu& pdu, Micros now) {
    auto listener = listeners_.find(pdu.dlsap);
    if (listener == listeners_.end()) {
        Queue(LmControlPdu(pdu.slsap, pdu.dlsap, kLmDisconnect, kLmNoClient), now);
        return;
    }
    // A connect for a pair that is already connected means the peer lost the old one.
    const int old = FindConn(pdu.dlsap, pdu.slsap);
    if (old >= 0) {
        LsapUser* user = conns_[old].user;
        Erase(old, now);
        user->OnLmDisconnect(old, kLmHalfOpen, now);
    }
    const int id = next_conn_++;
    Conn& c = conns_[id];
    c.local = pdu.dlsap;
    c.remote = pdu.slsap;
    c.user = listener->second;
    c.state = State::kIndicated;
    idle_deadline_ = 0;
    std::vector<std::uint8_t> confirm;
    LsapUser* user = listener->second;
    if (user->OnLmConnectIndication(id, pdu.data, pdu.length, &confirm, now)) {
        if (conns_.count(id)) {
            Queue(LmControlPdu(pdu.slsap, pdu.dlsap, kLmConnectConfirm, 0x00, confirm.data(), confirm.size()), now);
            conns_[id].state = State::kOpen;
        }
    } else if (conns_.count(id)) {
        Queue(LmControlPdu(pdu.slsap, pdu.dlsap, kLmDisconnect, kLmUserRequest), now);
        Erase(id, now);
    }
}

void Irlmp::OnData(const std::uint8_t* i_field, std::size_t length, Micros now) {
    LmPdu pdu;
    if (!ParseLmPdu(i_field, length, &pdu)) return;
    if (pdu.dlsap == kConnectionlessLsap || pdu.slsap == kConnectionlessLsap) return;
    if (pdu.control) {
        switch (pdu.opcode) {
        case kLmConnect: HandleConnect(pdu, now); return;
        case kLmConnectConfirm: {
            const int id = FindConn(pdu.dlsap, pdu.slsap);
            if (id < 0 || conns_[id].state != State::kConnectSent) return;
            Conn& c = conns_[id];
            c.state = State::kOpen;
            c.deadline = 0;
            c.user->OnLmConnectConfirm(id, pdu.data, pdu.length, now);
            return;
        }
        case kLmDisconnect: {
            // Never answered: a disconnect for no connection is simply dropped.
            const int id = FindConn(pdu.dlsap, pdu.slsap);
            if (id < 0) return;
            LsapUser* user = conns_[id].user;
            Erase(id, now);
            user->OnLmDisconnect(id, pdu.param, now);
            return;
        }
        case kLmAccessMode:
            // Exclusive mode is not offered: the request is refused, the mode stays shared.
            {
                const std::uint8_t mode = pdu.length ? pdu.data[0] : 0;
                Queue(LmControlPdu(pdu.slsap, pdu.dlsap, kLmAccessModeConfirm, 0x01, &mode, 1), now);
            }
            return;
        default: return;
        }
    }
    const int id = FindConn(pdu.dlsap, pdu.slsap);
    if (id < 0 || conns_[id].state != State::kOpen) {
        Queue(LmControlPdu(pdu.slsap, pdu.dlsap, kLmDisconnect, kLmNotConnected), now);
        return;
    }
    conns_[id].user->OnLmData(id, pdu.data, pdu.length, now);
}

}  // namespace sorvanto::irda
