#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/irda_socket_calls.h"
#include "platform/scripted_link.h"

namespace sorvanto::test {

// Linux's IrDA socket calls for tests: the far ends are scripted on a ScriptedLink, as for the
// Winsock stack, and the calls behave as the kernel's do (a non-blocking connect in progress,
// poll levels, EAGAIN for an empty discovery log and for a read with nothing there, the device
// list in its 36-byte entries). Every call that carries an address or an option is recorded with
// its bytes.
class ScriptedIrdaSocketCalls : public IrdaSocketCalls {
public:
    struct Call {
        std::string name;  // "socket", "bind", "listen", "connect", "getsockopt", "settimeout", "shutdown"
        std::vector<int> args;
        std::string bytes;
    };

    ScriptedIrdaSocketCalls();
    ScriptedLink& Far() { return far_; }
    void FailSocket(int errno_value) { fail_socket_ = errno_value; }
    void FailBind(int errno_value) { fail_bind_ = errno_value; }
    // The errno a read meets where the peer's link dropped (0: an orderly close).
    void SetCloseErrno(int errno_value) { close_errno_ = errno_value; }
    // Polls that find nothing return at once and only add their time-out to WaitedMs.
    void FastWaits(bool on) { fast_waits_ = on; }
    // What the enumeration returns instead of the devices of Far() (cut to the room given).
    void SetRawDeviceList(std::string bytes) {
        raw_devices_ = std::move(bytes);
        raw_set_ = true;
    }

    std::vector<Call> Calls(const std::string& name) const;
    int OpenSockets() const;
    int WaitedMs() const;
    int WouldBlockReads() const;

    int Socket(int family, int type, int protocol) override;
    int Bind(int fd, const std::uint8_t* address, int length) override;
    int Listen(int fd, int backlog) override;
    int Accept(int fd) override;
    int Connect(int fd, const std::uint8_t* address, int length) override;
    int GetSockOpt(int fd, int level, int option, std::uint8_t* value, int* length) override;
    int SetTimeout(int fd, int option, int ms) override;
    int SetNonBlocking(int fd) override;
    int Poll(PollEntry* entries, int count, int timeout_ms) override;
    int Send(int fd, const std::uint8_t* data, int length) override;
    int Recv(int fd, std::uint8_t* data, int length, bool peek) override;
    int Shutdown(int fd, int how) override;
    int Close(int fd) override;
    int Errno() override;

private:
    struct Fd {
        bool listening = false;
        bool acceptable = false;
        bool connecting = false;
        bool connected = false;
        int so_error = 0;
        std::string pending;  // bytes taken from the far end and not yet read
        bool peer_closed = false;
    };

    int Fail(int errno_value);
    void Record(std::string name, std::vector<int> args, std::string bytes = {});
    // Takes the far end's events into the descriptors' levels (under mutex_).
    void Drain();
    short Levels(Fd& f);

    ScriptedLink far_;
    LinkEvent event_ = kNoEvent;
    mutable std::mutex mutex_;
    std::map<int, Fd> fds_;
    std::vector<Call> calls_;
    int fail_socket_ = 0;
    int fail_bind_ = 0;
    int close_errno_ = 0;
    bool fast_waits_ = false;
    int waited_ms_ = 0;
    int would_block_reads_ = 0;
    int open_sockets_ = 0;
    std::string raw_devices_;
    bool raw_set_ = false;
};

}  // namespace sorvanto::test
