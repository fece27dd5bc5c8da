#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/locked_list.h"
#include "common/object_limits.h"
#include "irlink/auth_lockout.h"
#include "irlink/irda_session.h"

namespace sorvanto {

// The OBEX server that handsets push their objects to. It answers CONNECT, PUT and
// DISCONNECT, gathers the Body of the PUTs of one object in "rdata.txt", and when the last PUT
// has arrived moves that file to "TmpFiles\" + eight hex digits of the time + " " + the object
// name and appends a notice (key kNoticeKey, kNoticeSize bytes: the zero-terminated path) to
// the receive queue shared with its owner. Handlers run on the worker thread; the queue is the
// only state shared with other threads.
//
// Two things are written to the queue besides the notices: log lines (key kLogKey, the
// zero-terminated Shift_JIS text, at most kLogSize bytes) for an object refused as too large and
// for a peer refused for its digest answer.
//
// On a link reachable from a network (a TCP listener on a non-loopback address) every CONNECT
// is challenged with a fresh nonce and a push is taken only after the answer MD5(nonce ":"
// passcode) came back right; a missing or wrong answer is answered 0xC3 and the link closed. A
// link that only a handset in reach can use (IrDA, loopback) keeps the handsets' own exchange.
// Wrong answers are counted per peer host (AuthLockout): a host that keeps guessing has its
// connections closed at once, without a challenge, for a growing time, told once per lock in
// the log.
class ObexServerSession : public IrdaSession {
public:
    static constexpr const char* kWorkFile = "rdata.txt";
    static constexpr const char* kTargetFolder = "TmpFiles\\";
    static constexpr int kNoticeKey = 1;
    static constexpr int kNoticeSize = 260;
    static constexpr int kLogKey = 2;
    static constexpr int kLogSize = 256;
    // Bodies of one object beyond this are refused (the importers read nothing larger).
    static constexpr std::size_t kMaxObjectBytes = sorvanto::kMaxObjectBytes;
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
    // The four digits a peer on a network answers the challenge with ("0000" until set).
    void SetPasscode(std::string passcode);
    // How many wrong answers lock a host out, and for how long; an empty clock keeps the one
    // in use (at first the system's steady clock). Call while the server is not running.
    void SetLockout(AuthLockout::Limits limits, AuthLockout::Clock clock = {});

private:
    int HandleConnect(const std::uint8_t* p, int length);
    int HandleChallengedConnect(const std::uint8_t* p, int length);
    int HandlePut(const std::uint8_t* p, int length);
    int RefuseTooLarge();
    int RefusePeer();
    // The peer's address for the log and the lockout ("?" when the link cannot tell).
    std::string Peer() const;
    int FinishObject();
    void Answer(const std::uint8_t* bytes, int length);
    void AnswerCode(std::uint8_t code);
    void Log(const std::string& text);
    bool DigestIsRight(const std::uint8_t* p, int length) const;

    ByteList* queue_;
    std::string name_;
    std::string passcode_ = "0000";
    std::uint64_t body_bytes_ = 0;  // of the object being received
    // The challenge of the current connection, when the link needs one.
    bool challenged_ = false;
    bool authenticated_ = false;
    std::array<std::uint8_t, 16> nonce_{};
    AuthLockout::Clock lockout_clock_;
    AuthLockout lockout_;
};

}  // namespace sorvanto
