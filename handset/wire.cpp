#include "wire.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace handset {

bool ParseEndpoint(const std::string& text, Endpoint* out) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string port = text.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return false;
    const int p = std::stoi(port);
    if (p > 65535) return false;
    out->host = colon == 0 ? "127.0.0.1" : text.substr(0, colon);
    out->port = p;
    return true;
}

static bool Resolve(const Endpoint& e, sockaddr_in* sa, std::string* error) {
    std::memset(sa, 0, sizeof *sa);
    sa->sin_family = AF_INET;
    sa->sin_port = htons(static_cast<std::uint16_t>(e.port));
    if (::inet_pton(AF_INET, e.host.c_str(), &sa->sin_addr) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (::getaddrinfo(e.host.c_str(), nullptr, &hints, &res) != 0 || !res) {
        if (error) *error = "unknown host " + e.host;
        return false;
    }
    sa->sin_addr = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr;
    ::freeaddrinfo(res);
    return true;
}

int ConnectTo(const Endpoint& to, std::string* error) {
    sockaddr_in sa;
    if (!Resolve(to, &sa, error)) return -1;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        if (error) *error = "cannot connect to " + to.host + ":" + std::to_string(to.port) + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

int ListenOn(const Endpoint& at, std::string* error) {
    sockaddr_in sa;
    if (!Resolve(at, &sa, error)) return -1;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd >= 0) ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 4) != 0) {
        if (error) *error = "cannot listen on " + at.host + ":" + std::to_string(at.port) + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

int AcceptOne(int listener) {
    for (;;) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return fd;
        }
        if (errno != EINTR && errno != ECONNABORTED) return -1;
    }
}

void CloseSocket(int fd) {
    if (fd >= 0) ::close(fd);
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// 1 read, 0 closed, -1 failure or time-out.
static int ReadExactly(int fd, char* into, std::size_t n, int timeout_ms) {
    std::size_t got = 0;
    while (got < n) {
        if (timeout_ms >= 0) {
            pollfd p{fd, POLLIN, 0};
            const int r = ::poll(&p, 1, timeout_ms);
            if (r == 0) return -1;
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return -1;
        }
        const ssize_t k = ::recv(fd, into + got, n - got, 0);
        if (k < 0 && errno == EINTR) continue;
        if (k == 0) return got == 0 ? 0 : -1;
        if (k < 0) return -1;
        got += static_cast<std::size_t>(k);
    }
    return 1;
}

int ReadPacket(int fd, int timeout_ms, std::string* packet) {
    char head[3];
    const int r = ReadExactly(fd, head, 3, timeout_ms);
    if (r <= 0) return r;
    const int length = (static_cast<std::uint8_t>(head[1]) << 8) | static_cast<std::uint8_t>(head[2]);
    if (length < 3) return -1;
    packet->assign(head, 3);
    packet->resize(static_cast<std::size_t>(length));
    if (length > 3 && ReadExactly(fd, packet->data() + 3, static_cast<std::size_t>(length - 3), timeout_ms) != 1) return -1;
    return 1;
}

int PacketLength(const std::string& p) {
    return p.size() < 3 ? 0 : (static_cast<std::uint8_t>(p[1]) << 8) | static_cast<std::uint8_t>(p[2]);
}

std::string U16(int v) { return std::string{static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

std::string Hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
    return buf;
}

}  // namespace handset
