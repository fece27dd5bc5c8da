#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The few TCP socket calls the program, the handset emulator and the tests make, over the BSD
// sockets of Linux and over Winsock on Windows. Descriptors are ints (-1 is none) on both.
namespace sorvanto::net {

using Fd = int;
constexpr Fd kNone = -1;

// What went wrong in the last call of this thread, in the words the callers act on.
enum class Err { kNone, kWouldBlock, kInProgress, kInterrupted, kRefused, kTimedOut, kOther };

// Starts the socket library once per process (Winsock); true when sockets can be used.
bool Startup();

// A TCP stream socket, not inherited by started programs; kNone on failure.
Fd TcpSocket();
void Close(Fd fd);
void SetNonBlocking(Fd fd);
void SetNoDelay(Fd fd);
void SetReuseAddress(Fd fd);
void ShutdownBoth(Fd fd);

// IPv4 address of a host name or dotted address, in network order.
bool ResolveIpv4(const std::string& host, std::uint32_t* ip);

bool Bind(Fd fd, std::uint32_t ip, int port);
bool Listen(Fd fd, int backlog);
// The port a bound socket has, or -1.
int LocalPort(Fd fd);
// "a.b.c.d:port" of a connected socket's peer; empty when it has none.
std::string PeerAddress(Fd fd);
// A waiting connection, non-blocking when asked; kNone when there is none.
Fd Accept(Fd fd, bool non_blocking);
// 1 connected, 0 started (completion shows as writability), -1 failed (see LastError).
int Connect(Fd fd, std::uint32_t ip, int port);
// The outcome of a finished non-blocking connect (SO_ERROR).
Err PendingError(Fd fd);

// Bytes moved, 0 for an orderly close (Recv), -1 on failure (see LastError). Send never raises
// a signal on a closed peer.
long Send(Fd fd, const void* data, std::size_t length);
long Recv(Fd fd, void* data, std::size_t length, bool peek = false);

Err LastError();
std::string LastErrorText();

// poll() over sockets. kIn: readable or a connection waits; kOut: writable or a connect has
// finished; kErr/kHup come back by themselves.
constexpr short kIn = 0x1;
constexpr short kOut = 0x4;
constexpr short kErr = 0x8;
constexpr short kHup = 0x10;
struct PollFd {
    Fd fd = kNone;
    short events = 0;
    short revents = 0;
};
// Number of entries with revents set, 0 on time-out (timeout_ms < 0 waits for ever), -1 on failure.
int Poll(PollFd* fds, std::size_t count, int timeout_ms);

}  // namespace sorvanto::net
