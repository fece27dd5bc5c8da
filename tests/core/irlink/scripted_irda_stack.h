#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/irda_stack.h"
#include "platform/scripted_link.h"

namespace sorvanto::test {

// An IrDA stack for tests: the far ends are scripted on a ScriptedLink (peers, devices,
// connect outcomes), and every call the IrDA link makes is recorded with its arguments as the
// system would receive them (socket addresses and option values as bytes).
class ScriptedIrdaStack : public IrdaStack {
public:
    struct Call {
        std::string
            name;  // "socket", "bind", "listen", "connect", "getsockopt", "setsockopt", "select", "shutdown"
        std::vector<int> args;
        std::string bytes;
    };

    ScriptedLink& Far() { return far_; }
    // A failing call: its result is kSocketError (or kInvalid) and LastError the given code.
    void FailSocket(int error) { fail_socket_ = error; }
    void FailBind(int error) { fail_bind_ = error; }
    // What the device enumeration returns instead of the devices of Far().
    void SetRawDeviceList(std::string bytes) {
        raw_devices_ = std::move(bytes);
        raw_set_ = true;
    }
    // Error code the close event carries (a peer that left the beam: connection reset).
    void SetCloseError(int error) { close_error_ = error; }
    // Waits return at once and only add their time-out to WaitedMs (for long waits in tests).
    void FastWaits(bool on) { fast_waits_ = on; }

    std::vector<Call> Calls(const std::string& name) const;
    int WaitedMs() const;
    int WouldBlockReads() const;
    int OpenSockets() const;

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
    void Record(std::string name, std::vector<int> args, std::string bytes = {});
    int Fail(int error);

    ScriptedLink far_;
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    int last_error_ = 0;
    int fail_socket_ = 0;
    int fail_bind_ = 0;
    std::string raw_devices_;
    bool raw_set_ = false;
    int close_error_ = 0;
    bool fast_waits_ = false;
    int waited_ms_ = 0;
    int would_block_reads_ = 0;
    int open_sockets_ = 0;
};

}  // namespace sorvanto::test
