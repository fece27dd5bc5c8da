#include "irlink/obex_put_client.h"

#include <cstring>

#include "irlink/obex_codes.h"
#include "platform/fs.h"
#include "platform/link_settings.h"

namespace sorvanto {

ObexPutClient::ObexPutClient(int model_id, int challenge, std::unique_ptr<LinkApi> link)
    : IrdaSession(link ? std::move(link) : MakeConfiguredLink()), model_id_(model_id), challenge_(challenge) {
    passcode_ = LinkSettings::Load().passcode;
}

ObexPutClient::~ObexPutClient() { CloseObjectFile(); }

void ObexPutClient::SetPasscode(std::string_view passcode) {
    if (LinkSettings::CheckedPasscode(passcode) == passcode) passcode_ = std::string(passcode);
}

Md5::Digest ObexPutClient::ChallengeNonce() { return Md5::Of("", 0); }

Md5::Digest ObexPutClient::ChallengeDigest(const std::uint8_t nonce[16], std::string_view passcode) {
    Md5 md5;
    md5.Update(nonce, 16);
    md5.Update(":", 1);
    md5.Update(passcode.data(), passcode.size());
    return md5.Final();
}

bool ObexPutClient::FindChallengeNonce(const std::uint8_t* packet, int length, std::uint8_t nonce[16]) {
    int offset = 7;
    while (offset + 3 <= length) {
        const std::uint8_t id = packet[offset];
        int size;
        switch (id & 0xC0) {
        case 0x80: size = 2; break;
        case 0xC0: size = 5; break;
        default: size = obex::ReadU16(packet + offset + 1); break;
        }
        if (size < 2 || offset + size > length) return false;
        if (id == obex::kHeaderAuthChallenge && size >= 3) {
            // Tagged fields: tag, length, value; the nonce is tag 0x00 with 16 bytes.
            int t = offset + 3;
            const int end = offset + size;
            while (t + 2 <= end) {
                const int tag = packet[t];
                const int tag_len = packet[t + 1];
                if (t + 2 + tag_len > end) return false;
                if (tag == 0x00 && tag_len == 16) {
                    std::memcpy(nonce, packet + t + 2, 16);
                    return true;
                }
                t += 2 + tag_len;
            }
            return false;
        }
        offset += size;
    }
    return false;
}

bool ObexPutClient::SetObjectName(std::string_view name) {
    if (name.size() > kMaxNameLength) {
        name_.clear();
        return false;
    }
    name_ = std::string(name);
    return true;
}

bool ObexPutClient::OpenObjectFile(const std::string& stored_path) {
    CloseObjectFile();
    const std::int64_t size = fs::FileSize(stored_path);
    if (size < 0) return false;
    file_ = fs::OpenFile(stored_path, "rb");
    if (!file_) return false;
    file_size_ = size;
    return true;
}

void ObexPutClient::CloseObjectFile() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

int ObexPutClient::ReadObject(std::uint8_t* into, int max) {
    if (!file_ || max <= 0) return 0;
    return static_cast<int>(std::fread(into, 1, static_cast<std::size_t>(max), file_));
}

int ObexPutClient::Transfer(TransferMonitor* monitor) {
    if (OpenClient() != 0) return -1;
    if (EnumerateDevices() != 0 || DeviceCount() == 0) return -1;
    BeginClientRun();
    const int r = Run(monitor);
    if (r != 0) return r;
    return state_ == kDisconnectSent ? 0 : -3;
}

int ObexPutClient::OnConnected(int kind) {
    if (kind != kOutgoing) return 0;
    packet_.fill(0);
    std::uint8_t* p = packet_.data();
    p[0] = obex::kConnect;
    obex::WriteU16(p + 1, 7);
    p[3] = VersionByte();
    p[4] = 0x00;
    obex::WriteU16(p + 5, kMaxPacket);
    int length = 7;
    if (challenge_ == 1) {
        p[7] = obex::kHeaderAuthChallenge;
        obex::WriteU16(p + 8, 21);
        p[10] = 0x00;
        p[11] = 0x10;
        const Md5::Digest nonce = ChallengeNonce();
        std::memcpy(p + 12, nonce.data(), 16);
        length = 28;
        obex::WriteU16(p + 1, length);
    }
    Send(p, length);
    state_ = kConnectSent;
    return 0;
}

void ObexPutClient::SendFirstPut() {
    std::uint8_t* p = packet_.data();
    const int n = static_cast<int>(name_.size());
    p[0] = obex::kPut;
    p[3] = obex::kHeaderName;
    obex::WriteU16(p + 4, 2 * n + 5);
    for (int i = 0; i < n; ++i) {
        p[6 + 2 * i] = 0x00;
        p[7 + 2 * i] = static_cast<std::uint8_t>(name_[static_cast<std::size_t>(i)]);
    }
    p[6 + 2 * n] = 0x00;
    p[7 + 2 * n] = 0x00;
    int length = 2 * n + 8;
    const auto size = static_cast<std::uint32_t>(file_size_ > 0xFFFFFFFFLL ? 0xFFFFFFFFLL : file_size_);
    p[length] = obex::kHeaderLength;
    p[length + 1] = static_cast<std::uint8_t>(size >> 24);
    p[length + 2] = static_cast<std::uint8_t>(size >> 16);
    p[length + 3] = static_cast<std::uint8_t>(size >> 8);
    p[length + 4] = static_cast<std::uint8_t>(size);
    const int got = ReadObject(p + 2 * n + 16, 496 - 2 * n);
    if (got > 0) {
        p[2 * n + 13] = obex::kHeaderBody;
        obex::WriteU16(p + 2 * n + 14, got + 3);
        length = 2 * n + 16 + got;
    }
    // An empty object: the first PUT carries the Name alone.
    obex::WriteU16(p + 1, length);
    Send(p, length);
    state_ = kPutting;
}

void ObexPutClient::SendNextPut() {
    std::uint8_t* p = packet_.data();
    const int got = ReadObject(p + 6, kMaxPacket - 6);
    if (got > 0) {
        p[0] = obex::kPut;
        obex::WriteU16(p + 1, got + 6);
        p[3] = obex::kHeaderBody;
        obex::WriteU16(p + 4, got + 3);
        Send(p, got + 6);
        return;
    }
    const std::uint8_t last[6] = {obex::kPutFinal, 0x00, 0x06, obex::kHeaderEndOfBody, 0x00, 0x03};
    Send(last, 6);
    state_ = kLastPutSent;
}

void ObexPutClient::SendAnswerToChallenge(const std::uint8_t* response, int length) {
    std::uint8_t nonce[16];
    if (length < 7 || !FindChallengeNonce(response, length, nonce)) {
        Stop(0);
        return;
    }
    const Md5::Digest digest = ChallengeDigest(nonce, passcode_);
    std::uint8_t* p = packet_.data();
    p[0] = obex::kConnect;
    obex::WriteU16(p + 1, 28);
    std::memcpy(p + 3, response + 3, 4);  // the handset's version, flags and packet size
    p[7] = obex::kHeaderAuthResponse;
    obex::WriteU16(p + 8, 21);
    p[10] = 0x00;
    p[11] = 0x10;
    std::memcpy(p + 12, digest.data(), 16);
    Send(p, 28);
}

int ObexPutClient::OnPacket(const std::uint8_t* packet, int length) {
    packet_.fill(0);
    if (!packet || length < 3) {
        Stop(0);
        return 0;
    }
    const std::uint8_t code = packet[0];
    switch (state_) {
    case kConnectSent:
        if (code == obex::kSuccess) SendFirstPut();
        else if (code == obex::kUnauthorized) SendAnswerToChallenge(packet, length);
        else Stop(0);
        break;
    case kPutting:
        if (code == obex::kContinue) SendNextPut();
        else Stop(0);
        break;
    case kLastPutSent:
        if (code == obex::kSuccess) {
            const std::uint8_t bye[3] = {obex::kDisconnect, 0x00, 0x03};
            Send(bye, 3);
            state_ = kDisconnectSent;
        } else {
            Stop(0);
        }
        break;
    default: Stop(0); break;
    }
    return 0;
}

}  // namespace sorvanto
