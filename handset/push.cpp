#include "push.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "digest.h"

namespace handset {

namespace {

constexpr int kAnswerTimeoutMs = 10000;

std::string NameHeader(const std::string& name) {
    std::string value;
    for (char c : name) {
        value.push_back('\0');
        value.push_back(c);
    }
    value.append(2, '\0');
    return std::string(1, '\x01') + U16(static_cast<int>(value.size()) + 3) + value;
}

std::string LengthHeader(std::size_t size) {
    std::string h(1, '\xC3');
    for (int i = 3; i >= 0; --i) h.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
    return h;
}

std::string Packet(char opcode, const std::string& headers) {
    return std::string(1, opcode) + U16(static_cast<int>(headers.size()) + 3) + headers;
}

// Sends a request and reads its answer; false with a line on stderr when that fails.
bool Exchange(Stream& fd, const std::string& request, std::string* answer, const char* what) {
    if (!WriteAll(fd, request)) {
        std::fprintf(stderr, "sorvanto-handset: the link broke while sending %s\n", what);
        return false;
    }
    if (ReadPacket(fd, kAnswerTimeoutMs, answer) != 1) {
        std::fprintf(stderr, "sorvanto-handset: no answer to %s\n", what);
        return false;
    }
    return true;
}

// The nonce of the Authenticate Challenge header of a 0xC1 answer to CONNECT (tag 0x00, 16
// bytes); empty when the answer carries none.
std::string ChallengeNonce(const std::string& answer) {
    std::size_t off = 7;
    while (off + 3 <= answer.size()) {
        const auto id = static_cast<unsigned char>(answer[off]);
        std::size_t size;
        if ((id & 0xC0) == 0x80) size = 2;
        else if ((id & 0xC0) == 0xC0) size = 5;
        else size = (static_cast<std::uint8_t>(answer[off + 1]) << 8) | static_cast<std::uint8_t>(answer[off + 2]);
        if (size < 2 || off + size > answer.size()) break;
        if (id == 0x4D) {
            for (std::size_t f = off + 3; f + 2 <= off + size;) {
                const auto tag = static_cast<unsigned char>(answer[f]);
                const std::size_t length = static_cast<std::uint8_t>(answer[f + 1]);
                if (f + 2 + length > off + size) break;
                if (tag == 0x00 && length == 16) return answer.substr(f + 2, 16);
                f += 2 + length;
            }
        }
        off += size;
    }
    return {};
}

// A CONNECT that carries the digest answer to the nonce: MD5(nonce ":" passcode).
std::string AnsweredConnect(const std::string& nonce, const std::string& passcode, int packet_size) {
    const auto digest = Md5(nonce + ":" + passcode);
    const std::string response = std::string("\x4E\x00\x15\x00\x10", 5) +
                                 std::string(reinterpret_cast<const char*>(digest.data()), digest.size());
    const std::string headers = std::string("\x10\x00", 2) + U16(packet_size) + response;
    return std::string(1, '\x80') + U16(static_cast<int>(headers.size()) + 3) + headers;
}

bool Expect(const std::string& answer, unsigned char code, const char* what) {
    if (static_cast<unsigned char>(answer[0]) == code) return true;
    std::fprintf(stderr, "sorvanto-handset: %s answered %s, expected %s\n", what,
                 Hex2(static_cast<unsigned char>(answer[0])).c_str(), Hex2(code).c_str());
    return false;
}

}  // namespace

std::string SampleObjectName(const std::string& file_name) {
    const std::string prefix = "telecom_";
    if (file_name.rfind(prefix, 0) == 0) return "telecom/" + file_name.substr(prefix.size());
    return file_name;
}

int PushFile(const std::filesystem::path& file, const std::string& object_name, const PushOptions& options) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "sorvanto-handset: cannot read %s\n", file.string().c_str());
        return 1;
    }
    const std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    const std::unique_ptr<Stream> stream = options.connect ? options.connect(&error) : ConnectTo(options.to, &error);
    if (!stream) {
        std::fprintf(stderr, "sorvanto-handset: %s\n", error.c_str());
        return 1;
    }
    Stream& fd = *stream;
    int result = 1;
    std::string answer;
    int packets = 0;
    do {
        const std::string connect = std::string("\x80\x00\x07\x10\x00", 5) + U16(options.packet_size);
        if (!Exchange(fd, connect, &answer, "CONNECT")) break;
        if (static_cast<unsigned char>(answer[0]) == 0xC1) {
            // A PC open to a network asks who we are.
            const std::string nonce = ChallengeNonce(answer);
            if (nonce.empty() || options.passcode.empty()) {
                std::fprintf(stderr, "sorvanto-handset: the PC asks for the passcode (--passcode NNNN)\n");
                break;
            }
            ++packets;
            if (!Exchange(fd, AnsweredConnect(nonce, options.passcode, options.packet_size), &answer, "CONNECT"))
                break;
        }
        if (!Expect(answer, 0xA0, "CONNECT")) break;
        ++packets;
        int max = options.packet_size;
        if (answer.size() >= 7) {
            const int theirs = (static_cast<std::uint8_t>(answer[5]) << 8) | static_cast<std::uint8_t>(answer[6]);
            if (theirs >= 64) max = std::min(max, theirs);
        }
        std::size_t sent = 0;
        bool first = true;
        bool ok = true;
        for (;;) {
            const std::size_t left = body.size() - sent;
            if (!first && left <= static_cast<std::size_t>(max - 6)) break;  // fits the last PUT
            std::string headers;
            if (first) headers = NameHeader(object_name) + LengthHeader(body.size());
            const std::size_t room = static_cast<std::size_t>(std::max(0, max - 3 - static_cast<int>(headers.size()) - 3));
            const std::size_t chunk = std::min(left, room);
            if (chunk > 0) headers += std::string(1, '\x48') + U16(static_cast<int>(chunk) + 3) + body.substr(sent, chunk);
            sent += chunk;
            first = false;
            if (!Exchange(fd, Packet('\x02', headers), &answer, "PUT") || !Expect(answer, 0x90, "PUT")) {
                ok = false;
                break;
            }
            ++packets;
        }
        if (!ok) break;
        const std::string rest = body.substr(sent);
        const std::string last = Packet('\x82', std::string(1, '\x49') + U16(static_cast<int>(rest.size()) + 3) + rest);
        if (!Exchange(fd, last, &answer, "the last PUT") || !Expect(answer, 0xA0, "the last PUT")) break;
        ++packets;
        // The PC usually closes the link once it has the object; a DISCONNECT is sent if not.
        if (WriteAll(fd, std::string("\x81\x00\x03", 3))) ReadPacket(fd, 1000, &answer);
        std::printf("pushed %s (%zu bytes) in %d packets\n", object_name.c_str(), body.size(), packets);
        std::fflush(stdout);
        result = 0;
    } while (false);
    return result;
}

int PushSamples(const std::filesystem::path& dir, const std::string& family, const PushOptions& options) {
    const std::filesystem::path folder = dir / family;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "sorvanto-handset: no sample folder %s\n", folder.string().c_str());
        return 1;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "sorvanto-handset: %s holds no files\n", folder.string().c_str());
        return 1;
    }
    for (const auto& f : files)
        if (PushFile(f, SampleObjectName(f.filename().string()), options) != 0) return 1;
    return 0;
}

}  // namespace handset
