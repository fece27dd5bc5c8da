#include "wire.h"

#include <cstdint>
#include <cstdio>

#include "platform/net_socket.h"

namespace handset {

namespace net = sorvanto::net;

namespace {

class TcpStream : public Stream {
public:
    explicit TcpStream(net::Fd fd) : fd_(fd) {}
    ~TcpStream() override { net::Close(fd_); }

    bool Write(const std::string& bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const long n = net::Send(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    int Read(char* into, std::size_t n, int timeout_ms) override {
        if (timeout_ms >= 0) {
            net::PollFd p{fd_, net::kIn, 0};
            if (net::Poll(&p, 1, timeout_ms) <= 0) return -1;
        }
        const long k = net::Recv(fd_, into, n);
        return k < 0 ? -1 : static_cast<int>(k);
    }

private:
    net::Fd fd_;
};

}  // namespace

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

std::unique_ptr<Stream> ConnectTo(const Endpoint& to, std::string* error) {
    std::uint32_t ip = 0;
    if (!net::ResolveIpv4(to.host, &ip)) {
        if (error) *error = "unknown host " + to.host;
        return nullptr;
    }
    const net::Fd fd = net::TcpSocket();
    if (fd < 0 || net::Connect(fd, ip, to.port) != 1) {
        if (error) *error = "cannot connect to " + to.host + ":" + std::to_string(to.port) + ": " + net::LastErrorText();
        net::Close(fd);
        return nullptr;
    }
    net::SetNoDelay(fd);
    return std::make_unique<TcpStream>(fd);
}

int ListenOn(const Endpoint& at, std::string* error) {
    std::uint32_t ip = 0;
    if (!net::ResolveIpv4(at.host, &ip)) {
        if (error) *error = "unknown host " + at.host;
        return -1;
    }
    const net::Fd fd = net::TcpSocket();
    if (fd >= 0) net::SetReuseAddress(fd);
    if (fd < 0 || !net::Bind(fd, ip, at.port) || !net::Listen(fd, 4)) {
        if (error) *error = "cannot listen on " + at.host + ":" + std::to_string(at.port) + ": " + net::LastErrorText();
        net::Close(fd);
        return -1;
    }
    return fd;
}

std::unique_ptr<Stream> AcceptOne(int listener) {
    const net::Fd fd = net::Accept(listener, false);
    if (fd < 0) return nullptr;
    net::SetNoDelay(fd);
    return std::make_unique<TcpStream>(fd);
}

void CloseSocket(int fd) { net::Close(fd); }

bool WriteAll(Stream& stream, const std::string& bytes) { return stream.Write(bytes); }

// 1 read, 0 closed, -1 failure or time-out.
static int ReadExactly(Stream& stream, char* into, std::size_t n, int timeout_ms) {
    std::size_t got = 0;
    while (got < n) {
        const int k = stream.Read(into + got, n - got, timeout_ms);
        if (k == 0) return got == 0 ? 0 : -1;
        if (k < 0) return -1;
        got += static_cast<std::size_t>(k);
    }
    return 1;
}

int ReadPacket(Stream& stream, int timeout_ms, std::string* packet) {
    char head[3];
    const int r = ReadExactly(stream, head, 3, timeout_ms);
    if (r <= 0) return r;
    const int length = (static_cast<std::uint8_t>(head[1]) << 8) | static_cast<std::uint8_t>(head[2]);
    if (length < 3) return -1;
    packet->assign(head, 3);
    packet->resize(static_cast<std::size_t>(length));
    if (length > 3 && ReadExactly(stream, packet->data() + 3, static_cast<std::size_t>(length - 3), timeout_ms) != 1)
        return -1;
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
