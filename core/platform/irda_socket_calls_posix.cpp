#include "platform/irda_socket_calls.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <cerrno>

#include <cstring>
#include <vector>

namespace sorvanto {

namespace {

using Calls = IrdaSocketCalls;

#ifdef __linux__
// glibc still has the family; the IrDA constants themselves are the program's own.
static_assert(AF_IRDA == Calls::kAfIrda);
static_assert(SOL_SOCKET == Calls::kSolSocket && SO_ERROR == Calls::kSoError &&
              SO_RCVTIMEO == Calls::kSoRcvTimeo && SO_SNDTIMEO == Calls::kSoSndTimeo &&
              SHUT_RDWR == Calls::kShutRdWr && SOCK_STREAM == Calls::kSockStream);
static_assert(POLLIN == Calls::kPollIn && POLLOUT == Calls::kPollOut && POLLERR == Calls::kPollErr &&
              POLLHUP == Calls::kPollHup);
static_assert(EAGAIN == Calls::kEAgain && EINPROGRESS == Calls::kEInProgress &&
              EAFNOSUPPORT == Calls::kEAfNoSupport && EPROTONOSUPPORT == Calls::kEProtoNoSupport &&
              ESOCKTNOSUPPORT == Calls::kESockTNoSupport && ECONNREFUSED == Calls::kEConnRefused &&
              ECONNRESET == Calls::kEConnReset && ETIMEDOUT == Calls::kETimedOut &&
              EADDRINUSE == Calls::kEAddrInUse);
#endif

// EWOULDBLOCK is EAGAIN on Linux, not everywhere: one value for the table.
int SystemErrno() {
    return errno == EWOULDBLOCK ? Calls::kEAgain : errno;
}

class SystemCalls : public IrdaSocketCalls {
public:
    int Socket(int family, int type, int protocol) override {
        return Keep(::socket(family, type | SOCK_CLOEXEC, protocol));
    }
    int Bind(int fd, const std::uint8_t* address, int length) override {
        return Keep(::bind(fd, reinterpret_cast<const sockaddr*>(Aligned(address, length)),
                           static_cast<socklen_t>(length)));
    }
    int Listen(int fd, int backlog) override { return Keep(::listen(fd, backlog)); }
    int Accept(int fd) override { return Keep(::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC)); }
    int Connect(int fd, const std::uint8_t* address, int length) override {
        return Keep(::connect(fd, reinterpret_cast<const sockaddr*>(Aligned(address, length)),
                              static_cast<socklen_t>(length)));
    }
    int GetSockOpt(int fd, int level, int option, std::uint8_t* value, int* length) override {
        if (!value || !length || *length < 0) return Set(EFAULT);
        // The device list holds u32 fields: the kernel writes into aligned room.
        std::vector<std::uint32_t> room(static_cast<std::size_t>(*length) / 4 + 1);
        socklen_t n = static_cast<socklen_t>(*length);
        if (Keep(::getsockopt(fd, level, option, room.data(), &n)) != 0) return -1;
        if (n > static_cast<socklen_t>(*length)) n = static_cast<socklen_t>(*length);
        std::memcpy(value, room.data(), n);
        *length = static_cast<int>(n);
        return 0;
    }
    int SetTimeout(int fd, int option, int ms) override {
        timeval tv{};
        tv.tv_sec = ms / 1000;
        tv.tv_usec = (ms % 1000) * 1000;
        return Keep(::setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv));
    }
    int SetNonBlocking(int fd) override {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0) return Keep(flags);
        return Keep(::fcntl(fd, F_SETFL, flags | O_NONBLOCK));
    }
    int Poll(PollEntry* entries, int count, int timeout_ms) override {
        std::vector<pollfd> fds(static_cast<std::size_t>(count > 0 ? count : 0));
        for (int i = 0; i < count; ++i)
            fds[static_cast<std::size_t>(i)] = {entries[i].fd, entries[i].events, 0};
        const int r = ::poll(fds.data(), static_cast<nfds_t>(fds.size()), timeout_ms);
        if (r < 0) return errno == EINTR ? 0 : Keep(r);
        for (int i = 0; i < count; ++i) entries[i].revents = fds[static_cast<std::size_t>(i)].revents;
        return r;
    }
    int Send(int fd, const std::uint8_t* data, int length) override {
        return Keep(static_cast<int>(::send(fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL)));
    }
    int Recv(int fd, std::uint8_t* data, int length, bool peek) override {
        return Keep(
            static_cast<int>(::recv(fd, data, static_cast<std::size_t>(length), peek ? MSG_PEEK : 0)));
    }
    int Shutdown(int fd, int how) override { return Keep(::shutdown(fd, how)); }
    int Close(int fd) override { return Keep(::close(fd)); }
    int Errno() override { return last_; }

private:
    // The socket address is handed over as bytes; the call gets it in aligned storage.
    const void* Aligned(const std::uint8_t* bytes, int length) {
        std::memset(&address_, 0, sizeof address_);
        if (bytes && length > 0 && static_cast<std::size_t>(length) <= sizeof address_)
            std::memcpy(&address_, bytes, static_cast<std::size_t>(length));
        return &address_;
    }
    int Keep(int r) {
        if (r < 0) last_ = SystemErrno();
        return r;
    }
    int Set(int error) {
        last_ = error;
        return -1;
    }

    static thread_local int last_;
    static thread_local sockaddr_storage address_;
};

thread_local int SystemCalls::last_ = 0;
thread_local sockaddr_storage SystemCalls::address_;

}  // namespace

std::unique_ptr<IrdaSocketCalls> SystemIrdaSocketCalls() {
    return std::make_unique<SystemCalls>();
}

}  // namespace sorvanto
