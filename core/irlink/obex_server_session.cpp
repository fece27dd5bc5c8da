#include "irlink/obex_server_session.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "common/sjis.h"
#include "irlink/md5.h"
#include "irlink/obex_codes.h"
#include "platform/clock.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {

// A name with these would make no file name on the PC.
bool IsReplaced(char c) {
    return std::strchr("\"*/:;<>?\\|", c) != nullptr && c != '\0';
}

// How far a header at p (with left bytes of packet from it) extends, or 0 when it is
// malformed: an OBEX header's two high bits tell a 1-byte or 4-byte value from a counted one.
int HeaderSize(const std::uint8_t* p, int left) {
    switch (p[0] & 0xC0) {
    case 0x80: return left >= 2 ? 2 : 0;
    case 0xC0: return left >= 5 ? 5 : 0;
    default: {
        if (left < 3) return 0;
        const int size = obex::ReadU16(p + 1);
        return size >= 3 && size <= left ? size : 0;
    }
    }
}

// The bytes the Body and End of Body headers of a PUT carry, walked as HandlePut walks them.
std::uint64_t BodyBytes(const std::uint8_t* p, int length) {
    std::uint64_t total = 0;
    for (int offset = 3; offset < length;) {
        const std::uint8_t* h = p + offset;
        const int size = HeaderSize(h, length - offset);
        if (size == 0) break;
        if (h[0] == obex::kHeaderBody || h[0] == obex::kHeaderEndOfBody) total += static_cast<std::uint64_t>(size - 3);
        offset += size;
    }
    return total;
}

// Compares without stopping at the first difference, so the time taken tells a guesser nothing.
bool SameDigest(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint8_t diff = 0;
    for (int i = 0; i < 16; ++i) diff |= static_cast<std::uint8_t>(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace

namespace {

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ObexServerSession::ObexServerSession(std::unique_ptr<LinkApi> link, ByteList* queue)
    : IrdaSession(std::move(link)),
      queue_(queue),
      lockout_clock_(SteadyMs),
      lockout_(AuthLockout::Limits{}, [this] { return lockout_clock_(); }) {}

ObexServerSession::~ObexServerSession() { Stop(1); }

void ObexServerSession::SetPasscode(std::string passcode) { passcode_ = std::move(passcode); }

void ObexServerSession::SetLockout(AuthLockout::Limits limits, AuthLockout::Clock clock) {
    lockout_.SetLimits(limits);
    if (clock) lockout_clock_ = std::move(clock);
}

int ObexServerSession::Open() {
    const int created = CreateSocket(0);
    if (created != 0) return created;
    return OpenServer() == 0 ? 0 : -4;
}

std::string ObexServerSession::OpenFailureText(int result, bool irda) {
    if (irda && result == -1)
        return sjis::Lit("このパソコンでは赤外線通信(IrDA)が使えないため、携帯電話との送受信はできません");
    if (irda && result == -2)
        return sjis::Lit("赤外線のOBEXサービスを他のプログラムが使っているため、携帯電話からの受信はできません");
    return sjis::Lit("携帯電話からの受信を開始できません");
}

void ObexServerSession::Answer(const std::uint8_t* bytes, int length) { Send(bytes, length); }

void ObexServerSession::AnswerCode(std::uint8_t code) {
    const std::uint8_t answer[3] = {code, 0x00, 0x03};
    Answer(answer, 3);
}

void ObexServerSession::Log(const std::string& text) {
    if (!queue_) return;
    char line[kLogSize] = {};
    const std::string cut = sjis::CutBytes(text, kLogSize - 1);
    std::memcpy(line, cut.data(), cut.size());
    queue_->AddCopy(kLogKey, static_cast<int>(cut.size()) + 1, line);
}

int ObexServerSession::OnConnected(int kind) {
    if (kind == kIncoming) {
        // A handset that vanished in the middle of an object must not leave its half behind
        // for the next one, nor its name.
        fs::DeleteFile(kWorkFile);
        name_.clear();
        body_bytes_ = 0;
        // A challenge answered on one connection admits nothing on the next.
        challenged_ = false;
        authenticated_ = false;
        // A host shut out for guessing gets no nonce to answer: the connection is closed.
        if (Link() && Link()->ReachableFromNetwork() && lockout_.LockedFor(Peer()) > 0) return 1;
    }
    return 0;
}

int ObexServerSession::OnPacket(const std::uint8_t* packet, int length) {
    if (!packet || length < 3) return 0;
    switch (packet[0]) {
    case obex::kConnect: return HandleConnect(packet, length);
    case obex::kPut:
    case obex::kPutFinal: return HandlePut(packet, length);
    case obex::kDisconnect: {
        const std::uint8_t ok[3] = {obex::kSuccess, 0x00, 0x03};
        Answer(ok, 3);
        return 0;
    }
    default: return 0;  // GET, SETPATH, ABORT and the rest go unanswered
    }
}

int ObexServerSession::HandleConnect(const std::uint8_t* p, int length) {
    fs::DeleteFile(kWorkFile);
    body_bytes_ = 0;
    if (length < 7) {
        AnswerCode(obex::kBadRequest);
        return 0;
    }
    if (Link() && Link()->ReachableFromNetwork() && !authenticated_) return HandleChallengedConnect(p, length);
    if (length > 7 && p[7] == obex::kHeaderAuthChallenge) {
        if (length > kMaxConnectEcho) {
            AnswerCode(obex::kEntityTooLarge);
            return 0;
        }
        // The handset's challenge goes back to it as ours.
        std::vector<std::uint8_t> echo(p, p + length);
        echo[0] = obex::kUnauthorized;
        Answer(echo.data(), length);
        return 0;
    }
    // No headers, an authentication response (accepted as it is) or headers this server has
    // no use for (Target, Count): the connection is accepted with the handset's own values.
    const std::uint8_t ok[7] = {obex::kSuccess, 0x00, 0x07, p[3], p[4], p[5], p[6]};
    Answer(ok, 7);
    return 0;
}

// Any host of the network could connect: the first CONNECT gets a fresh challenge, the next
// one must carry the right answer to it.
int ObexServerSession::HandleChallengedConnect(const std::uint8_t* p, int length) {
    if (challenged_) {
        if (!DigestIsRight(p, length)) return RefusePeer();
        authenticated_ = true;
        lockout_.Succeeded(Peer());
        const std::uint8_t ok[7] = {obex::kSuccess, 0x00, 0x07, p[3], p[4], p[5], p[6]};
        Answer(ok, 7);
        return 0;
    }
    std::random_device random;
    for (auto& b : nonce_) b = static_cast<std::uint8_t>(random());
    challenged_ = true;
    // Laid out as a handset lays out its own challenge: the nonce at offset 12.
    std::uint8_t challenge[28] = {obex::kUnauthorized, 0x00, 28, p[3], p[4], p[5], p[6],
                                  obex::kHeaderAuthChallenge, 0x00, 0x15, 0x00, 0x10};
    std::memcpy(challenge + 12, nonce_.data(), nonce_.size());
    Answer(challenge, 28);
    return 0;
}

// The request digest of an Authenticate Response header among the CONNECT's headers must be
// MD5(nonce ":" passcode).
bool ObexServerSession::DigestIsRight(const std::uint8_t* p, int length) const {
    std::string input(reinterpret_cast<const char*>(nonce_.data()), nonce_.size());
    input += ":" + passcode_;
    const Md5::Digest expected = Md5::Of(input);
    for (int offset = 7; offset < length;) {
        const std::uint8_t* h = p + offset;
        const int size = HeaderSize(h, length - offset);
        if (size == 0) return false;
        offset += size;
        if (h[0] != obex::kHeaderAuthResponse) continue;
        // Tagged fields: tag, length, value.
        for (int field = 3; field + 2 <= size;) {
            const int tag = h[field];
            const int field_length = h[field + 1];
            if (field + 2 + field_length > size) break;
            if (tag == 0x00 && field_length == 16) return SameDigest(h + field + 2, expected.data());
            field += 2 + field_length;
        }
    }
    return false;
}

std::string ObexServerSession::Peer() const {
    std::string peer = PeerAddress();
    return peer.empty() ? "?" : peer;
}

int ObexServerSession::RefusePeer() {
    AnswerCode(obex::kForbidden);
    fs::DeleteFile(kWorkFile);
    const std::string peer = Peer();
    Log(sjis::Lit("認証できない接続を拒否しました (") + peer + ")");
    if (const std::int64_t lock_ms = lockout_.Failed(peer)) {
        const std::string seconds = std::to_string((lock_ms + 999) / 1000);
        Log(sjis::Lit("認証に続けて失敗したため ") + AuthLockout::HostOf(peer) + sjis::Lit(" からの接続を ") + seconds +
            sjis::Lit(" 秒間拒否します"));
    }
    return 1;  // the link is closed
}

int ObexServerSession::RefuseTooLarge() {
    AnswerCode(obex::kEntityTooLarge);
    fs::DeleteFile(kWorkFile);
    body_bytes_ = 0;
    char limit[32];
    std::snprintf(limit, sizeof limit, "%zu", kMaxObjectBytes);
    Log(sjis::Lit("受信データが大きすぎるため破棄しました (") + limit + sjis::Lit("バイト超)"));
    return 1;  // the link is closed
}

int ObexServerSession::HandlePut(const std::uint8_t* p, int length) {
    if (Link() && Link()->ReachableFromNetwork() && !authenticated_) return RefusePeer();
    // A peer that never ends its object would fill the disk through the work file.
    const std::uint64_t incoming = BodyBytes(p, length);
    if (body_bytes_ + incoming > kMaxObjectBytes) return RefuseTooLarge();
    body_bytes_ += incoming;

    const bool last = p[0] == obex::kPutFinal;
    AnswerCode(last ? obex::kSuccess : obex::kContinue);

    bool complete = false;
    int offset = 3;
    while (offset < length) {
        const std::uint8_t* h = p + offset;
        const int size = HeaderSize(h, length - offset);
        if (size == 0) break;  // a header that does not fit or would not advance ends the walk
        if (h[0] == obex::kHeaderName) {
            name_.clear();
            for (int i = 4; i < size && name_.size() < kMaxNameLength; i += 2) {
                if (h[i] == 0) break;
                name_.push_back(static_cast<char>(h[i]));
            }
        } else if (h[0] == obex::kHeaderBody || h[0] == obex::kHeaderEndOfBody) {
            const std::string_view value(reinterpret_cast<const char*>(h + 3), static_cast<std::size_t>(size - 3));
            if (fs::AppendFile(kWorkFile, value) && last) complete = true;
        }
        offset += size;
    }
    return complete ? FinishObject() : 0;
}

int ObexServerSession::FinishObject() {
    body_bytes_ = 0;
    std::string name = name_;
    for (char& c : name)
        if (IsReplaced(c)) c = '_';
    fs::CreateFolder("TmpFiles");
    // Two objects of one name within one second would share a target: the later one takes the
    // next free time value instead of being lost.
    auto stamp = static_cast<std::uint32_t>(clock::Now());
    std::string target;
    bool moved = false;
    for (int attempt = 0; attempt < 1000 && !moved; ++attempt, ++stamp) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", stamp);
        target = std::string(kTargetFolder) + hex + " " + name;
        if (fs::Exists(target)) continue;
        moved = fs::MoveFile(kWorkFile, target);
        if (!moved && !fs::Exists(target)) break;  // the work file itself is the trouble
    }
    if (moved && queue_) {
        char notice[kNoticeSize] = {};
        std::memcpy(notice, target.data(), std::min(target.size(), sizeof notice - 1));
        queue_->AddCopy(kNoticeKey, kNoticeSize, notice);
    }
    return 1;
}

}  // namespace sorvanto
