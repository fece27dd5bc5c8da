#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/locked_list.h"
#include "irlink/irda_session.h"

namespace sorvanto {

// The OBEX server that handsets push their objects to. It answers CONNECT, PUT and
// DISCONNECT, gathers the Body of the PUTs of one object in "rdata.txt", and when the last PUT
// has arrived moves that file to "TmpFiles\" + eight hex digits of the time + " " + the object
// name and appends a notice (key kNoticeKey, kNoticeSize bytes: the zero-terminated path) to
// the receive queue shared with its owner. Handlers run on the worker thread; the queue is the
// only state shared with other threads.
class ObexServerSession : public IrdaSession {
public:
    static constexpr const char* kWorkFile = "rdata.txt";
    static constexpr const char* kTargetFolder = "TmpFiles\\";
    static constexpr int kNoticeKey = 1;
    static constexpr int kNoticeSize = 260;
    // Longest object name kept (the rest of a Name is cut).
    static constexpr std::size_t kMaxNameLength = 63;
    // Largest CONNECT that is echoed back; a longer one is refused.
    static constexpr int kMaxConnectEcho = 1024;

    // queue must outlive the session.
    ObexServerSession(std::unique_ptr<LinkApi> link, ByteList* queue);
    ~ObexServerSession() override;

    // OpenServer for a server that is not open (at start, or after Stop), telling apart why it
    // failed: 0; -1 no socket (on the IrDA link: this system has no IrDA); -2 the service
    // "OBEX" is taken; -3 listen failed; -4 the events could not be selected.
    int Open();
    // The log line for a failed Open, in the user's words; irda: the link is the IrDA one.
    static std::string OpenFailureText(int result, bool irda);

    // Every connection starts a new object, whether or not it begins with a CONNECT.
    int OnConnected(int kind) override;
    // Answers the request; 1 once an object is complete (the connection is then closed).
    int OnPacket(const std::uint8_t* packet, int length) override;

    const std::string& ObjectName() const { return name_; }

private:
    int HandleConnect(const std::uint8_t* p, int length);
    int HandlePut(const std::uint8_t* p, int length);
    int FinishObject();
    void Answer(const std::uint8_t* bytes, int length);

    ByteList* queue_;
    std::string name_;
};

}  // namespace sorvanto
