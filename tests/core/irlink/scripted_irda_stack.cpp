#include "scripted_irda_stack.h"

#include <algorithm>
#include <cstring>

namespace sorvanto::test {

namespace {
LinkSocket Id(IrdaStack::Handle h) {
    return static_cast<LinkSocket>(h);
}
std::string AsBytes(const std::uint8_t* p, int n) {
    return p && n > 0 ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
                      : std::string();
}
}  // namespace

void ScriptedIrdaStack::Record(std::string name, std::vector<int> args, std::string bytes) {
    std::lock_guard lock(mutex_);
    calls_.push_back({std::move(name), std::move(args), std::move(bytes)});
}

int ScriptedIrdaStack::Fail(int error) {
    std::lock_guard lock(mutex_);
    last_error_ = error;
    return kSocketError;
}

std::vector<ScriptedIrdaStack::Call> ScriptedIrdaStack::Calls(const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::vector<Call> out;
    for (const auto& c : calls_)
        if (c.name == name) out.push_back(c);
    return out;
}

int ScriptedIrdaStack::WaitedMs() const {
    std::lock_guard lock(mutex_);
    return waited_ms_;
}

int ScriptedIrdaStack::WouldBlockReads() const {
    std::lock_guard lock(mutex_);
    return would_block_reads_;
}

int ScriptedIrdaStack::OpenSockets() const {
    std::lock_guard lock(mutex_);
    return open_sockets_;
}

int ScriptedIrdaStack::Startup(std::uint16_t version) {
    Record("startup", {version});
    return 0;
}

int ScriptedIrdaStack::Cleanup() {
    return 0;
}

int ScriptedIrdaStack::LastError() {
    std::lock_guard lock(mutex_);
    return last_error_;
}

IrdaStack::Handle ScriptedIrdaStack::CreateEvent() {
    const LinkEvent e = far_.CreateEvent();
    return e == kNoEvent ? kInvalid : static_cast<Handle>(e);
}

bool ScriptedIrdaStack::CloseEvent(Handle event) {
    far_.CloseEvent(static_cast<LinkEvent>(event));
    return true;
}

IrdaStack::Handle ScriptedIrdaStack::Socket(int family, int type, int protocol) {
    Record("socket", {family, type, protocol});
    if (fail_socket_ != 0) {
        Fail(fail_socket_);
        return kInvalid;
    }
    const LinkSocket s = far_.CreateSocket();
    if (s == kNoSocket) return kInvalid;
    std::lock_guard lock(mutex_);
    ++open_sockets_;
    return static_cast<Handle>(s);
}

int ScriptedIrdaStack::Bind(Handle s, const std::uint8_t* address, int length) {
    Record("bind", {length}, AsBytes(address, length));
    if (fail_bind_ != 0) return Fail(fail_bind_);
    return far_.Bind(Id(s)) ? 0 : Fail(10038);
}

int ScriptedIrdaStack::Listen(Handle s, int backlog) {
    Record("listen", {backlog});
    return far_.Listen(Id(s), backlog) ? 0 : Fail(10038);
}

IrdaStack::Handle ScriptedIrdaStack::Accept(Handle s) {
    const LinkSocket d = far_.Accept(Id(s));
    if (d == kNoSocket) {
        Fail(kWouldBlock);
        return kInvalid;
    }
    std::lock_guard lock(mutex_);
    ++open_sockets_;
    return static_cast<Handle>(d);
}

int ScriptedIrdaStack::Connect(Handle s, const std::uint8_t* address, int length) {
    Record("connect", {length}, AsBytes(address, length));
    if (!address || length != kSockaddrIrdaSize || !far_.Connect(Id(s), address + 2)) return Fail(10014);
    // A socket with events selected does not wait for the connect to finish.
    return Fail(kWouldBlock);
}

int ScriptedIrdaStack::GetSockOpt(Handle s, int level, int option, std::uint8_t* value, int* length) {
    Record("getsockopt", {level, option, length ? *length : -1});
    if (!value || !length) return Fail(10014);
    std::string bytes = raw_devices_;
    if (!raw_set_) {
        DeviceList list{};
        if (!far_.EnumerateDevices(Id(s), list)) return Fail(10038);
        // The system writes the count and the entries found, not the whole room offered.
        bytes.assign(reinterpret_cast<const char*>(list.data()), 4 + DeviceCount(list) * kDeviceEntrySize);
    }
    const int n = std::min(*length, static_cast<int>(bytes.size()));
    std::memcpy(value, bytes.data(), static_cast<std::size_t>(n));
    *length = n;
    return 0;
}

int ScriptedIrdaStack::SetSockOpt(Handle s, int level, int option, const std::uint8_t* value, int length) {
    Record("setsockopt", {level, option, length}, AsBytes(value, length));
    return far_.SetTimeouts(Id(s), 0, 0) ? 0 : Fail(10038);
}

int ScriptedIrdaStack::EventSelect(Handle s, Handle event, std::int32_t mask) {
    Record("select", {static_cast<int>(s), mask});
    return far_.SelectEvents(Id(s), static_cast<LinkEvent>(event), static_cast<std::uint32_t>(mask))
               ? 0
               : Fail(10038);
}

int ScriptedIrdaStack::WaitForEvent(Handle event, int timeout_ms) {
    if (fast_waits_) {
        if (far_.WaitForEvent(static_cast<LinkEvent>(event), 0)) return kWaitEvent0;
        std::lock_guard lock(mutex_);
        waited_ms_ += timeout_ms;
        return kWaitTimeout;
    }
    return far_.WaitForEvent(static_cast<LinkEvent>(event), timeout_ms) ? kWaitEvent0 : kWaitTimeout;
}

int ScriptedIrdaStack::EnumNetworkEvents(Handle s, Handle event, std::int32_t* mask,
                                         std::int32_t errors[10]) {
    NetworkEvents ne;
    if (!far_.QueryEvents(Id(s), static_cast<LinkEvent>(event), &ne)) return Fail(10038);
    if ((ne.mask & kFdClose) && close_error_ != 0) ne.error[kFdCloseBit] = close_error_;
    *mask = static_cast<std::int32_t>(ne.mask);
    std::memcpy(errors, ne.error, sizeof ne.error);
    return 0;
}

int ScriptedIrdaStack::Send(Handle s, const std::uint8_t* data, int length) {
    const int n = far_.Send(Id(s), data, length);
    return n < 0 ? Fail(10057) : n;
}

int ScriptedIrdaStack::Recv(Handle s, std::uint8_t* data, int length) {
    const int n = far_.Recv(Id(s), data, length);
    if (n >= 0) return n;
    {
        std::lock_guard lock(mutex_);
        ++would_block_reads_;
    }
    return Fail(kWouldBlock);
}

int ScriptedIrdaStack::Shutdown(Handle s, int how) {
    Record("shutdown", {static_cast<int>(s), how});
    return 0;
}

int ScriptedIrdaStack::CloseSocket(Handle s) {
    far_.Close(Id(s));
    std::lock_guard lock(mutex_);
    --open_sockets_;
    return 0;
}

}  // namespace sorvanto::test
