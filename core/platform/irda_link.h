#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/irda_stack.h"
#include "platform/link_api.h"

namespace sorvanto {

// The link over the system's IrDA sockets: the service "OBEX" of the IrDA address family,
// devices found by the IrLMP enumeration, events through WSAEventSelect. Winsock's own event
// semantics are the ones LinkApi describes, so each operation is one call on the stack; this
// class adds the IrDA socket addresses, the check of the device list the stack returns, and
// handle bookkeeping (the sessions count sockets and events as ints).
class IrdaLink : public LinkApi {
public:
    static constexpr int kTimeoutMs = 5000;

    explicit IrdaLink(std::unique_ptr<IrdaStack> stack);
    ~IrdaLink() override;
    IrdaLink(const IrdaLink&) = delete;
    IrdaLink& operator=(const IrdaLink&) = delete;

    bool Startup() override;
    LinkEvent CreateEvent() override;
    void CloseEvent(LinkEvent event) override;
    LinkSocket CreateSocket() override;
    bool Bind(LinkSocket s) override;
    bool Listen(LinkSocket s, int backlog) override;
    LinkSocket Accept(LinkSocket s) override;
    bool Connect(LinkSocket s, const std::uint8_t address[4]) override;
    bool EnumerateDevices(LinkSocket s, DeviceList& list) override;
    bool SetTimeouts(LinkSocket s, int send_ms, int recv_ms) override;
    bool SelectEvents(LinkSocket s, LinkEvent event, std::uint32_t mask) override;
    bool WaitForEvent(LinkEvent event, int timeout_ms) override;
    bool QueryEvents(LinkSocket s, LinkEvent event, NetworkEvents* out) override;
    int Send(LinkSocket s, const std::uint8_t* data, int length) override;
    int Recv(LinkSocket s, std::uint8_t* data, int length) override;
    void Shutdown(LinkSocket s) override;
    void Close(LinkSocket s) override;

    // The 32-byte IrDA socket address: family 26, the device address, service "OBEX".
    static std::array<std::uint8_t, IrdaStack::kSockaddrIrdaSize> ObexAddress(const std::uint8_t device[4]);
    // Takes what the device enumeration returned (length bytes at bytes) into list. False,
    // with list empty, when the count claims more entries than were returned or than the list
    // holds; names are cut at their 22-byte field.
    static bool ReadDeviceList(const std::uint8_t* bytes, int length, DeviceList& list);

private:
    IrdaStack::Handle SocketHandle(LinkSocket s) const;
    IrdaStack::Handle EventHandle(LinkEvent e) const;
    LinkSocket AddSocket(IrdaStack::Handle h);

    std::unique_ptr<IrdaStack> stack_;
    mutable std::mutex mutex_;
    std::map<LinkSocket, IrdaStack::Handle> sockets_;
    std::map<LinkEvent, IrdaStack::Handle> events_;
    LinkSocket next_socket_ = 1;
    LinkEvent next_event_ = 1;
    bool started_ = false;
};

}  // namespace sorvanto
