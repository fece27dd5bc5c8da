#include "platform/tcp_link.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/net_socket.h"

namespace sorvanto {

namespace {

using Clock = std::chrono::steady_clock;

int MapError(net::Err err) {
    switch (err) {
    case net::Err::kNone: return 0;
    case net::Err::kRefused: return kLinkErrRefused;
    case net::Err::kTimedOut: return kLinkErrTimedOut;
    default: return kLinkErrReset;
    }
}

// A short connect to see whether a peer is there; the probe is closed at once.
bool Probe(std::uint32_t ip, int port, int timeout_ms) {
    const net::Fd fd = net::TcpSocket();
    if (fd < 0) return false;
    net::SetNonBlocking(fd);
    bool ok = false;
    const int r = net::Connect(fd, ip, port);
    if (r == 1) {
        ok = true;
    } else if (r == 0) {
        net::PollFd p{fd, net::kOut, 0};
        if (net::Poll(&p, 1, timeout_ms) == 1) ok = (p.revents & net::kOut) && net::PendingError(fd) == net::Err::kNone;
    }
    net::Close(fd);
    return ok;
}

}  // namespace

TcpLink::TcpLink(LinkSettings settings) : settings_(std::move(settings)) {}

bool TcpLink::Startup() { return net::Startup(); }

TcpLink::~TcpLink() {
    std::lock_guard lock(mutex_);
    for (auto& [fd, s] : socks_) net::Close(fd);
    socks_.clear();
}

LinkEvent TcpLink::CreateEvent() {
    std::lock_guard lock(mutex_);
    return events_.Create();
}

void TcpLink::CloseEvent(LinkEvent event) {
    std::lock_guard lock(mutex_);
    events_.Close(event);
    for (auto& [fd, s] : socks_)
        if (s.event == event) s.event = kNoEvent;
}

LinkSocket TcpLink::CreateSocket() {
    const net::Fd fd = net::TcpSocket();
    if (fd < 0) return kNoSocket;
    // Never blocking: events say when to read, and a send waits out a full buffer itself.
    net::SetNonBlocking(fd);
    std::lock_guard lock(mutex_);
    socks_[fd] = Sock{};
    return fd;
}

bool TcpLink::Bind(LinkSocket s) {
    {
        std::lock_guard lock(mutex_);
        if (!socks_.count(s)) return false;
    }
    std::uint32_t ip = 0;
    if (!net::ResolveIpv4(settings_.listen_address, &ip)) return false;
    net::SetReuseAddress(s);
    return net::Bind(s, ip, settings_.listen_port);
}

bool TcpLink::Listen(LinkSocket s, int backlog) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !net::Listen(s, backlog)) return false;
    it->second.listening = true;
    return true;
}

bool TcpLink::ReachableFromNetwork() const {
    std::uint32_t ip = 0;
    if (!net::ResolveIpv4(settings_.listen_address, &ip)) return true;
    // The address is in network order: its first byte in memory is the first number.
    std::uint8_t first = 0;
    std::memcpy(&first, &ip, 1);
    return first != 127;
}

std::string TcpLink::PeerAddress(LinkSocket s) const { return net::PeerAddress(s); }

int TcpLink::LocalPort(LinkSocket s) const { return net::LocalPort(s); }

LinkSocket TcpLink::Accept(LinkSocket s) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return kNoSocket;
    it->second.armed |= kFdAccept;
    const net::Fd fd = net::Accept(s, true);
    if (fd < 0) return kNoSocket;
    net::SetNoDelay(fd);
    socks_[fd] = Sock{};
    return fd;
}

bool TcpLink::Connect(LinkSocket s, const std::uint8_t address[4]) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return false;
    // Several peers may share an address (all on loopback); the session connects to the last
    // device of the list, so the last peer found with that address is the one meant.
    const Found* peer = nullptr;
    for (const auto& f : found_)
        if (std::memcmp(f.address, address, 4) == 0) peer = &f;
    Sock& sock = it->second;
    if (!peer) {
        events_.Record(sock, kFdConnect, kFdConnectBit, kLinkErrRefused);
        return false;
    }
    net::SetNonBlocking(s);
    net::SetNoDelay(s);
    if (net::Connect(s, peer->ip, peer->port) >= 0) {
        sock.connecting = true;  // completion (or failure) is seen as writability
        sock.armed |= kFdConnect;
        return true;
    }
    events_.Record(sock, kFdConnect, kFdConnectBit, MapError(net::LastError()));
    return false;
}

bool TcpLink::EnumerateDevices(LinkSocket s, DeviceList& list) {
    {
        std::lock_guard lock(mutex_);
        if (!socks_.count(s)) return false;
    }
    list.fill(0);
    std::vector<Found> found;
    for (const auto& peer : settings_.peers) {
        if (static_cast<int>(found.size()) >= kMaxDevices) break;
        std::uint32_t ip = 0;
        if (!net::ResolveIpv4(peer.host, &ip) || !Probe(ip, peer.port, kProbeTimeoutMs)) continue;
        Found f{};
        std::memcpy(f.address, &ip, 4);
        f.ip = ip;
        f.port = peer.port;
        AddDevice(list, f.address, peer.name);
        found.push_back(f);
    }
    std::lock_guard lock(mutex_);
    found_ = std::move(found);
    return true;
}

bool TcpLink::SetTimeouts(LinkSocket s, int send_ms, int /*recv_ms*/) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return false;
    // Reads never block here (events say when data is there); only sends wait.
    it->second.send_ms = send_ms > 0 ? send_ms : 5000;
    return true;
}

bool TcpLink::SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || (event != kNoEvent && !events_.Exists(event))) return false;
    it->second.event = event;
    it->second.selected = mask;
    net::SetNonBlocking(s);
    return true;
}

short TcpLink::WantedPollEvents(const Sock& s) const {
    short want = 0;
    if (s.listening) {
        if ((s.selected & kFdAccept) && (s.armed & kFdAccept)) want |= net::kIn;
        return want;
    }
    if (s.connecting) return (s.selected & kFdConnect) ? net::kOut : 0;
    if (s.closed) return 0;
    const bool read_selected = s.selected & kFdRead;
    if (read_selected && (s.armed & kFdRead)) want |= net::kIn;
    // Without read events a close is still seen; with them, only once the data is read.
    if (!read_selected && (s.selected & kFdClose)) want |= net::kIn;
    return want;
}

void TcpLink::Detect(int fd, Sock& s, short revents) {
    if (s.listening) {
        if (revents & net::kIn) events_.Record(s, kFdAccept, kFdAcceptBit, 0);
        return;
    }
    if (s.connecting) {
        const net::Err err = net::PendingError(fd);
        s.connecting = false;
        events_.Record(s, kFdConnect, kFdConnectBit, MapError(err));
        if (err != net::Err::kNone) s.closed = true;
        return;
    }
    if (!(revents & (net::kIn | net::kHup | net::kErr))) return;
    std::uint8_t byte;
    const long n = net::Recv(fd, &byte, 1, true);
    const net::Err err = n < 0 ? net::LastError() : net::Err::kNone;
    if (n > 0) {
        if (s.armed & kFdRead) events_.Record(s, kFdRead, kFdReadBit, 0);
    } else if (n == 0 || (err != net::Err::kWouldBlock && err != net::Err::kInterrupted)) {
        s.closed = true;
        events_.Record(s, kFdClose, kFdCloseBit, n == 0 ? 0 : kLinkErrReset);
    }
}

bool TcpLink::WaitForEvent(LinkEvent event, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
    for (;;) {
        std::vector<net::PollFd> fds;
        {
            std::lock_guard lock(mutex_);
            if (!events_.Exists(event)) return false;
            if (events_.IsSignalled(event)) return true;
            for (const auto& [fd, s] : socks_) {
                if (s.event != event) continue;
                const short want = WantedPollEvents(s);
                if (want) fds.push_back(net::PollFd{fd, want, 0});
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int wait_ms = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        if (fds.empty()) {
            // Nothing can fire: sleep in short steps, an event may be selected meanwhile.
            if (wait_ms == 0) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(wait_ms, 10)));
            continue;
        }
        const int n = net::Poll(fds.data(), fds.size(), wait_ms);
        if (n > 0) {
            std::lock_guard lock(mutex_);
            for (const auto& p : fds) {
                if (!p.revents) continue;
                auto it = socks_.find(p.fd);
                if (it == socks_.end() || it->second.event != event) continue;
                Detect(p.fd, it->second, p.revents);
            }
            if (events_.IsSignalled(event)) return true;
        }
        if (Clock::now() >= deadline) return false;
    }
}

bool TcpLink::QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !out) return false;
    events_.Query(it->second, event, *out);
    return true;
}

int TcpLink::Send(LinkSocket s, const std::uint8_t* data, int length) {
    int send_ms = 5000;
    {
        std::lock_guard lock(mutex_);
        auto it = socks_.find(s);
        if (it == socks_.end() || length < 0) return -1;
        send_ms = it->second.send_ms;
    }
    // One call for the caller; underneath, a full socket buffer is waited out up to the send
    // time-out so that a packet is never cut short.
    const auto deadline = Clock::now() + std::chrono::milliseconds(send_ms);
    int sent = 0;
    while (sent < length) {
        const long n = net::Send(s, data + sent, static_cast<std::size_t>(length - sent));
        const net::Err err = n < 0 ? net::LastError() : net::Err::kNone;
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n < 0 && err == net::Err::kInterrupted) continue;
        if (n < 0 && err == net::Err::kWouldBlock) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            net::PollFd p{s, net::kOut, 0};
            net::Poll(&p, 1, static_cast<int>(left));
            continue;
        }
        break;
    }
    return sent > 0 || length == 0 ? sent : -1;
}

int TcpLink::Recv(LinkSocket s, std::uint8_t* data, int length) {
    {
        std::lock_guard lock(mutex_);
        auto it = socks_.find(s);
        if (it == socks_.end() || length < 0) return -1;
        it->second.armed |= kFdRead;
    }
    for (;;) {
        const long n = net::Recv(s, data, static_cast<std::size_t>(length));
        if (n < 0 && net::LastError() == net::Err::kInterrupted) continue;
        return n < 0 ? -1 : static_cast<int>(n);
    }
}

void TcpLink::Shutdown(LinkSocket s) {
    std::lock_guard lock(mutex_);
    if (socks_.count(s)) net::ShutdownBoth(s);
}

void TcpLink::Close(LinkSocket s) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return;
    socks_.erase(it);
    net::Close(s);
}

}  // namespace sorvanto
