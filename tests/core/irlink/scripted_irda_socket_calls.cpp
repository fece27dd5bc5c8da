#include "scripted_irda_socket_calls.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace sorvanto::test {

namespace {
thread_local int t_errno = 0;
constexpr std::uint32_t kAllEvents = kFdRead | kFdAccept | kFdConnect | kFdClose;
constexpr int kEBadF = 9;
constexpr int kEFault = 14;
constexpr int kEMFile = 24;
constexpr int kENotConn = 107;

std::string AsBytes(const std::uint8_t* p, int n) {
    return p && n > 0 ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
                      : std::string();
}
}  // namespace

ScriptedIrdaSocketCalls::ScriptedIrdaSocketCalls() {
    event_ = far_.CreateEvent();
}

int ScriptedIrdaSocketCalls::Fail(int errno_value) {
    t_errno = errno_value;
    return -1;
}

int ScriptedIrdaSocketCalls::Errno() {
    return t_errno;
}

void ScriptedIrdaSocketCalls::Record(std::string name, std::vector<int> args, std::string bytes) {
    std::lock_guard lock(mutex_);
    calls_.push_back({std::move(name), std::move(args), std::move(bytes)});
}

std::vector<ScriptedIrdaSocketCalls::Call> ScriptedIrdaSocketCalls::Calls(const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::vector<Call> out;
    for (const auto& c : calls_)
        if (c.name == name) out.push_back(c);
    return out;
}

int ScriptedIrdaSocketCalls::OpenSockets() const {
    std::lock_guard lock(mutex_);
    return open_sockets_;
}

int ScriptedIrdaSocketCalls::WaitedMs() const {
    std::lock_guard lock(mutex_);
    return waited_ms_;
}

int ScriptedIrdaSocketCalls::WouldBlockReads() const {
    std::lock_guard lock(mutex_);
    return would_block_reads_;
}

int ScriptedIrdaSocketCalls::Socket(int family, int type, int protocol) {
    Record("socket", {family, type, protocol});
    if (fail_socket_ != 0) return Fail(fail_socket_);
    const LinkSocket s = far_.CreateSocket();
    if (s == kNoSocket) return Fail(kEMFile);
    far_.SelectEvents(s, event_, kAllEvents);
    std::lock_guard lock(mutex_);
    fds_[s] = Fd{};
    ++open_sockets_;
    return s;
}

int ScriptedIrdaSocketCalls::Bind(int fd, const std::uint8_t* address, int length) {
    Record("bind", {length}, AsBytes(address, length));
    if (fail_bind_ != 0) return Fail(fail_bind_);
    return far_.Bind(fd) ? 0 : Fail(kEBadF);
}

int ScriptedIrdaSocketCalls::Listen(int fd, int backlog) {
    Record("listen", {backlog});
    if (!far_.Listen(fd, backlog)) return Fail(kEBadF);
    std::lock_guard lock(mutex_);
    fds_[fd].listening = true;
    return 0;
}

int ScriptedIrdaSocketCalls::Accept(int fd) {
    const LinkSocket d = far_.Accept(fd);
    std::lock_guard lock(mutex_);
    fds_[fd].acceptable = false;  // the far end reports the next one anew
    if (d == kNoSocket) return Fail(kEAgain);
    far_.SelectEvents(d, event_, kAllEvents);
    Fd f;
    f.connected = true;
    fds_[d] = f;
    ++open_sockets_;
    return d;
}

int ScriptedIrdaSocketCalls::Connect(int fd, const std::uint8_t* address, int length) {
    Record("connect", {length}, AsBytes(address, length));
    if (!address || length != kSockaddrIrdaSize || !far_.Connect(fd, address + kAddressOffset))
        return Fail(kEFault);
    std::lock_guard lock(mutex_);
    fds_[fd].connecting = true;
    return Fail(kEInProgress);
}

int ScriptedIrdaSocketCalls::GetSockOpt(int fd, int level, int option, std::uint8_t* value, int* length) {
    if (!value || !length) return Fail(kEFault);
    if (level == kSolSocket && option == kSoError) {
        std::lock_guard lock(mutex_);
        int error = fds_[fd].so_error;
        fds_[fd].so_error = 0;
        *length = std::min(*length, 4);
        std::memcpy(value, &error, static_cast<std::size_t>(*length));
        return 0;
    }
    Record("getsockopt", {level, option, *length});
    if (level != kSolIrlmp || option != kIrlmpEnumDevices) return Fail(kEFault);
    std::string bytes = raw_devices_;
    if (!raw_set_) {
        DeviceList list{};
        if (!far_.EnumerateDevices(fd, list)) return Fail(kEBadF);
        const int n = DeviceCount(list);
        if (n == 0) return Fail(kEAgain);  // the kernel's answer to an empty discovery log
        const auto count = static_cast<std::uint32_t>(n);
        bytes.assign(reinterpret_cast<const char*>(&count), 4);
        for (int i = 0; i < n; ++i) {
            std::string entry(kDeviceInfoSize, '\0');
            const std::uint8_t local[4] = {0x0A, 0x0B, 0x0C, 0x0D};
            std::uint8_t address[4];
            DeviceAddress(list, i, address);
            const std::string name = DeviceName(list, i);
            std::memcpy(entry.data(), local, 4);
            std::memcpy(entry.data() + 4, address, 4);
            std::memcpy(entry.data() + 8, name.data(), std::min<std::size_t>(name.size(), kDeviceNameSize));
            entry[30] = 0;                        // ASCII
            entry[31] = static_cast<char>(0x82);  // hints: a palmtop (more bytes follow), OBEX
            entry[32] = static_cast<char>(0x20);
            bytes += entry;
        }
    }
    // The kernel cuts the list to the room it was given and keeps the full count.
    const int n = std::min(*length, static_cast<int>(bytes.size()));
    std::memcpy(value, bytes.data(), static_cast<std::size_t>(n));
    *length = n;
    return 0;
}

int ScriptedIrdaSocketCalls::SetTimeout(int fd, int option, int ms) {
    Record("settimeout", {option, ms});
    return far_.SetTimeouts(fd, ms, ms) ? 0 : Fail(kEBadF);
}

int ScriptedIrdaSocketCalls::SetNonBlocking(int fd) {
    Record("nonblocking", {fd});
    return 0;
}

void ScriptedIrdaSocketCalls::Drain() {
    for (auto& [fd, f] : fds_) {
        NetworkEvents ne;
        if (!far_.QueryEvents(fd, event_, &ne)) continue;
        if (ne.mask & kFdAccept) f.acceptable = true;
        if ((ne.mask & kFdConnect) && f.connecting) {
            f.connecting = false;
            const int error = ne.error[kFdConnectBit];
            f.connected = error == 0;
            f.so_error = error == kLinkErrRefused ? kEConnRefused : error != 0 ? kETimedOut : 0;
        }
        if (ne.mask & kFdClose) f.peer_closed = true;
    }
}

short ScriptedIrdaSocketCalls::Levels(Fd& f) {
    if (f.listening) return f.acceptable ? kPollIn : 0;
    if (f.connecting) return 0;
    if (!f.connected) return f.so_error != 0 ? static_cast<short>(kPollOut | kPollErr | kPollHup) : 0;
    // What the far end has delivered by now, taken into this side's buffer.
    return static_cast<short>(kPollOut | (!f.pending.empty() || f.peer_closed ? kPollIn : 0) |
                              (f.peer_closed && f.pending.empty() ? kPollHup : 0) |
                              (f.peer_closed && f.pending.empty() && close_errno_ != 0 ? kPollErr : 0));
}

int ScriptedIrdaSocketCalls::Poll(PollEntry* entries, int count, int timeout_ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
        int ready = 0;
        {
            std::lock_guard lock(mutex_);
            Drain();
            for (int i = 0; i < count; ++i) {
                auto it = fds_.find(entries[i].fd);
                if (it == fds_.end()) {
                    entries[i].revents = 0;
                    continue;
                }
                Fd& f = it->second;
                if (f.connected && f.pending.empty() && !f.peer_closed) {
                    std::uint8_t buf[4096];
                    const int n = far_.Recv(entries[i].fd, buf, sizeof buf);
                    if (n > 0)
                        f.pending.assign(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
                    if (n == 0) f.peer_closed = true;
                }
                // Hang-up and error are reported whatever was asked for, as the kernel does.
                entries[i].revents =
                    static_cast<short>(Levels(f) & (entries[i].events | kPollErr | kPollHup));
                ready += entries[i].revents != 0;
            }
            if (ready > 0 || timeout_ms == 0) return ready;
            if (fast_waits_) {
                waited_ms_ += timeout_ms;
                return 0;
            }
        }
        const auto now = Clock::now();
        if (now >= deadline) return 0;
        far_.WaitForEvent(
            event_,
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()) +
                1);
    }
}

int ScriptedIrdaSocketCalls::Send(int fd, const std::uint8_t* data, int length) {
    const int n = far_.Send(fd, data, length);
    return n < 0 ? Fail(kENotConn) : n;
}

int ScriptedIrdaSocketCalls::Recv(int fd, std::uint8_t* data, int length, bool peek) {
    std::lock_guard lock(mutex_);
    auto it = fds_.find(fd);
    if (it == fds_.end() || length < 0) return Fail(kEBadF);
    Fd& f = it->second;
    if (f.pending.empty() && !f.peer_closed) {
        std::uint8_t buf[4096];
        const int n = far_.Recv(fd, buf, sizeof buf);
        if (n > 0) f.pending.assign(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
        if (n == 0) f.peer_closed = true;
    }
    if (!f.pending.empty()) {
        const std::size_t n = std::min(f.pending.size(), static_cast<std::size_t>(length));
        std::memcpy(data, f.pending.data(), n);
        if (!peek) f.pending.erase(0, n);
        return static_cast<int>(n);
    }
    if (f.peer_closed) return close_errno_ != 0 ? Fail(close_errno_) : 0;
    if (!peek) ++would_block_reads_;
    return Fail(kEAgain);
}

int ScriptedIrdaSocketCalls::Shutdown(int fd, int how) {
    Record("shutdown", {fd, how});
    far_.Shutdown(fd);
    return 0;
}

int ScriptedIrdaSocketCalls::Close(int fd) {
    far_.Close(fd);
    std::lock_guard lock(mutex_);
    if (fds_.erase(fd) == 0) return Fail(kEBadF);
    --open_sockets_;
    return 0;
}

}  // namespace sorvanto::test
