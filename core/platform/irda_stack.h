#pragma once

#include <cstdint>

namespace sorvanto {

// The Winsock 2 calls the IrDA link makes, one to one, with plain types: socket and event
// handles as integers, socket addresses and option values as bytes, event masks as ints. The
// system's table (IrdaWinsock) exists only in the Windows build; tests put a scripted stack in
// its place, so that the link logic is the same everywhere.
class IrdaStack {
public:
    using Handle = std::uintptr_t;
    static constexpr Handle kInvalid = ~Handle{0};
    static constexpr int kSocketError = -1;

    // The values of the Winsock and af_irda.h constants the link passes on.
    static constexpr std::uint16_t kVersion20 = 0x0002;  // MAKEWORD(2, 0)
    static constexpr int kAfIrda = 26;
    static constexpr int kSockStream = 1;
    static constexpr int kSolSocket = 0xFFFF;
    static constexpr int kSoSndTimeo = 0x1005;
    static constexpr int kSoRcvTimeo = 0x1006;
    static constexpr int kSolIrlmp = 0xFF;
    static constexpr int kIrlmpEnumDevices = 0x10;
    static constexpr int kSdBoth = 2;
    static constexpr int kSockaddrIrdaSize = 32;  // family, device address, 25-byte service name
    static constexpr int kWaitEvent0 = 0;         // WSA_WAIT_EVENT_0
    static constexpr int kWaitTimeout = 258;      // WSA_WAIT_TIMEOUT

    // WSAGetLastError values the link tells apart.
    static constexpr int kWouldBlock = 10035;
    static constexpr int kProtoNoSupport = 10043;
    static constexpr int kSockTypeNoSupport = 10044;
    static constexpr int kAfNoSupport = 10047;

    virtual ~IrdaStack() = default;

    virtual int Startup(std::uint16_t version) = 0;  // WSAStartup: 0, or an error code
    virtual int Cleanup() = 0;                       // WSACleanup
    virtual int LastError() = 0;                     // WSAGetLastError

    virtual Handle CreateEvent() = 0;  // WSACreateEvent, kInvalid on failure
    virtual bool CloseEvent(Handle event) = 0;

    virtual Handle Socket(int family, int type, int protocol) = 0;  // kInvalid on failure
    // The calls below return 0, or kSocketError with the reason in LastError.
    virtual int Bind(Handle s, const std::uint8_t* address, int length) = 0;
    virtual int Listen(Handle s, int backlog) = 0;
    virtual Handle Accept(Handle s) = 0;  // kInvalid on failure
    virtual int Connect(Handle s, const std::uint8_t* address, int length) = 0;
    // length: in, the room at value; out, the bytes written there.
    virtual int GetSockOpt(Handle s, int level, int option, std::uint8_t* value, int* length) = 0;
    virtual int SetSockOpt(Handle s, int level, int option, const std::uint8_t* value, int length) = 0;

    virtual int EventSelect(Handle s, Handle event, std::int32_t mask) = 0;
    // WSAWaitForMultipleEvents on the one event: kWaitEvent0, kWaitTimeout or a failure.
    virtual int WaitForEvent(Handle event, int timeout_ms) = 0;
    // WSAEnumNetworkEvents: the recorded events and their ten error codes; resets the event.
    virtual int EnumNetworkEvents(Handle s, Handle event, std::int32_t* mask, std::int32_t errors[10]) = 0;

    // Bytes moved, or kSocketError; Recv gives 0 once the peer has closed.
    virtual int Send(Handle s, const std::uint8_t* data, int length) = 0;
    virtual int Recv(Handle s, std::uint8_t* data, int length) = 0;
    virtual int Shutdown(Handle s, int how) = 0;
    virtual int CloseSocket(Handle s) = 0;
};

}  // namespace sorvanto
