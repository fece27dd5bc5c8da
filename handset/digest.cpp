#include "digest.h"

#include <cmath>
#include <cstring>
#include <string>

namespace handset {

namespace {

std::uint32_t Rotl(std::uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }

struct Table {
    std::uint32_t k[64];
    Table() {
        // K[i] = floor(|sin(i + 1)| * 2^32), as RFC 1321 derives its table.
        for (int i = 0; i < 64; ++i) k[i] = static_cast<std::uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
    }
};

}  // namespace

std::array<std::uint8_t, 16> Md5(std::string_view bytes) {
    static const Table table;
    static const unsigned shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    std::string msg(bytes);
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    msg.push_back(static_cast<char>(0x80));
    while (msg.size() % 64 != 56) msg.push_back('\0');
    for (int i = 0; i < 8; ++i) msg.push_back(static_cast<char>(bits >> (8 * i)));

    std::uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (std::size_t block = 0; block < msg.size(); block += 64) {
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i) {
            w[i] = 0;
            for (int b = 3; b >= 0; --b) w[i] = (w[i] << 8) | static_cast<std::uint8_t>(msg[block + i * 4 + b]);
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            const int round = i / 16;
            std::uint32_t f;
            int g;
            if (round == 0) { f = (b & c) | (~b & d); g = i; }
            else if (round == 1) { f = (b & d) | (c & ~d); g = (5 * i + 1) & 15; }
            else if (round == 2) { f = b ^ c ^ d; g = (3 * i + 5) & 15; }
            else { f = c ^ (b | ~d); g = (7 * i) & 15; }
            const std::uint32_t t = d;
            d = c;
            c = b;
            b = b + Rotl(a + f + table.k[i] + w[g], shifts[round][i % 4]);
            a = t;
        }
        h[0] += a; h[1] += b; h[2] += c; h[3] += d;
    }
    std::array<std::uint8_t, 16> out{};
    for (int i = 0; i < 16; ++i) out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(h[i / 4] >> (8 * (i % 4)));
    return out;
}

}  // namespace handset
