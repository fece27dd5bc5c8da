#pragma once

#include "platform/irda_stack.h"

namespace sorvanto {

// The IrDA stack of Windows: each call is the Winsock 2 function of the same name. Built only
// for Windows; everything that decides anything is in IrdaLink.
class IrdaWinsock : public IrdaStack {
public:
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
};

}  // namespace sorvanto
