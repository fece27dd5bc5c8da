#pragma once

#include <cstdint>
#include <memory>

namespace sorvanto {

// The Linux socket calls the IrDA table for Linux (IrdaLinux) makes, one to one, with plain
// types: descriptors as ints, socket addresses and option values as bytes, errors as errno
// values. The system's table exists only where there are POSIX sockets; tests put a scripted
// one in its place.
class IrdaSocketCalls {
public:
    // IrDA sockets come from a module built outside the kernel since Linux 4.17, and the
    // system headers lost their constants with it: the program carries them.
    static constexpr int kAfIrda = 23;
    static constexpr int kSockStream = 1;
    static constexpr int kSolIrlmp = 266;
    static constexpr int kIrlmpEnumDevices = 1;
    static constexpr int kLsapAny = 0xFF;
    // sockaddr_irda: u16 family, u8 LSAP selector, a pad byte, u32 device address, 25-byte
    // service name, padded to its 4-byte alignment.
    static constexpr int kSockaddrIrdaSize = 36;
    static constexpr int kAddressOffset = 4;
    static constexpr int kNameOffset = 8;
    // irda_device_info: u32 saddr, u32 daddr, 22-byte info, charset, two hint bytes, padded to
    // 36 bytes; the list is a u32 count and then the entries.
    static constexpr int kDeviceInfoSize = 36;
    static constexpr int kDeviceListHeader = 4;

    // The general socket constants (these the system headers still have; the system table
    // checks them against its own).
    static constexpr int kSolSocket = 1;
    static constexpr int kSoError = 4;
    static constexpr int kSoRcvTimeo = 20;
    static constexpr int kSoSndTimeo = 21;
    static constexpr int kShutRdWr = 2;
    static constexpr short kPollIn = 0x001;
    static constexpr short kPollOut = 0x004;
    static constexpr short kPollErr = 0x008;
    static constexpr short kPollHup = 0x010;

    static constexpr int kEAgain = 11;
    static constexpr int kEAddrInUse = 98;
    static constexpr int kEAfNoSupport = 97;
    static constexpr int kEProtoNoSupport = 93;
    static constexpr int kESockTNoSupport = 94;
    static constexpr int kEConnReset = 104;
    static constexpr int kETimedOut = 110;
    static constexpr int kEConnRefused = 111;
    static constexpr int kEInProgress = 115;

    struct PollEntry {
        int fd = -1;
        short events = 0;
        short revents = 0;
    };

    virtual ~IrdaSocketCalls() = default;

    // A descriptor, or -1 with the reason in Errno; the calls below return 0 or -1 likewise.
    virtual int Socket(int family, int type, int protocol) = 0;
    virtual int Bind(int fd, const std::uint8_t* address, int length) = 0;
    virtual int Listen(int fd, int backlog) = 0;
    virtual int Accept(int fd) = 0;  // a descriptor, or -1
    virtual int Connect(int fd, const std::uint8_t* address, int length) = 0;
    // length: in, the room at value; out, the bytes written there.
    virtual int GetSockOpt(int fd, int level, int option, std::uint8_t* value, int* length) = 0;
    // setsockopt(SOL_SOCKET, option, struct timeval) for SO_SNDTIMEO or SO_RCVTIMEO.
    virtual int SetTimeout(int fd, int option, int ms) = 0;
    virtual int SetNonBlocking(int fd) = 0;
    // poll(): the count of entries with revents set, 0 on time-out, -1 on failure.
    virtual int Poll(PollEntry* entries, int count, int timeout_ms) = 0;
    // Bytes moved, or -1; Recv gives 0 once the peer has closed. Send never raises SIGPIPE.
    virtual int Send(int fd, const std::uint8_t* data, int length) = 0;
    virtual int Recv(int fd, std::uint8_t* data, int length, bool peek) = 0;
    virtual int Shutdown(int fd, int how) = 0;
    virtual int Close(int fd) = 0;
    // errno after the last failed call of this thread.
    virtual int Errno() = 0;
};

// The system's own calls; only builds that have POSIX sockets define it.
std::unique_ptr<IrdaSocketCalls> SystemIrdaSocketCalls();

}  // namespace sorvanto
