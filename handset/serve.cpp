#include "serve.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string_view>

#include "digest.h"

namespace handset {

namespace {

struct Connection {
    Connection(const ServeOptions& o, Stream& f, int* r) : options(o), fd(f), requests(r) {}
    const ServeOptions& options;
    Stream& fd;
    int* requests;
    std::array<std::uint8_t, 16> nonce{};
    bool authenticated = false;
    std::string name;
    std::string body;
    long declared = -1;

    void Log(const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    void Answer(const std::string& bytes) { WriteAll(fd, bytes); }
    static std::string Short(unsigned char code) { return std::string{static_cast<char>(code), '\x00', '\x03'}; }

    std::string Connect(const std::string& p) {
        std::string line = "CONNECT length=" + std::to_string(p.size());
        if (p.size() < 7) {
            Answer(Short(0xC0));
            return line + " -> 0xC0";
        }
        line += " version=" + Hex2(static_cast<unsigned char>(p[3])) + " max=" +
                std::to_string((static_cast<std::uint8_t>(p[5]) << 8) | static_cast<std::uint8_t>(p[6]));
        const bool has_response = p.size() >= 28 && static_cast<unsigned char>(p[7]) == 0x4E;
        if (p.size() >= 8 && static_cast<unsigned char>(p[7]) == 0x4D) line += " challenge";
        if (options.challenge && !authenticated) {
            if (!has_response) {
                std::random_device rd;
                for (auto& b : nonce) b = static_cast<std::uint8_t>(rd());
                std::string c("\xC1\x00\x1C\x10\x00\x04\x00\x4D\x00\x15\x00\x10", 12);
                c.append(reinterpret_cast<const char*>(nonce.data()), nonce.size());
                Answer(c);
                return line + " -> 0xC1";
            }
            std::string input(reinterpret_cast<const char*>(nonce.data()), nonce.size());
            input += ":" + options.passcode;
            const auto expected = Md5(input);
            if (std::memcmp(expected.data(), p.data() + 12, 16) != 0) {
                Answer(Short(0xC3));
                return line + " digest=wrong -> 0xC3";
            }
            authenticated = true;
            line += " digest=ok";
        }
        Answer(std::string("\xA0\x00\x07\x10\x00\x04\x00", 7));
        return line + " -> 0xA0";
    }

    // Walks the headers of a PUT into name, declared length and body.
    std::string Headers(const std::string& p) {
        std::string seen;
        std::size_t off = 3;
        while (off < p.size()) {
            const auto id = static_cast<unsigned char>(p[off]);
            std::size_t size;
            if ((id & 0xC0) == 0x80) size = 2;
            else if ((id & 0xC0) == 0xC0) size = 5;
            else if (off + 3 <= p.size()) size = (static_cast<std::uint8_t>(p[off + 1]) << 8) | static_cast<std::uint8_t>(p[off + 2]);
            else break;
            if (size < 2 || off + size > p.size() || ((id & 0xC0) < 0x80 && size < 3)) break;
            if (id == 0x01) {
                name.clear();
                for (std::size_t i = off + 4; i < off + size; i += 2)
                    if (p[i] != '\0') name.push_back(p[i]);
                seen += " name=" + name;
            } else if (id == 0xC3) {
                declared = 0;
                for (int i = 1; i <= 4; ++i) declared = (declared << 8) | static_cast<std::uint8_t>(p[off + i]);
                seen += " object-length=" + std::to_string(declared);
            } else if (id == 0x48 || id == 0x49) {
                body.append(p, off + 3, size - 3);
                seen += (id == 0x48 ? " body=" : " end-of-body=") + std::to_string(size - 3);
            }
            off += size;
        }
        return seen;
    }

    std::string Put(const std::string& p, bool last) {
        std::string line = std::string(last ? "PUT-FINAL" : "PUT") + " length=" + std::to_string(p.size());
        if (options.challenge && !authenticated) {
            Answer(Short(0xC3));
            return line + " -> 0xC3";
        }
        line += Headers(p);
        if (!last) {
            Answer(Short(0x90));
            return line + " -> 0x90";
        }
        if (options.refuse_last_put) {
            Answer(Short(0xD0));
            return line + " -> 0xD0";
        }
        const std::filesystem::path target = options.out / StoredFileName(name);
        std::ofstream f(target, std::ios::binary | std::ios::trunc);
        f.write(body.data(), static_cast<std::streamsize>(body.size()));
        f.close();
        if (!f) {
            Answer(Short(0xD0));
            return line + " -> 0xD0 cannot store " + target.string();
        }
        line += " stored=" + StoredFileName(name) + " size=" + std::to_string(body.size());
        body.clear();
        declared = -1;
        Answer(Short(0xA0));
        return line + " -> 0xA0";
    }

    // One request; false when the connection is over.
    bool Handle() {
        std::string p;
        const int r = ReadPacket(fd, -1, &p);
        if (r == 0) return false;
        if (r < 0) {
            Log("BROKEN packet or link");
            return false;
        }
        ++*requests;
        const auto op = static_cast<unsigned char>(p[0]);
        if (options.stall_after >= 0 && *requests > options.stall_after) {
            Log("STALLED " + Hex2(op) + " length=" + std::to_string(p.size()) + " (no answer)");
            return true;
        }
        switch (op) {
        case 0x80: Log(Connect(p)); break;
        case 0x02: Log(Put(p, false)); break;
        case 0x82: Log(Put(p, true)); break;
        case 0x81:
            Answer(Short(0xA0));
            Log("DISCONNECT -> 0xA0");
            break;
        default:
            Answer(Short(0xD1));
            Log("REQUEST " + Hex2(op) + " length=" + std::to_string(p.size()) + " -> 0xD1");
            break;
        }
        return true;
    }
};

}  // namespace

std::string StoredFileName(const std::string& object_name) {
    std::string s = object_name;
    // Also the characters Windows refuses in a file name ("*.vmg" is a real object name), so the
    // emulator stores the same names on every system.
    for (char& c : s)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            c = '_';
    if (s.empty() || s == "." || s == "..") s = "object";
    return s;
}

int Serve(const ServeOptions& options) {
    std::string error;
    int listener = -1;
    if (!options.accept) {
        listener = ListenOn(options.listen, &error);
        if (listener < 0) {
            std::fprintf(stderr, "sorvanto-handset: %s\n", error.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(options.out, ec);
    const std::string where =
        options.accept ? options.where : options.listen.host + ":" + std::to_string(options.listen.port);
    std::printf("LISTENING %s as %s\n", where.c_str(), options.device_name.c_str());
    std::fflush(stdout);
    int requests = 0;
    for (;;) {
        const std::unique_ptr<Stream> stream = options.accept ? options.accept(&error) : AcceptOne(listener);
        if (!stream) {
            std::fprintf(stderr, "sorvanto-handset: %s\n", options.accept ? error.c_str() : "accept failed");
            if (listener >= 0) CloseSocket(listener);
            return 1;
        }
        Connection c(options, *stream, &requests);
        const int before = requests;
        while (c.Handle()) {
        }
        // A discovery probe connects and leaves without a word; that is no session.
        if (requests > before) std::printf("CLOSED\n");
        std::fflush(stdout);
        if (options.once && requests > before) break;
    }
    if (listener >= 0) CloseSocket(listener);
    return 0;
}

}  // namespace handset
