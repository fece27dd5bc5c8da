// Windows only (see core/CMakeLists.txt).
#include <winsock2.h>
// af_irda.h needs the Winsock types above it.
#include <af_irda.h>

// windows.h (through winsock2.h) names CreateEvent as a macro; the stack's CreateEvent is WSACreateEvent.
#undef CreateEvent

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/irda_winsock.h"
#include "platform/link_api.h"

namespace sorvanto {

// The link and the sessions pass these values on as plain numbers.
static_assert(AF_IRDA == IrdaStack::kAfIrda && SOCK_STREAM == IrdaStack::kSockStream);
static_assert(SOL_IRLMP == IrdaStack::kSolIrlmp && IRLMP_ENUMDEVICES == IrdaStack::kIrlmpEnumDevices);
static_assert(SOL_SOCKET == IrdaStack::kSolSocket && SO_SNDTIMEO == IrdaStack::kSoSndTimeo &&
              SO_RCVTIMEO == IrdaStack::kSoRcvTimeo);
static_assert(SD_BOTH == IrdaStack::kSdBoth && MAKEWORD(2, 0) == IrdaStack::kVersion20);
static_assert(WSA_WAIT_EVENT_0 == IrdaStack::kWaitEvent0 && WSA_WAIT_TIMEOUT == IrdaStack::kWaitTimeout);
static_assert(WSAEWOULDBLOCK == IrdaStack::kWouldBlock && WSAEAFNOSUPPORT == IrdaStack::kAfNoSupport &&
              WSAEPROTONOSUPPORT == IrdaStack::kProtoNoSupport &&
              WSAESOCKTNOSUPPORT == IrdaStack::kSockTypeNoSupport);
static_assert(FD_READ == kFdRead && FD_WRITE == kFdWrite && FD_OOB == kFdOob && FD_ACCEPT == kFdAccept &&
              FD_CONNECT == kFdConnect && FD_CLOSE == kFdClose);
static_assert(FD_READ_BIT == kFdReadBit && FD_ACCEPT_BIT == kFdAcceptBit && FD_CONNECT_BIT == kFdConnectBit &&
              FD_CLOSE_BIT == kFdCloseBit && FD_MAX_EVENTS == 10);
static_assert(WSAECONNREFUSED == kLinkErrRefused && WSAETIMEDOUT == kLinkErrTimedOut &&
              WSAECONNRESET == kLinkErrReset);
// The byte layouts the link builds and reads.
static_assert(sizeof(SOCKADDR_IRDA) == IrdaStack::kSockaddrIrdaSize);
static_assert(offsetof(SOCKADDR_IRDA, irdaDeviceID) == 2 && offsetof(SOCKADDR_IRDA, irdaServiceName) == 6);
static_assert(sizeof(IRDA_DEVICE_INFO) == kDeviceEntrySize && offsetof(DEVICELIST, Device) == 4);
static_assert(sizeof(((IRDA_DEVICE_INFO*)nullptr)->irdaDeviceName) == kDeviceNameSize);
static_assert(sizeof(SOCKET) <= sizeof(IrdaStack::Handle) && sizeof(WSAEVENT) <= sizeof(IrdaStack::Handle));

namespace {

SOCKET Sock(IrdaStack::Handle h) {
    return static_cast<SOCKET>(h);
}
WSAEVENT Event(IrdaStack::Handle h) {
    return reinterpret_cast<WSAEVENT>(h);
}

// The calls take a SOCKADDR_IRDA; the bytes are copied into one so that it is aligned.
bool ToAddress(const std::uint8_t* bytes, int length, SOCKADDR_IRDA* out) {
    if (!bytes || length != static_cast<int>(sizeof *out)) {
        WSASetLastError(WSAEFAULT);
        return false;
    }
    std::memcpy(out, bytes, sizeof *out);
    return true;
}

}  // namespace

int IrdaWinsock::Startup(std::uint16_t version) {
    WSADATA data;
    return WSAStartup(version, &data);
}

int IrdaWinsock::Cleanup() {
    return WSACleanup();
}

int IrdaWinsock::LastError() {
    return WSAGetLastError();
}

IrdaStack::Handle IrdaWinsock::CreateEvent() {
    const WSAEVENT e = WSACreateEvent();
    return e == WSA_INVALID_EVENT ? kInvalid : reinterpret_cast<Handle>(e);
}

bool IrdaWinsock::CloseEvent(Handle event) {
    return WSACloseEvent(Event(event)) != FALSE;
}

IrdaStack::Handle IrdaWinsock::Socket(int family, int type, int protocol) {
    const SOCKET s = socket(family, type, protocol);
    return s == INVALID_SOCKET ? kInvalid : static_cast<Handle>(s);
}

int IrdaWinsock::Bind(Handle s, const std::uint8_t* address, int length) {
    SOCKADDR_IRDA a;
    if (!ToAddress(address, length, &a)) return kSocketError;
    return bind(Sock(s), reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

int IrdaWinsock::Listen(Handle s, int backlog) {
    return listen(Sock(s), backlog);
}

IrdaStack::Handle IrdaWinsock::Accept(Handle s) {
    const SOCKET d = accept(Sock(s), nullptr, nullptr);
    return d == INVALID_SOCKET ? kInvalid : static_cast<Handle>(d);
}

int IrdaWinsock::Connect(Handle s, const std::uint8_t* address, int length) {
    SOCKADDR_IRDA a;
    if (!ToAddress(address, length, &a)) return kSocketError;
    return connect(Sock(s), reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

int IrdaWinsock::GetSockOpt(Handle s, int level, int option, std::uint8_t* value, int* length) {
    if (!value || !length || *length < 0) {
        WSASetLastError(WSAEFAULT);
        return kSocketError;
    }
    // The device list is a structure with a ULONG count: let the stack write into aligned room.
    std::vector<ULONG> room((static_cast<std::size_t>(*length) + sizeof(ULONG) - 1) / sizeof(ULONG) + 1);
    int n = *length;
    const int r = getsockopt(Sock(s), level, option, reinterpret_cast<char*>(room.data()), &n);
    if (r != 0) return r;
    if (n < 0 || n > *length) n = *length;
    std::memcpy(value, room.data(), static_cast<std::size_t>(n));
    *length = n;
    return 0;
}

int IrdaWinsock::SetSockOpt(Handle s, int level, int option, const std::uint8_t* value, int length) {
    return setsockopt(Sock(s), level, option, reinterpret_cast<const char*>(value), length);
}

int IrdaWinsock::EventSelect(Handle s, Handle event, std::int32_t mask) {
    return WSAEventSelect(Sock(s), Event(event), mask);
}

int IrdaWinsock::WaitForEvent(Handle event, int timeout_ms) {
    WSAEVENT e = Event(event);
    const DWORD r = WSAWaitForMultipleEvents(1, &e, FALSE, static_cast<DWORD>(timeout_ms), FALSE);
    if (r == WSA_WAIT_EVENT_0 || r == WSA_WAIT_TIMEOUT) return static_cast<int>(r);
    return kSocketError;
}

int IrdaWinsock::EnumNetworkEvents(Handle s, Handle event, std::int32_t* mask, std::int32_t errors[10]) {
    WSANETWORKEVENTS ne;
    std::memset(&ne, 0, sizeof ne);
    const int r = WSAEnumNetworkEvents(Sock(s), Event(event), &ne);
    if (r != 0) return r;
    *mask = static_cast<std::int32_t>(ne.lNetworkEvents);
    for (int i = 0; i < FD_MAX_EVENTS; ++i) errors[i] = ne.iErrorCode[i];
    return 0;
}

int IrdaWinsock::Send(Handle s, const std::uint8_t* data, int length) {
    return send(Sock(s), reinterpret_cast<const char*>(data), length, 0);
}

int IrdaWinsock::Recv(Handle s, std::uint8_t* data, int length) {
    return recv(Sock(s), reinterpret_cast<char*>(data), length, 0);
}

int IrdaWinsock::Shutdown(Handle s, int how) {
    return shutdown(Sock(s), how);
}

int IrdaWinsock::CloseSocket(Handle s) {
    return closesocket(Sock(s));
}

}  // namespace sorvanto
