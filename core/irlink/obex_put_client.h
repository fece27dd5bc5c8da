#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "irlink/irda_session.h"
#include "irlink/md5.h"

namespace sorvanto {

class TransferMonitor;

// Sends one object file to the handset over OBEX: discovery, CONNECT (with an authentication
// challenge when asked, and the digest answer when the handset challenges), PUT in packets of
// at most kMaxPacket bytes, the empty last PUT, DISCONNECT. The whole exchange runs
// synchronously on the calling thread inside Transfer, under a TransferMonitor.
//
// This is the base of the send jobs, one per category of data. A send job:
//   - passes the model id and the challenge flag to this constructor (and, in tests, the
//     link to use; by default the link configured in ".\Sorvanto.ini");
//   - implements SendObject: it sets the object name (SetObjectName, from the argument or
//     from its category's name table for ModelId()), opens the object file (OpenObjectFile,
//     the argument or its own default scratch file) and returns Transfer(monitor), or -1 when
//     the name is refused or the file cannot be opened.
// One object per instance: create the job, call SendObject once, destroy it.
class ObexPutClient : public IrdaSession {
public:
    static constexpr int kMaxPacket = 512;
    // Longest object name the name field holds.
    static constexpr std::size_t kMaxNameLength = 31;
    // Progress of the exchange: what was sent last.
    enum State { kConnectSent = 0, kPutting = 1, kLastPutSent = 2, kDisconnectSent = 3 };

    // link nullptr: the link that ".\Sorvanto.ini" configures. The passcode of the digest
    // answer is read from the same settings.
    ObexPutClient(int model_id, int challenge, std::unique_ptr<LinkApi> link = nullptr);
    ~ObexPutClient() override;

    // Sends the object; see the class comment. local_path / object_name may be null to use
    // the job's defaults.
    virtual int SendObject(const std::string* local_path, const std::string* object_name,
                           TransferMonitor* monitor) = 0;

    // Runs the exchange with the opened object file under the set name. 0 success; -1 no
    // handset found or no connection; -3 connected but the exchange did not reach DISCONNECT.
    int Transfer(TransferMonitor* monitor);

    int OnConnected(int kind) override;
    // Always 0; an unexpected response stops the loop instead.
    int OnPacket(const std::uint8_t* packet, int length) override;

    int ModelId() const { return model_id_; }
    int Challenge() const { return challenge_; }
    int CurrentState() const { return state_; }
    const std::string& ObjectName() const { return name_; }
    const std::string& Passcode() const { return passcode_; }
    // Four ASCII digits; anything else is ignored.
    void SetPasscode(std::string_view passcode);

    // The nonce this client challenges with: the digest of empty input, the same every time.
    static Md5::Digest ChallengeNonce();
    // The answer to a challenge: MD5 of nonce ":" passcode.
    static Md5::Digest ChallengeDigest(const std::uint8_t nonce[16], std::string_view passcode);
    // The 16-byte nonce (tag 0x00) of an Authenticate Challenge header in the headers of a
    // response (from offset 7); false when there is none. Tags may come in any order.
    static bool FindChallengeNonce(const std::uint8_t* packet, int length, std::uint8_t nonce[16]);

protected:
    // The name the object is put under; false (name left empty) for one longer than
    // kMaxNameLength, which the handset's name field could not take.
    bool SetObjectName(std::string_view name);
    // Opens the file (a stored path) for binary reading; false when it cannot be opened.
    bool OpenObjectFile(const std::string& stored_path);
    void CloseObjectFile();

private:
    std::uint8_t VersionByte() const { return (model_id_ == 0 || model_id_ == 1) ? 0x12 : 0x10; }
    void SendFirstPut();
    void SendNextPut();
    void SendAnswerToChallenge(const std::uint8_t* response, int length);
    int ReadObject(std::uint8_t* into, int max);

    int state_ = kConnectSent;
    std::FILE* file_ = nullptr;
    std::int64_t file_size_ = 0;
    int model_id_;
    int challenge_;
    std::string name_;
    std::string passcode_;
    std::array<std::uint8_t, 1024> packet_{};
};

}  // namespace sorvanto
