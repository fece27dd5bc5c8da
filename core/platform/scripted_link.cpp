#include "platform/scripted_link.h"

#include <algorithm>
#include <cstring>

namespace sorvanto {

void ScriptedLink::AddIncoming(Peer peer, std::string address) {
    std::lock_guard lock(mutex_);
    incoming_.emplace_back(std::move(peer), std::move(address));
    changed_.notify_all();
}

void ScriptedLink::SetDevices(std::vector<std::pair<std::array<std::uint8_t, 4>, std::string>> devices) {
    std::lock_guard lock(mutex_);
    devices_ = std::move(devices);
}

void ScriptedLink::SetConnect(ConnectOutcome outcome, Peer peer) {
    std::lock_guard lock(mutex_);
    connect_outcome_ = outcome;
    connect_peer_ = std::move(peer);
}

int ScriptedLink::Connections() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(conns_.size());
}

std::vector<std::string> ScriptedLink::Sent(int connection) const {
    std::lock_guard lock(mutex_);
    if (connection < 0 || connection >= static_cast<int>(conns_.size())) return {};
    return conns_[static_cast<std::size_t>(connection)].sent;
}

bool ScriptedLink::ClosedBySession(int connection) const {
    std::lock_guard lock(mutex_);
    if (connection < 0 || connection >= static_cast<int>(conns_.size())) return false;
    return conns_[static_cast<std::size_t>(connection)].closed_by_session;
}

std::array<std::uint8_t, 4> ScriptedLink::LastConnectAddress() const {
    std::lock_guard lock(mutex_);
    return last_connect_;
}

int ScriptedLink::RecvCalls() const {
    std::lock_guard lock(mutex_);
    return recv_calls_;
}

LinkEvent ScriptedLink::CreateEvent() {
    std::lock_guard lock(mutex_);
    return events_.Create();
}

void ScriptedLink::CloseEvent(LinkEvent event) {
    std::lock_guard lock(mutex_);
    events_.Close(event);
}

LinkSocket ScriptedLink::CreateSocket() {
    std::lock_guard lock(mutex_);
    if (fail_create_) return kNoSocket;
    const int s = next_socket_++;
    socks_[s] = Sock{};
    return s;
}

bool ScriptedLink::Bind(LinkSocket s) {
    std::lock_guard lock(mutex_);
    return socks_.count(s) && !fail_bind_;
}

bool ScriptedLink::Listen(LinkSocket s, int) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return false;
    it->second.listening = true;
    return true;
}

int ScriptedLink::NewConn(Peer peer, std::string address) {
    Conn c;
    c.inbox.assign(peer.steps.begin(), peer.steps.end());
    c.front_since = Clock::now();
    c.responder = std::move(peer.responder);
    c.address = std::move(address);
    conns_.push_back(std::move(c));
    return static_cast<int>(conns_.size()) - 1;
}

std::string ScriptedLink::PeerAddress(LinkSocket s) const {
    std::lock_guard lock(mutex_);
    const auto it = socks_.find(s);
    if (it == socks_.end() || it->second.conn < 0) return {};
    return conns_[static_cast<std::size_t>(it->second.conn)].address;
}

LinkSocket ScriptedLink::Accept(LinkSocket s) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !it->second.listening) return kNoSocket;
    it->second.armed |= kFdAccept;
    if (incoming_.empty()) return kNoSocket;
    auto [peer, address] = std::move(incoming_.front());
    incoming_.pop_front();
    const int d = next_socket_++;
    Sock sock;
    sock.conn = NewConn(std::move(peer), std::move(address));
    socks_[d] = sock;
    return d;
}

bool ScriptedLink::Connect(LinkSocket s, const std::uint8_t address[4]) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return false;
    std::memcpy(last_connect_.data(), address, 4);
    switch (connect_outcome_) {
    case ConnectOutcome::kAccept:
        it->second.conn = NewConn(connect_peer_);
        it->second.connect_pending = true;
        it->second.connect_error = 0;
        break;
    case ConnectOutcome::kRefuse:
        it->second.connect_pending = true;
        it->second.connect_error = kLinkErrRefused;
        break;
    case ConnectOutcome::kNever: break;
    }
    changed_.notify_all();
    return true;
}

bool ScriptedLink::EnumerateDevices(LinkSocket s, DeviceList& list) {
    std::lock_guard lock(mutex_);
    if (!socks_.count(s) || fail_discovery_) return false;
    list.fill(0);
    for (const auto& [address, name] : devices_) AddDevice(list, address.data(), name);
    return true;
}

bool ScriptedLink::SetTimeouts(LinkSocket s, int, int) {
    std::lock_guard lock(mutex_);
    return socks_.count(s) != 0;
}

bool ScriptedLink::SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || (event != kNoEvent && !events_.Exists(event))) return false;
    it->second.event = event;
    it->second.selected = mask;
    changed_.notify_all();
    return true;
}

bool ScriptedLink::FrontDue(const Conn& c, Clock::time_point now) const {
    return !c.inbox.empty() && now >= c.front_since + std::chrono::milliseconds(c.inbox.front().delay_ms);
}

void ScriptedLink::Record(Sock& s, std::uint32_t bit, int bit_index, int error) {
    // Only an armed event is recorded: a condition that stays true is reported once per
    // re-arming call.
    if (s.armed & bit) events_.Record(s, bit, bit_index, error);
}

void ScriptedLink::Detect(Sock& s, Clock::time_point now, Clock::time_point* next_due) {
    if (s.listening) {
        if (!incoming_.empty()) Record(s, kFdAccept, kFdAcceptBit, 0);
        return;
    }
    if (s.connect_pending) {
        if (!(s.selected & kFdConnect)) return;
        s.connect_pending = false;
        Record(s, kFdConnect, kFdConnectBit, s.connect_error);
        return;
    }
    if (s.conn < 0 || s.close_seen) return;
    const Conn& c = conns_[static_cast<std::size_t>(s.conn)];
    if (c.inbox.empty()) return;
    if (!FrontDue(c, now)) {
        *next_due = std::min(*next_due, c.front_since + std::chrono::milliseconds(c.inbox.front().delay_ms));
        return;
    }
    if (c.inbox.front().kind == Step::kClose) {
        if (s.selected & kFdClose) {
            s.close_seen = true;
            Record(s, kFdClose, kFdCloseBit, 0);
        }
    } else {
        Record(s, kFdRead, kFdReadBit, 0);
    }
}

bool ScriptedLink::WaitForEvent(LinkEvent event, int timeout_ms) {
    std::unique_lock lock(mutex_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
        if (!events_.Exists(event)) return false;
        const auto now = Clock::now();
        auto next_due = deadline;
        for (auto& [id, s] : socks_)
            if (s.event == event) Detect(s, now, &next_due);
        if (events_.IsSignalled(event)) return true;
        if (now >= deadline) return false;
        changed_.wait_until(lock, next_due);
    }
}

bool ScriptedLink::QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !out) return false;
    events_.Query(it->second, event, *out);
    return true;
}

int ScriptedLink::Send(LinkSocket s, const std::uint8_t* data, int length) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || it->second.conn < 0 || length < 0) return -1;
    Conn& c = conns_[static_cast<std::size_t>(it->second.conn)];
    std::string bytes(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    c.sent.push_back(bytes);
    if (c.responder) {
        const bool was_empty = c.inbox.empty();
        for (auto& step : c.responder(bytes)) c.inbox.push_back(std::move(step));
        if (was_empty) c.front_since = Clock::now();
        changed_.notify_all();
    }
    return length;
}

int ScriptedLink::Recv(LinkSocket s, std::uint8_t* data, int length) {
    std::lock_guard lock(mutex_);
    ++recv_calls_;
    auto it = socks_.find(s);
    if (it == socks_.end() || it->second.conn < 0 || length < 0) return -1;
    it->second.armed |= kFdRead;
    Conn& c = conns_[static_cast<std::size_t>(it->second.conn)];
    const auto now = Clock::now();
    if (!FrontDue(c, now)) return -1;  // nothing there yet: a non-blocking read fails
    Step& front = c.inbox.front();
    if (front.kind == Step::kClose) return 0;
    if (front.kind == Step::kFailRead) {
        c.inbox.pop_front();
        c.front_since = now;
        return -1;
    }
    const std::size_t n = std::min(front.bytes.size(), static_cast<std::size_t>(length));
    std::memcpy(data, front.bytes.data(), n);
    front.bytes.erase(0, n);
    if (front.bytes.empty()) {
        c.inbox.pop_front();
        c.front_since = now;
    } else {
        front.delay_ms = 0;
    }
    return static_cast<int>(n);
}

void ScriptedLink::Close(LinkSocket s) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return;
    if (it->second.conn >= 0) conns_[static_cast<std::size_t>(it->second.conn)].closed_by_session = true;
    socks_.erase(it);
    changed_.notify_all();
}

}  // namespace sorvanto
