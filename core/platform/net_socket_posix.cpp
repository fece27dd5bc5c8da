#include "platform/net_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace sorvanto::net {

namespace {

sockaddr_in MakeAddr(std::uint32_t ip, int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = ip;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    return sa;
}

Err FromErrno(int e) {
    switch (e) {
    case 0: return Err::kNone;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return Err::kWouldBlock;
    case EINPROGRESS: return Err::kInProgress;
    case EINTR: return Err::kInterrupted;
    case ECONNREFUSED: return Err::kRefused;
    case ETIMEDOUT: return Err::kTimedOut;
    default: return Err::kOther;
    }
}

}  // namespace

bool Startup() { return true; }

Fd TcpSocket() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }

void Close(Fd fd) {
    if (fd >= 0) ::close(fd);
}

void SetNonBlocking(Fd fd) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

void SetNoDelay(Fd fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void SetReuseAddress(Fd fd) {
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
}

void ShutdownBoth(Fd fd) { ::shutdown(fd, SHUT_RDWR); }

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

bool Bind(Fd fd, std::uint32_t ip, int port) {
    const sockaddr_in sa = MakeAddr(ip, port);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool Listen(Fd fd, int backlog) { return ::listen(fd, backlog) == 0; }

int LocalPort(Fd fd) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return -1;
    return ntohs(sa.sin_port);
}

std::string PeerAddress(Fd fd) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0 || sa.sin_family != AF_INET) return {};
    char host[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &sa.sin_addr, host, sizeof host)) return {};
    return std::string(host) + ":" + std::to_string(ntohs(sa.sin_port));
}

Fd Accept(Fd fd, bool non_blocking) {
    for (;;) {
        const int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | (non_blocking ? SOCK_NONBLOCK : 0));
        if (c >= 0 || (errno != EINTR && errno != ECONNABORTED)) return c;
    }
}

int Connect(Fd fd, std::uint32_t ip, int port) {
    const sockaddr_in sa = MakeAddr(ip, port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return 1;
    return errno == EINPROGRESS ? 0 : -1;
}

Err PendingError(Fd fd) {
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    return FromErrno(err);
}

long Send(Fd fd, const void* data, std::size_t length) {
    for (;;) {
        const ssize_t n = ::send(fd, data, length, MSG_NOSIGNAL);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
}

long Recv(Fd fd, void* data, std::size_t length, bool peek) {
    for (;;) {
        const ssize_t n = ::recv(fd, data, length, peek ? MSG_PEEK : 0);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
}

Err LastError() { return FromErrno(errno); }
std::string LastErrorText() { return std::strerror(errno); }

int Poll(PollFd* fds, std::size_t count, int timeout_ms) {
    std::vector<pollfd> p(count);
    for (std::size_t i = 0; i < count; ++i) {
        p[i].fd = fds[i].fd;
        p[i].events = static_cast<short>(((fds[i].events & kIn) ? POLLIN : 0) | ((fds[i].events & kOut) ? POLLOUT : 0));
    }
    int n = 0;
    do {
        n = ::poll(p.data(), p.size(), timeout_ms);
    } while (n < 0 && errno == EINTR);
    for (std::size_t i = 0; i < count; ++i) {
        const short r = p[i].revents;
        fds[i].revents = static_cast<short>(((r & POLLIN) ? kIn : 0) | ((r & POLLOUT) ? kOut : 0) |
                                            ((r & POLLERR) ? kErr : 0) | ((r & POLLHUP) ? kHup : 0));
    }
    return n;
}

}  // namespace sorvanto::net
