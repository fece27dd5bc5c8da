#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "platform/irda_socket_calls.h"
#include "platform/irda_stack.h"
#include "platform/link_event_table.h"

namespace sorvanto {

// The IrDA stack of Linux, where a user has installed the IrDA module: the Winsock-shaped
// calls of IrdaLink turned into Linux socket calls. Linux lays out its socket address and device
// list differently and has no event objects, so this table translates the bytes both ways and
// keeps the events itself: a wait polls the sockets selected on the event for the conditions
// still armed, and records what it finds as Winsock would.
class IrdaLinux : public IrdaStack {
public:
    // The room offered to the enumeration: the count and as many entries as the list holds.
    static constexpr int kDeviceRoom =
        IrdaSocketCalls::kDeviceListHeader + 10 * IrdaSocketCalls::kDeviceInfoSize;

    explicit IrdaLinux(std::unique_ptr<IrdaSocketCalls> calls);

    // Linux's device list (length bytes) in the layout IrdaLink reads (room bytes at out): the
    // bytes written, or -1 when there is not even a count. The kernel cuts the list to the room
    // it was given but keeps the full count, so the entries taken are those wholly returned (at
    // most what out holds).
    static int MapDeviceList(const std::uint8_t* bytes, int length, std::uint8_t* out, int room);
    // An errno value as the Winsock error code IrdaLink and the sessions tell apart.
    static int WinsockError(int errno_value);

    int Startup(std::uint16_t version) override;
    int Cleanup() override;
    int LastError() override;
    Handle CreateEvent() override;
    bool CloseEvent(Handle event) override;
    Handle Socket(int family, int type, int protocol) override;
    int Bind(Handle s, const std::uint8_t* address, int length) override;
    int Listen(Handle s, int backlog) override;
    Handle Accept(Handle s) override;
    int Connect(Handle s, const std::uint8_t* address, int length) override;
    int GetSockOpt(Handle s, int level, int option, std::uint8_t* value, int* length) override;
    int SetSockOpt(Handle s, int level, int option, const std::uint8_t* value, int length) override;
    int EventSelect(Handle s, Handle event, std::int32_t mask) override;
    int WaitForEvent(Handle event, int timeout_ms) override;
    int EnumNetworkEvents(Handle s, Handle event, std::int32_t* mask, std::int32_t errors[10]) override;
    int Send(Handle s, const std::uint8_t* data, int length) override;
    int Recv(Handle s, std::uint8_t* data, int length) override;
    int Shutdown(Handle s, int how) override;
    int CloseSocket(Handle s) override;

private:
    struct Sock : SocketEventState {
        bool listening = false;
        bool connecting = false;
        bool nonblocking = false;
        bool close_seen = false;
    };

    int Fail(int winsock_error);
    int FailFromErrno();
    // Winsock's 32-byte IrDA address as Linux's: the device and the service name, any LSAP.
    static bool LinuxAddress(const std::uint8_t* bytes, int length,
                             std::uint8_t out[IrdaSocketCalls::kSockaddrIrdaSize]);
    // What the poll found on one socket, recorded as its events (under mutex_).
    void Detect(int fd, Sock& s, short revents);

    std::unique_ptr<IrdaSocketCalls> calls_;
    std::mutex mutex_;
    std::map<int, Sock> socks_;
    LinkEventTable events_;
};

}  // namespace sorvanto
