#include "platform/tcp_link.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace sorvanto {

namespace {

using Clock = std::chrono::steady_clock;

void SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

int MapError(int err) {
    switch (err) {
    case 0: return 0;
    case ECONNREFUSED: return kLinkErrRefused;
    case ETIMEDOUT: return kLinkErrTimedOut;
    default: return kLinkErrReset;
    }
}

// IPv4 address of a host, in network order; false when it has none.
bool ResolveIpv4(const std::string& host, std::uint32_t* ip) {
    in_addr a{};
    if (::inet_pton(AF_INET, host.c_str(), &a) == 1) {
        *ip = a.s_addr;
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res) return false;
    *ip = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(res);
    return true;
}

sockaddr_in MakeAddr(std::uint32_t ip, int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = ip;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    return sa;
}

// A short connect to see whether a peer is there; the probe is closed at once.
bool Probe(std::uint32_t ip, int port, int timeout_ms) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    const sockaddr_in sa = MakeAddr(ip, port);
    bool ok = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
        ok = true;
    } else if (errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, timeout_ms) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
    }
    ::close(fd);
    return ok;
}

}  // namespace

TcpLink::TcpLink(LinkSettings settings) : settings_(std::move(settings)) {}

TcpLink::~TcpLink() {
    std::lock_guard lock(mutex_);
    for (auto& [fd, s] : socks_) ::close(fd);
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
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return kNoSocket;
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
    if (!ResolveIpv4(settings_.listen_address, &ip)) return false;
    const int one = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const sockaddr_in sa = MakeAddr(ip, settings_.listen_port);
    return ::bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool TcpLink::Listen(LinkSocket s, int backlog) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || ::listen(s, backlog) != 0) return false;
    it->second.listening = true;
    return true;
}

bool TcpLink::ReachableFromNetwork() const {
    std::uint32_t ip = 0;
    if (!ResolveIpv4(settings_.listen_address, &ip)) return true;
    return (ntohl(ip) >> 24) != 127;
}

std::string TcpLink::PeerAddress(LinkSocket s) const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getpeername(s, reinterpret_cast<sockaddr*>(&sa), &len) != 0 || sa.sin_family != AF_INET) return {};
    char host[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &sa.sin_addr, host, sizeof host)) return {};
    return std::string(host) + ":" + std::to_string(ntohs(sa.sin_port));
}

int TcpLink::LocalPort(LinkSocket s) const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return -1;
    return ntohs(sa.sin_port);
}

LinkSocket TcpLink::Accept(LinkSocket s) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return kNoSocket;
    it->second.armed |= kFdAccept;
    const int fd = ::accept4(s, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return kNoSocket;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
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
    SetNonBlocking(s);
    const int one = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const sockaddr_in sa = MakeAddr(peer->ip, peer->port);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 || errno == EINPROGRESS) {
        sock.connecting = true;  // completion (or failure) is seen as writability
        sock.armed |= kFdConnect;
        return true;
    }
    events_.Record(sock, kFdConnect, kFdConnectBit, MapError(errno));
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
        if (!ResolveIpv4(peer.host, &ip) || !Probe(ip, peer.port, kProbeTimeoutMs)) continue;
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
    SetNonBlocking(s);
    return true;
}

short TcpLink::WantedPollEvents(const Sock& s) const {
    short want = 0;
    if (s.listening) {
        if ((s.selected & kFdAccept) && (s.armed & kFdAccept)) want |= POLLIN;
        return want;
    }
    if (s.connecting) return (s.selected & kFdConnect) ? POLLOUT : 0;
    if (s.closed) return 0;
    const bool read_selected = s.selected & kFdRead;
    if (read_selected && (s.armed & kFdRead)) want |= POLLIN;
    // Without read events a close is still seen; with them, only once the data is read.
    if (!read_selected && (s.selected & kFdClose)) want |= POLLIN;
    return want;
}

void TcpLink::Detect(int fd, Sock& s, short revents) {
    if (s.listening) {
        if (revents & POLLIN) events_.Record(s, kFdAccept, kFdAcceptBit, 0);
        return;
    }
    if (s.connecting) {
        int err = 0;
        socklen_t len = sizeof err;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        s.connecting = false;
        events_.Record(s, kFdConnect, kFdConnectBit, MapError(err));
        if (err != 0) s.closed = true;
        return;
    }
    if (!(revents & (POLLIN | POLLHUP | POLLERR))) return;
    std::uint8_t byte;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        if (s.armed & kFdRead) events_.Record(s, kFdRead, kFdReadBit, 0);
    } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        s.closed = true;
        events_.Record(s, kFdClose, kFdCloseBit, n == 0 ? 0 : kLinkErrReset);
    }
}

bool TcpLink::WaitForEvent(LinkEvent event, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
    for (;;) {
        std::vector<pollfd> fds;
        {
            std::lock_guard lock(mutex_);
            if (!events_.Exists(event)) return false;
            if (events_.IsSignalled(event)) return true;
            for (const auto& [fd, s] : socks_) {
                if (s.event != event) continue;
                const short want = WantedPollEvents(s);
                if (want) fds.push_back(pollfd{fd, want, 0});
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
        const int n = ::poll(fds.data(), fds.size(), wait_ms);
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
        const ssize_t n = ::send(s, data + sent, static_cast<std::size_t>(length - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            pollfd p{s, POLLOUT, 0};
            ::poll(&p, 1, static_cast<int>(left));
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
        const ssize_t n = ::recv(s, data, static_cast<std::size_t>(length), MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? -1 : static_cast<int>(n);
    }
}

void TcpLink::Shutdown(LinkSocket s) {
    std::lock_guard lock(mutex_);
    if (socks_.count(s)) ::shutdown(s, SHUT_RDWR);
}

void TcpLink::Close(LinkSocket s) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return;
    socks_.erase(it);
    ::close(s);
}

}  // namespace sorvanto
