#include "platform/irda_link.h"

#include <cstring>

namespace sorvanto {

namespace {
constexpr char kService[] = "OBEX";
}  // namespace

IrdaLink::IrdaLink(std::unique_ptr<IrdaStack> stack) : stack_(std::move(stack)) {}

IrdaLink::~IrdaLink() {
    // Whatever the sessions left open goes before the library is released.
    for (const auto& [id, h] : sockets_) stack_->CloseSocket(h);
    for (const auto& [id, h] : events_) stack_->CloseEvent(h);
    if (started_) stack_->Cleanup();
}

std::array<std::uint8_t, IrdaStack::kSockaddrIrdaSize> IrdaLink::ObexAddress(const std::uint8_t device[4]) {
    std::array<std::uint8_t, IrdaStack::kSockaddrIrdaSize> a{};
    // The family is a u_short in the machine's order; IrDA exists only on little-endian Windows.
    a[0] = static_cast<std::uint8_t>(IrdaStack::kAfIrda & 0xFF);
    a[1] = static_cast<std::uint8_t>(IrdaStack::kAfIrda >> 8);
    std::memcpy(a.data() + 2, device, 4);
    std::memcpy(a.data() + 6, kService, sizeof kService - 1);
    return a;
}

bool IrdaLink::ReadDeviceList(const std::uint8_t* bytes, int length, DeviceList& list) {
    list.fill(0);
    if (!bytes || length < 4 || length > static_cast<int>(kDeviceListSize)) return false;
    std::uint32_t count = 0;
    for (int i = 3; i >= 0; --i) count = (count << 8) | bytes[i];
    if (count > static_cast<std::uint32_t>(kMaxDevices)) return false;
    const std::size_t used = 4 + count * kDeviceEntrySize;
    if (used > static_cast<std::size_t>(length)) return false;
    std::memcpy(list.data(), bytes, used);
    return true;
}

IrdaStack::Handle IrdaLink::SocketHandle(LinkSocket s) const {
    std::lock_guard lock(mutex_);
    auto it = sockets_.find(s);
    return it == sockets_.end() ? IrdaStack::kInvalid : it->second;
}

IrdaStack::Handle IrdaLink::EventHandle(LinkEvent e) const {
    std::lock_guard lock(mutex_);
    auto it = events_.find(e);
    return it == events_.end() ? IrdaStack::kInvalid : it->second;
}

LinkSocket IrdaLink::AddSocket(IrdaStack::Handle h) {
    std::lock_guard lock(mutex_);
    const LinkSocket id = next_socket_++;
    sockets_[id] = h;
    return id;
}

bool IrdaLink::Startup() {
    started_ = stack_->Startup(IrdaStack::kVersion20) == 0;
    return started_;
}

LinkEvent IrdaLink::CreateEvent() {
    const IrdaStack::Handle h = stack_->CreateEvent();
    if (h == IrdaStack::kInvalid) return kNoEvent;
    std::lock_guard lock(mutex_);
    const LinkEvent id = next_event_++;
    events_[id] = h;
    return id;
}

void IrdaLink::CloseEvent(LinkEvent event) {
    IrdaStack::Handle h = IrdaStack::kInvalid;
    {
        std::lock_guard lock(mutex_);
        auto it = events_.find(event);
        if (it == events_.end()) return;
        h = it->second;
        events_.erase(it);
    }
    stack_->CloseEvent(h);
}

LinkSocket IrdaLink::CreateSocket() {
    const IrdaStack::Handle h = stack_->Socket(IrdaStack::kAfIrda, IrdaStack::kSockStream, 0);
    return h == IrdaStack::kInvalid ? kNoSocket : AddSocket(h);
}

bool IrdaLink::Bind(LinkSocket s) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid) return false;
    const std::uint8_t any[4] = {0, 0, 0, 0};
    const auto address = ObexAddress(any);
    return stack_->Bind(h, address.data(), static_cast<int>(address.size())) == 0;
}

bool IrdaLink::Listen(LinkSocket s, int backlog) {
    const IrdaStack::Handle h = SocketHandle(s);
    return h != IrdaStack::kInvalid && stack_->Listen(h, backlog) == 0;
}

LinkSocket IrdaLink::Accept(LinkSocket s) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid) return kNoSocket;
    const IrdaStack::Handle d = stack_->Accept(h);
    return d == IrdaStack::kInvalid ? kNoSocket : AddSocket(d);
}

bool IrdaLink::Connect(LinkSocket s, const std::uint8_t address[4]) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid) return false;
    const auto target = ObexAddress(address);
    if (stack_->Connect(h, target.data(), static_cast<int>(target.size())) == 0) return true;
    // With events selected the socket does not block: the connect goes on in the background
    // and its end is reported through the connect event.
    return stack_->LastError() == IrdaStack::kWouldBlock;
}

bool IrdaLink::EnumerateDevices(LinkSocket s, DeviceList& list) {
    list.fill(0);
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid) return false;
    DeviceList raw{};
    int length = static_cast<int>(raw.size());
    if (stack_->GetSockOpt(h, IrdaStack::kSolIrlmp, IrdaStack::kIrlmpEnumDevices, raw.data(), &length) != 0)
        return false;
    return ReadDeviceList(raw.data(), length, list);
}

bool IrdaLink::SetTimeouts(LinkSocket s, int send_ms, int recv_ms) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid) return false;
    // The option value is a DWORD of milliseconds.
    auto dword = [](int ms) {
        const auto v = static_cast<std::uint32_t>(ms);
        return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                           static_cast<std::uint8_t>(v >> 16),
                                           static_cast<std::uint8_t>(v >> 24)};
    };
    const auto snd = dword(send_ms);
    const auto rcv = dword(recv_ms);
    const bool a = stack_->SetSockOpt(h, IrdaStack::kSolSocket, IrdaStack::kSoSndTimeo, snd.data(), 4) == 0;
    const bool b = stack_->SetSockOpt(h, IrdaStack::kSolSocket, IrdaStack::kSoRcvTimeo, rcv.data(), 4) == 0;
    return a && b;
}

bool IrdaLink::SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) {
    const IrdaStack::Handle h = SocketHandle(s);
    const IrdaStack::Handle e = EventHandle(event);
    if (h == IrdaStack::kInvalid || e == IrdaStack::kInvalid) return false;
    return stack_->EventSelect(h, e, static_cast<std::int32_t>(mask)) == 0;
}

bool IrdaLink::WaitForEvent(LinkEvent event, int timeout_ms) {
    // No lock is held here: Stop closes the listening socket from another thread meanwhile.
    const IrdaStack::Handle e = EventHandle(event);
    if (e == IrdaStack::kInvalid) return false;
    return stack_->WaitForEvent(e, timeout_ms) == IrdaStack::kWaitEvent0;
}

bool IrdaLink::QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) {
    const IrdaStack::Handle h = SocketHandle(s);
    const IrdaStack::Handle e = EventHandle(event);
    if (!out || h == IrdaStack::kInvalid || e == IrdaStack::kInvalid) return false;
    std::int32_t mask = 0;
    std::int32_t errors[10] = {};
    if (stack_->EnumNetworkEvents(h, e, &mask, errors) != 0) return false;
    out->mask = static_cast<std::uint32_t>(mask);
    std::memcpy(out->error, errors, sizeof errors);
    return true;
}

int IrdaLink::Send(LinkSocket s, const std::uint8_t* data, int length) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid || length < 0) return -1;
    const int n = stack_->Send(h, data, length);
    return n < 0 ? -1 : n;
}

int IrdaLink::Recv(LinkSocket s, std::uint8_t* data, int length) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h == IrdaStack::kInvalid || length < 0) return -1;
    const int n = stack_->Recv(h, data, length);
    return n < 0 ? -1 : n;
}

void IrdaLink::Shutdown(LinkSocket s) {
    const IrdaStack::Handle h = SocketHandle(s);
    if (h != IrdaStack::kInvalid) stack_->Shutdown(h, IrdaStack::kSdBoth);
}

void IrdaLink::Close(LinkSocket s) {
    IrdaStack::Handle h = IrdaStack::kInvalid;
    {
        std::lock_guard lock(mutex_);
        auto it = sockets_.find(s);
        if (it == sockets_.end()) return;
        h = it->second;
        sockets_.erase(it);
    }
    stack_->CloseSocket(h);
}

}  // namespace sorvanto
