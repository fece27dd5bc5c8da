#include "irda/irda_stack_link.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace sorvanto::irda {

namespace {
// The driver never sleeps longer than this in a read, so a deadline set by a session's call
// meanwhile is late by at most this much.
constexpr int kMaxReadWaitMs = 10;
}  // namespace

IrdaStackLink::IrdaStackLink(std::unique_ptr<SirLine> line, IrStackConfig config, const IrClock* clock,
                             std::uint32_t seed)
    : line_(std::move(line)),
      clock_(clock),
      start_(std::chrono::steady_clock::now()),
      port_(std::make_unique<SirFramePort>(line_.get())),
      decoder_(
          2048 + 2, [this](const std::uint8_t* f, std::size_t n) { stack_->OnFrame(f, n, feed_now_); },
          [this] { stack_->OnMediaBusy(feed_now_); }) {
    if (seed == 0) seed = std::random_device{}();
    stack_ = std::make_unique<IrStack>(std::move(config), port_.get(), std::mt19937(seed));
    // Bytes in flight across a speed change are garbage; the frame they began is dropped. A
    // change made while a frame is being handed up (the UA that ends the negotiation) comes
    // between frames, and the decoder is not pulled from under its own call.
    port_->OnSpeedChange([this](int) {
        if (!feeding_) decoder_.Reset();
    });
    decoder_.SetMaxFrame(stack_->Station().MaxFrameIn());
    if (!clock_) driver_ = std::thread([this] { DriverLoop(); });
}

IrdaStackLink::~IrdaStackLink() {
    {
        Lock lock(mutex_);
        if (!line_lost_) {
            // The peer is told the connections and the link are gone, rather than finding out
            // by its own time-outs.
            Micros now = Now();
            stack_->CloseAll(now);
            AfterStep(now);
            const bool can_wait = !clock_ || idle_hook_;
            if (can_wait) WaitUntil(lock, kShutdownMs, [this] { return stack_->Drained(); });
            now = Now();
            stack_->Shutdown(now);
            AfterStep(now);
            if (can_wait) WaitUntil(lock, kShutdownMs, [this] { return !stack_->LinkConnected(); });
        }
        stop_ = true;
    }
    if (driver_.joinable()) driver_.join();
}

Micros IrdaStackLink::Now() const {
    if (clock_) return clock_->Now();
    return static_cast<Micros>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_).count());
}

void IrdaStackLink::SetIdleHook(std::function<void()> hook) {
    Lock lock(mutex_);
    idle_hook_ = std::move(hook);
}

void IrdaStackLink::SetCaptureTap(IrlapStation::CaptureTap tap) {
    Lock lock(mutex_);
    stack_->Station().SetCaptureTap(std::move(tap));
}

void IrdaStackLink::AddressBytes(std::uint32_t address, std::uint8_t out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(address >> (8 * i));
}

std::uint32_t IrdaStackLink::AddressOf(const std::uint8_t bytes[4]) {
    std::uint32_t a = 0;
    for (int i = 3; i >= 0; --i) a = (a << 8) | bytes[i];
    return a;
}

void IrdaStackLink::DriverLoop() {
    std::vector<std::uint8_t> buffer(4096);
    while (!stop_) {
        int wait_ms = kMaxReadWaitMs;
        {
            Lock lock(mutex_);
            const Micros now = Now();
            const Micros due = stack_->NextDeadline();
            if (due) wait_ms = due <= now ? 0 : static_cast<int>(std::min<Micros>((due - now + 999) / 1000, kMaxReadWaitMs));
        }
        const int n = line_->Read(buffer.data(), buffer.size(), wait_ms);
        Lock lock(mutex_);
        const Micros now = Now();
        if (n > 0) {
            Feed(buffer.data(), static_cast<std::size_t>(n), now);
        } else if (n < 0) {
            // The adapter is gone: every connection ends, and the driver with it.
            line_lost_ = true;
            AfterStep(now);
            changed_.notify_all();
            return;
        }
        AfterStep(now);
        changed_.notify_all();
    }
}

void IrdaStackLink::Feed(const std::uint8_t* data, std::size_t n, Micros now) {
    feed_now_ = now;
    feeding_ = true;
    decoder_.Feed(data, n);
    feeding_ = false;
}

void IrdaStackLink::Service() {
    Lock lock(mutex_);
    std::uint8_t buffer[4096];
    for (;;) {
        const int n = line_->Read(buffer, sizeof buffer, 0);
        if (n <= 0) {
            if (n < 0) line_lost_ = true;
            break;
        }
        Feed(buffer, static_cast<std::size_t>(n), Now());
    }
    AfterStep(Now());
}

void IrdaStackLink::AfterStep(Micros now) {
    const Micros due = stack_->NextDeadline();
    if (due && due <= now) stack_->OnTimer(now);
    decoder_.SetMaxFrame(stack_->Station().MaxFrameIn());
    for (auto& [id, s] : socks_) Detect(s);
}

void IrdaStackLink::Detect(Sock& s) {
    if (s.listening) {
        if ((s.armed & kFdAccept) && stack_->PendingAccepts() > 0) events_.Record(s, kFdAccept, kFdAcceptBit, 0);
        return;
    }
    if (s.conn < 0) return;
    const IrStack::ConnState state = line_lost_ ? IrStack::ConnState::kFailed : stack_->State(s.conn);
    if (s.connecting) {
        if (state == IrStack::ConnState::kQuerying || state == IrStack::ConnState::kConnecting) return;
        s.connecting = false;
        int error = 0;
        if (state != IrStack::ConnState::kOpen) {
            error = stack_->Error(s.conn) == IrStack::ConnError::kTimedOut ? kLinkErrTimedOut : kLinkErrRefused;
            s.close_seen = true;  // a failed connect reports no close after it
        }
        events_.Record(s, kFdConnect, kFdConnectBit, error);
        return;
    }
    if ((s.armed & kFdRead) && stack_->Readable(s.conn) > 0) events_.Record(s, kFdRead, kFdReadBit, 0);
    const bool ended = state == IrStack::ConnState::kClosed || state == IrStack::ConnState::kFailed;
    // With read events selected the close comes once the data before it has been read.
    if (ended && !s.close_seen && (s.selected & kFdClose) &&
        (!(s.selected & kFdRead) || stack_->Readable(s.conn) == 0)) {
        s.close_seen = true;
        const bool clean = !line_lost_ && stack_->Error(s.conn) == IrStack::ConnError::kNone;
        events_.Record(s, kFdClose, kFdCloseBit, clean ? 0 : kLinkErrReset);
    }
}

bool IrdaStackLink::WaitUntil(Lock& lock, int timeout_ms, const std::function<bool()>& done) {
    if (done()) return true;
    if (timeout_ms < 0) timeout_ms = 0;
    if (idle_hook_ && clock_) {
        const Micros end = Now() + static_cast<Micros>(timeout_ms) * 1000;
        auto hook = idle_hook_;
        while (!done()) {
            if (Now() >= end) return false;
            lock.unlock();
            hook();
            lock.lock();
        }
        return true;
    }
    if (clock_) return false;  // nothing can move on while we wait
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), done);
}

bool IrdaStackLink::Startup() { return true; }

LinkEvent IrdaStackLink::CreateEvent() {
    Lock lock(mutex_);
    return events_.Create();
}

void IrdaStackLink::CloseEvent(LinkEvent event) {
    Lock lock(mutex_);
    events_.Close(event);
    for (auto& [id, s] : socks_)
        if (s.event == event) s.event = kNoEvent;
}

LinkSocket IrdaStackLink::CreateSocket() {
    Lock lock(mutex_);
    const LinkSocket id = next_socket_++;
    socks_[id] = Sock{};
    return id;
}

bool IrdaStackLink::Bind(LinkSocket s) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return false;
    // One service "OBEX": a second socket cannot have it too.
    for (const auto& [id, other] : socks_)
        if (id != s && other.bound) return false;
    it->second.bound = true;
    return true;
}

bool IrdaStackLink::Listen(LinkSocket s, int) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !it->second.bound) return false;
    it->second.listening = true;
    stack_->Listen(true);
    return true;
}

LinkSocket IrdaStackLink::Accept(LinkSocket s) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !it->second.listening) return kNoSocket;
    it->second.armed |= kFdAccept;
    const int conn = stack_->Accept();
    if (conn < 0) return kNoSocket;
    const LinkSocket id = next_socket_++;
    socks_[id].conn = conn;
    return id;
}

bool IrdaStackLink::Connect(LinkSocket s, const std::uint8_t address[4]) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || it->second.conn >= 0) return false;
    Sock& sock = it->second;
    const std::uint32_t device = AddressOf(address);
    bool known = false;
    for (const auto& d : stack_->Devices()) known = known || d.address == device;
    const Micros now = Now();
    const int conn = known && !line_lost_ ? stack_->Connect(device, now) : -1;
    if (conn < 0) {
        events_.Record(sock, kFdConnect, kFdConnectBit, kLinkErrRefused);
        return false;
    }
    sock.conn = conn;
    sock.connecting = true;
    sock.armed |= kFdConnect;
    AfterStep(now);
    changed_.notify_all();
    return true;
}

bool IrdaStackLink::EnumerateDevices(LinkSocket s, DeviceList& list) {
    list.fill(0);
    Lock lock(mutex_);
    if (!socks_.count(s) || line_lost_) return false;
    const int before = stack_->Discoveries();
    if (!stack_->Discovering() && !stack_->Discover(Now())) return false;
    AfterStep(Now());
    if (!WaitUntil(lock, kDiscoveryMs, [&] { return stack_->Discoveries() != before; })) return false;
    for (const auto& d : stack_->Devices()) {
        const int index = DeviceCount(list);
        std::uint8_t address[4];
        AddressBytes(d.address, address);
        if (!AddDevice(list, address, d.nickname)) break;
        std::uint8_t* entry = list.data() + 4 + static_cast<std::size_t>(index) * kDeviceEntrySize;
        for (std::size_t i = 0; i < 2 && i < d.hints.size(); ++i) entry[4 + kDeviceNameSize + i] = d.hints[i];
        entry[4 + kDeviceNameSize + 2] = d.charset;
    }
    return true;
}

bool IrdaStackLink::SetTimeouts(LinkSocket s, int send_ms, int) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return false;
    it->second.send_ms = send_ms > 0 ? send_ms : 5000;
    return true;
}

bool IrdaStackLink::SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || (event != kNoEvent && !events_.Exists(event))) return false;
    it->second.event = event;
    it->second.selected = mask;
    Detect(it->second);
    changed_.notify_all();
    return true;
}

bool IrdaStackLink::WaitForEvent(LinkEvent event, int timeout_ms) {
    Lock lock(mutex_);
    if (!events_.Exists(event)) return false;
    WaitUntil(lock, timeout_ms, [&] { return !events_.Exists(event) || events_.IsSignalled(event); });
    return events_.IsSignalled(event);
}

bool IrdaStackLink::QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || !out) return false;
    events_.Query(it->second, event, *out);
    return true;
}

int IrdaStackLink::Send(LinkSocket s, const std::uint8_t* data, int length) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || length < 0 || it->second.conn < 0 || (length > 0 && !data)) return -1;
    const int conn = it->second.conn;
    // A full queue is waited out up to the send time-out, so that a packet is never cut.
    WaitUntil(lock, it->second.send_ms, [&] {
        return stack_->State(conn) != IrStack::ConnState::kOpen || stack_->Unsent(conn) < kMaxUnsent;
    });
    if (line_lost_ || stack_->State(conn) != IrStack::ConnState::kOpen || stack_->Unsent(conn) >= kMaxUnsent)
        return -1;
    const Micros now = Now();
    const int sent = stack_->Send(conn, data, static_cast<std::size_t>(length), now);
    AfterStep(now);
    return sent;
}

int IrdaStackLink::Recv(LinkSocket s, std::uint8_t* data, int length) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || length < 0 || it->second.conn < 0) return -1;
    Sock& sock = it->second;
    sock.armed |= kFdRead;
    const Micros now = Now();
    const std::size_t n = data ? stack_->Recv(sock.conn, data, static_cast<std::size_t>(length), now) : 0;
    AfterStep(now);
    if (n > 0) return static_cast<int>(n);
    const IrStack::ConnState state = stack_->State(sock.conn);
    if (line_lost_ || state == IrStack::ConnState::kClosed || state == IrStack::ConnState::kFailed) return 0;
    return -1;
}

void IrdaStackLink::Shutdown(LinkSocket) {}

void IrdaStackLink::Close(LinkSocket s) {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end()) return;
    const Micros now = Now();
    if (it->second.listening) {
        bool other = false;
        for (const auto& [id, o] : socks_) other = other || (id != s && o.listening);
        if (!other) stack_->Listen(false);
    }
    if (it->second.conn >= 0) stack_->Close(it->second.conn, now);
    socks_.erase(it);
    AfterStep(now);
    changed_.notify_all();
}

std::string IrdaStackLink::PeerAddress(LinkSocket s) const {
    Lock lock(mutex_);
    auto it = socks_.find(s);
    if (it == socks_.end() || it->second.conn < 0) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(stack_->Peer(it->second.conn)));
    return text;
}

}  // namespace sorvanto::irda
