#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sorvanto {

// The MD5 message digest of RFC 1321, used for the OBEX digest challenge and its answer.
class Md5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    Md5();
    void Update(const void* data, std::size_t length);
    // Pads, appends the bit length and gives the digest; the object must not be updated after.
    Digest Final();

    static Digest Of(const void* data, std::size_t length);
    static Digest Of(std::string_view bytes) { return Of(bytes.data(), bytes.size()); }

private:
    void Transform(const std::uint8_t block[64]);

    std::uint32_t state_[4];
    std::uint64_t bit_count_ = 0;
    std::uint8_t buffer_[64] = {};
};

}  // namespace sorvanto
