#include "platform/irda_linux.h"

#include <cstring>
#include <vector>

#include "platform/link_api.h"

namespace sorvanto {

namespace {

using Calls = IrdaSocketCalls;

// Winsock's codes for the failures the table meets, and WSAGetLastError's per-thread value.
constexpr int kWsaEFault = 10014;
constexpr int kWsaEInvalidHandle = 6;
constexpr int kWsaENoProtoOpt = 10042;
constexpr int kWsaEAddrInUse = 10048;
constexpr int kWsaENetDown = 10050;
thread_local int t_last_error = 0;

// The Winsock device entry IrdaLink reads: address, name, two hint bytes, character set.
constexpr int kWinsockEntryAddress = 0;
constexpr int kWinsockEntryName = 4;
constexpr int kWinsockEntryHints = 26;
constexpr int kWinsockEntryCharset = 28;
// And Linux's: the remote device's address after the local one.
constexpr int kLinuxEntryAddress = 4;
constexpr int kLinuxEntryName = 8;
constexpr int kLinuxEntryCharset = 30;
constexpr int kLinuxEntryHints = 31;

int Fd(IrdaStack::Handle h) {
    return static_cast<int>(h);
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, 4);  // the kernel writes the count in the machine's order
    return v;
}

}  // namespace

IrdaLinux::IrdaLinux(std::unique_ptr<IrdaSocketCalls> calls) : calls_(std::move(calls)) {}

int IrdaLinux::MapDeviceList(const std::uint8_t* bytes, int length, std::uint8_t* out, int room) {
    if (!bytes || !out || length < Calls::kDeviceListHeader || room < 4) return -1;
    const std::uint32_t claimed = ReadU32(bytes);
    const std::uint32_t returned =
        static_cast<std::uint32_t>((length - Calls::kDeviceListHeader) / Calls::kDeviceInfoSize);
    const std::uint32_t fits = static_cast<std::uint32_t>((room - 4) / static_cast<int>(kDeviceEntrySize));
    std::uint32_t count = claimed < returned ? claimed : returned;
    if (count > fits) count = fits;
    if (count > static_cast<std::uint32_t>(kMaxDevices)) count = kMaxDevices;
    std::memset(out, 0, 4 + count * kDeviceEntrySize);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(count >> (8 * i));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* from = bytes + Calls::kDeviceListHeader + i * Calls::kDeviceInfoSize;
        std::uint8_t* to = out + 4 + i * kDeviceEntrySize;
        std::memcpy(to + kWinsockEntryAddress, from + kLinuxEntryAddress, 4);
        std::memcpy(to + kWinsockEntryName, from + kLinuxEntryName, kDeviceNameSize);
        std::memcpy(to + kWinsockEntryHints, from + kLinuxEntryHints, 2);
        to[kWinsockEntryCharset] = from[kLinuxEntryCharset];
    }
    return static_cast<int>(4 + count * kDeviceEntrySize);
}

int IrdaLinux::WinsockError(int errno_value) {
    switch (errno_value) {
        case 0:
            return 0;
        case Calls::kEAgain:
        case Calls::kEInProgress:
            return kWouldBlock;
        case Calls::kEAfNoSupport:
            return kAfNoSupport;
        case Calls::kEProtoNoSupport:
            return kProtoNoSupport;
        case Calls::kESockTNoSupport:
            return kSockTypeNoSupport;
        case Calls::kEConnRefused:
            return kLinkErrRefused;
        case Calls::kEConnReset:
            return kLinkErrReset;
        case Calls::kETimedOut:
            return kLinkErrTimedOut;
        case Calls::kEAddrInUse:
            return kWsaEAddrInUse;
        default:
            return kWsaENetDown;  // whatever else went wrong, the stack cannot be used
    }
}

int IrdaLinux::Fail(int winsock_error) {
    t_last_error = winsock_error;
    return kSocketError;
}

int IrdaLinux::FailFromErrno() {
    return Fail(WinsockError(calls_->Errno()));
}

bool IrdaLinux::LinuxAddress(const std::uint8_t* bytes, int length,
                             std::uint8_t out[Calls::kSockaddrIrdaSize]) {
    if (!bytes || length != kSockaddrIrdaSize) return false;
    std::memset(out, 0, Calls::kSockaddrIrdaSize);
    const std::uint16_t family = Calls::kAfIrda;
    std::memcpy(out, &family, 2);  // sa_family_t, in the machine's order
    out[2] = Calls::kLsapAny;      // the kernel finds the service's LSAP through IAS
    std::memcpy(out + Calls::kAddressOffset, bytes + 2, 4);
    // Winsock's 25-byte name field begins at byte 6 and ends with the address.
    std::memcpy(out + Calls::kNameOffset, bytes + 6, 24);
    return true;
}

int IrdaLinux::Startup(std::uint16_t) {
    return 0;
}  // Linux has no library to start
int IrdaLinux::Cleanup() {
    return 0;
}
int IrdaLinux::LastError() {
    return t_last_error;
}

IrdaStack::Handle IrdaLinux::CreateEvent() {
    std::lock_guard lock(mutex_);
    return static_cast<Handle>(events_.Create());
}

bool IrdaLinux::CloseEvent(Handle event) {
    std::lock_guard lock(mutex_);
    events_.Close(static_cast<LinkEvent>(event));
    return true;
}

IrdaStack::Handle IrdaLinux::Socket(int family, int type, int protocol) {
    if (family != kAfIrda) {
        Fail(kAfNoSupport);
        return kInvalid;
    }
    const int fd = calls_->Socket(Calls::kAfIrda, type == kSockStream ? Calls::kSockStream : type, protocol);
    if (fd < 0) {
        FailFromErrno();
        return kInvalid;
    }
    std::lock_guard lock(mutex_);
    socks_[fd] = Sock{};
    return static_cast<Handle>(fd);
}

int IrdaLinux::Bind(Handle s, const std::uint8_t* address, int length) {
    std::uint8_t a[Calls::kSockaddrIrdaSize];
    if (!LinuxAddress(address, length, a)) return Fail(kWsaEFault);
    return calls_->Bind(Fd(s), a, Calls::kSockaddrIrdaSize) == 0 ? 0 : FailFromErrno();
}

int IrdaLinux::Listen(Handle s, int backlog) {
    if (calls_->Listen(Fd(s), backlog) != 0) return FailFromErrno();
    std::lock_guard lock(mutex_);
    if (auto it = socks_.find(Fd(s)); it != socks_.end()) it->second.listening = true;
    return 0;
}

IrdaStack::Handle IrdaLinux::Accept(Handle s) {
    const int fd = calls_->Accept(Fd(s));
    const int error = fd < 0 ? calls_->Errno() : 0;
    std::lock_guard lock(mutex_);
    auto it = socks_.find(Fd(s));
    if (it != socks_.end()) it->second.armed |= kFdAccept;
    if (fd < 0) {
        Fail(WinsockError(error));
        return kInvalid;
    }
    // As in Winsock, the new socket takes the listening socket's events and non-blocking mode.
    Sock accepted;
    if (it != socks_.end()) {
        accepted.event = it->second.event;
        accepted.selected = it->second.selected;
        accepted.armed = kFdRead | kFdClose;
        if (it->second.nonblocking && calls_->SetNonBlocking(fd) == 0) accepted.nonblocking = true;
    }
    socks_[fd] = accepted;
    return static_cast<Handle>(fd);
}

int IrdaLinux::Connect(Handle s, const std::uint8_t* address, int length) {
    std::uint8_t a[Calls::kSockaddrIrdaSize];
    if (!LinuxAddress(address, length, a)) return Fail(kWsaEFault);
    const int r = calls_->Connect(Fd(s), a, Calls::kSockaddrIrdaSize);
    const int error = r == 0 ? 0 : calls_->Errno();
    if (r != 0 && error != Calls::kEInProgress) return Fail(WinsockError(error));
    {
        // Done at once or going on in the background: the end is reported by the connect event.
        std::lock_guard lock(mutex_);
        if (auto it = socks_.find(Fd(s)); it != socks_.end()) it->second.connecting = true;
    }
    return r == 0 ? 0 : Fail(kWouldBlock);
}

int IrdaLinux::GetSockOpt(Handle s, int level, int option, std::uint8_t* value, int* length) {
    if (!value || !length || *length < 0) return Fail(kWsaEFault);
    if (level != kSolIrlmp || option != kIrlmpEnumDevices) return Fail(kWsaENoProtoOpt);
    std::uint8_t raw[kDeviceRoom] = {};
    int n = kDeviceRoom;
    if (calls_->GetSockOpt(Fd(s), Calls::kSolIrlmp, Calls::kIrlmpEnumDevices, raw, &n) != 0) {
        // The kernel answers an empty discovery log with EAGAIN; Winsock with a count of 0.
        if (calls_->Errno() != Calls::kEAgain) return FailFromErrno();
        n = Calls::kDeviceListHeader;
        std::memset(raw, 0, 4);
    }
    if (n < 0 || n > kDeviceRoom) return Fail(kWsaEFault);
    const int m = MapDeviceList(raw, n, value, *length);
    if (m < 0) return Fail(kWsaEFault);
    *length = m;
    return 0;
}

int IrdaLinux::SetSockOpt(Handle s, int level, int option, const std::uint8_t* value, int length) {
    if (level != kSolSocket || (option != kSoSndTimeo && option != kSoRcvTimeo)) return Fail(kWsaENoProtoOpt);
    if (!value || length != 4) return Fail(kWsaEFault);
    // Winsock takes a DWORD of milliseconds (IrdaLink writes it little-endian); Linux a timeval.
    const std::uint32_t ms =
        static_cast<std::uint32_t>(value[0]) | (static_cast<std::uint32_t>(value[1]) << 8) |
        (static_cast<std::uint32_t>(value[2]) << 16) | (static_cast<std::uint32_t>(value[3]) << 24);
    const int linux_option = option == kSoSndTimeo ? Calls::kSoSndTimeo : Calls::kSoRcvTimeo;
    const int clamped = ms > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(ms);
    return calls_->SetTimeout(Fd(s), linux_option, clamped) == 0 ? 0 : FailFromErrno();
}

int IrdaLinux::EventSelect(Handle s, Handle event, std::int32_t mask) {
    std::lock_guard lock(mutex_);
    auto it = socks_.find(Fd(s));
    if (it == socks_.end() || !events_.Exists(static_cast<LinkEvent>(event))) return Fail(kWsaEInvalidHandle);
    Sock& k = it->second;
    // A new selection replaces the old one and forgets what was recorded for it.
    k.event = static_cast<LinkEvent>(event);
    k.selected = static_cast<std::uint32_t>(mask);
    k.recorded = 0;
    std::memset(k.errors, 0, sizeof k.errors);
    if (mask != 0 && !k.nonblocking) {
        if (calls_->SetNonBlocking(Fd(s)) != 0) return FailFromErrno();
        k.nonblocking = true;
    }
    return 0;
}

void IrdaLinux::Detect(int fd, Sock& s, short revents) {
    if (s.listening) {
        if (revents & Calls::kPollIn) events_.Record(s, kFdAccept, kFdAcceptBit, 0);
        return;
    }
    if (s.connecting) {
        if (!(revents & (Calls::kPollOut | Calls::kPollErr | Calls::kPollHup))) return;
        int error = 0;
        std::uint8_t value[4] = {};
        int n = 4;
        if (calls_->GetSockOpt(fd, Calls::kSolSocket, Calls::kSoError, value, &n) == 0 && n == 4)
            std::memcpy(&error, value, 4);
        else
            error = calls_->Errno();
        s.connecting = false;
        events_.Record(s, kFdConnect, kFdConnectBit, WinsockError(error));
        return;
    }
    if (s.close_seen) return;
    // Whether the readable socket holds data or the peer's end: a look at the next byte.
    std::uint8_t byte = 0;
    const int r = calls_->Recv(fd, &byte, 1, true);
    if (r > 0) {
        if (s.armed & kFdRead) events_.Record(s, kFdRead, kFdReadBit, 0);
        return;
    }
    const int error = r == 0 ? 0 : calls_->Errno();
    if (error == Calls::kEAgain) return;
    s.close_seen = true;
    if (s.armed & kFdClose) events_.Record(s, kFdClose, kFdCloseBit, WinsockError(error));
}

int IrdaLinux::WaitForEvent(Handle event, int timeout_ms) {
    const auto e = static_cast<LinkEvent>(event);
    std::vector<Calls::PollEntry> entries;
    {
        std::lock_guard lock(mutex_);
        if (!events_.Exists(e)) return Fail(kWsaEInvalidHandle);
        if (events_.IsSignalled(e)) return kWaitEvent0;
        for (const auto& [fd, s] : socks_) {
            if (s.event != e || s.selected == 0) continue;
            short want = 0;
            if (s.listening) {
                if (s.selected & s.armed & kFdAccept) want = Calls::kPollIn;
                if (!want) continue;
            } else if (s.connecting) {
                want = Calls::kPollOut;
            } else {
                if (s.close_seen) continue;
                if (s.selected & s.armed & kFdRead) want = Calls::kPollIn;
                // Without a read armed the socket is still watched for its end: hang-up and
                // error come whatever is asked for, and unread data does not end every wait.
                if (!want && !(s.selected & s.armed & kFdClose)) continue;
            }
            entries.push_back({fd, want, 0});
        }
    }
    // No lock while waiting: Stop closes the listening socket from another thread meanwhile.
    const int n = calls_->Poll(entries.data(), static_cast<int>(entries.size()), timeout_ms);
    std::lock_guard lock(mutex_);
    if (n > 0) {
        for (const Calls::PollEntry& p : entries) {
            if (p.revents == 0) continue;
            auto it = socks_.find(p.fd);
            if (it != socks_.end() && it->second.event == e) Detect(p.fd, it->second, p.revents);
        }
    }
    return events_.IsSignalled(e) ? kWaitEvent0 : kWaitTimeout;
}

int IrdaLinux::EnumNetworkEvents(Handle s, Handle event, std::int32_t* mask, std::int32_t errors[10]) {
    if (!mask || !errors) return Fail(kWsaEFault);
    std::lock_guard lock(mutex_);
    auto it = socks_.find(Fd(s));
    if (it == socks_.end()) return Fail(kWsaEInvalidHandle);
    NetworkEvents out;
    events_.Query(it->second, static_cast<LinkEvent>(event), out);
    *mask = static_cast<std::int32_t>(out.mask);
    std::memcpy(errors, out.error, sizeof out.error);
    return 0;
}

int IrdaLinux::Send(Handle s, const std::uint8_t* data, int length) {
    const int n = calls_->Send(Fd(s), data, length);
    return n < 0 ? FailFromErrno() : n;
}

int IrdaLinux::Recv(Handle s, std::uint8_t* data, int length) {
    const int n = calls_->Recv(Fd(s), data, length, false);
    const int error = n < 0 ? calls_->Errno() : 0;
    {
        std::lock_guard lock(mutex_);
        if (auto it = socks_.find(Fd(s)); it != socks_.end()) it->second.armed |= kFdRead;
    }
    return n < 0 ? Fail(WinsockError(error)) : n;
}

int IrdaLinux::Shutdown(Handle s, int how) {
    if (how != kSdBoth) return Fail(kWsaEFault);
    return calls_->Shutdown(Fd(s), Calls::kShutRdWr) == 0 ? 0 : FailFromErrno();
}

int IrdaLinux::CloseSocket(Handle s) {
    {
        std::lock_guard lock(mutex_);
        socks_.erase(Fd(s));
    }
    return calls_->Close(Fd(s)) == 0 ? 0 : FailFromErrno();
}

}  // namespace sorvanto
