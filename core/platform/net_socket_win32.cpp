#include "platform/net_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <mutex>
#include <vector>

namespace sorvanto::net {

namespace {

// Winsock's SOCKET is a handle-sized number; the ones the system hands out are small, and the
// program keeps ints. A value that does not fit is refused rather than cut.
SOCKET S(Fd fd) { return static_cast<SOCKET>(static_cast<unsigned>(fd)); }
Fd FromSocket(SOCKET s) {
    if (s == INVALID_SOCKET) return kNone;
    if (s > static_cast<SOCKET>(INT_MAX)) {
        ::closesocket(s);
        return kNone;
    }
    return static_cast<Fd>(s);
}

sockaddr_in MakeAddr(std::uint32_t ip, int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = ip;
    sa.sin_port = htons(static_cast<u_short>(port));
    return sa;
}

Err FromWsa(int e) {
    switch (e) {
    case 0: return Err::kNone;
    case WSAEWOULDBLOCK: return Err::kWouldBlock;
    case WSAEINPROGRESS: return Err::kInProgress;
    case WSAEINTR: return Err::kInterrupted;
    case WSAECONNREFUSED: return Err::kRefused;
    case WSAETIMEDOUT: return Err::kTimedOut;
    default: return Err::kOther;
    }
}

}  // namespace

bool Startup() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        WSADATA data;
        ok = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ok;
}

Fd TcpSocket() {
    if (!Startup()) return kNone;
    // WSA_FLAG_NO_HANDLE_INHERIT keeps the socket out of programs the process starts.
    return FromSocket(::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                   WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT));
}

void Close(Fd fd) {
    if (fd >= 0) ::closesocket(S(fd));
}

void SetNonBlocking(Fd fd) {
    u_long one = 1;
    ::ioctlsocket(S(fd), FIONBIO, &one);
}

void SetNoDelay(Fd fd) {
    const BOOL one = TRUE;
    ::setsockopt(S(fd), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
}

void SetReuseAddress(Fd fd) {
    // Winsock's SO_REUSEADDR lets a second program take a port that is in use, which is not
    // what a listener wants; a closed listener's port is free again on Windows at once anyway.
    const BOOL one = TRUE;
    ::setsockopt(S(fd), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one), sizeof one);
}

void ShutdownBoth(Fd fd) { ::shutdown(S(fd), SD_BOTH); }

bool ResolveIpv4(const std::string& host, std::uint32_t* ip) {
    if (!Startup()) return false;
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
    return ::bind(S(fd), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool Listen(Fd fd, int backlog) { return ::listen(S(fd), backlog) == 0; }

int LocalPort(Fd fd) {
    sockaddr_in sa{};
    int len = sizeof sa;
    if (::getsockname(S(fd), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return -1;
    return ntohs(sa.sin_port);
}

std::string PeerAddress(Fd fd) {
    sockaddr_in sa{};
    int len = sizeof sa;
    if (::getpeername(S(fd), reinterpret_cast<sockaddr*>(&sa), &len) != 0 || sa.sin_family != AF_INET) return {};
    char host[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &sa.sin_addr, host, sizeof host)) return {};
    return std::string(host) + ":" + std::to_string(ntohs(sa.sin_port));
}

Fd Accept(Fd fd, bool non_blocking) {
    for (;;) {
        const SOCKET c = ::accept(S(fd), nullptr, nullptr);
        if (c == INVALID_SOCKET) {
            if (::WSAGetLastError() == WSAECONNRESET) continue;  // the peer gave up while waiting
            return kNone;
        }
        ::SetHandleInformation(reinterpret_cast<HANDLE>(c), HANDLE_FLAG_INHERIT, 0);
        // An accepted socket takes the listener's mode; make it the one asked for.
        u_long mode = non_blocking ? 1 : 0;
        ::ioctlsocket(c, FIONBIO, &mode);
        return FromSocket(c);
    }
}

int Connect(Fd fd, std::uint32_t ip, int port) {
    const sockaddr_in sa = MakeAddr(ip, port);
    if (::connect(S(fd), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return 1;
    const int e = ::WSAGetLastError();
    return (e == WSAEWOULDBLOCK || e == WSAEINPROGRESS) ? 0 : -1;
}

Err PendingError(Fd fd) {
    int err = 0;
    int len = sizeof err;
    if (::getsockopt(S(fd), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) != 0) err = ::WSAGetLastError();
    return FromWsa(err);
}

long Send(Fd fd, const void* data, std::size_t length) {
    const int n = ::send(S(fd), static_cast<const char*>(data), static_cast<int>(std::min<std::size_t>(length, INT_MAX)), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

long Recv(Fd fd, void* data, std::size_t length, bool peek) {
    const int n = ::recv(S(fd), static_cast<char*>(data), static_cast<int>(std::min<std::size_t>(length, INT_MAX)),
                         peek ? MSG_PEEK : 0);
    return n == SOCKET_ERROR ? -1 : n;
}

Err LastError() { return FromWsa(::WSAGetLastError()); }

std::string LastErrorText() {
    const int e = ::WSAGetLastError();
    char buf[256] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                     static_cast<DWORD>(e), 0, buf, sizeof buf, nullptr);
    std::string text(buf, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text.empty() ? "socket error " + std::to_string(e) : text;
}

// select() rather than WSAPoll: older WSAPoll never reports a refused connect, select() does
// (in the exception set).
int Poll(PollFd* fds, std::size_t count, int timeout_ms) {
    if (count > FD_SETSIZE) return -1;
    fd_set rd, wr, ex;
    FD_ZERO(&rd);
    FD_ZERO(&wr);
    FD_ZERO(&ex);
    for (std::size_t i = 0; i < count; ++i) {
        fds[i].revents = 0;
        if (fds[i].events & kIn) FD_SET(S(fds[i].fd), &rd);
        if (fds[i].events & kOut) {
            FD_SET(S(fds[i].fd), &wr);
            FD_SET(S(fds[i].fd), &ex);
        }
    }
    timeval tv{};
    tv.tv_sec = timeout_ms / 1000;
    tv.tv_usec = (timeout_ms % 1000) * 1000;
    if (count == 0) {
        if (timeout_ms > 0) ::Sleep(static_cast<DWORD>(timeout_ms));
        return 0;
    }
    const int n = ::select(0, &rd, &wr, &ex, timeout_ms < 0 ? nullptr : &tv);
    if (n <= 0) return n < 0 ? -1 : 0;
    int ready = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const SOCKET s = S(fds[i].fd);
        if (FD_ISSET(s, &rd)) fds[i].revents |= kIn;
        if (FD_ISSET(s, &wr)) fds[i].revents |= kOut;
        if (FD_ISSET(s, &ex)) fds[i].revents |= kErr;
        if (fds[i].revents) ++ready;
    }
    return ready;
}

}  // namespace sorvanto::net
