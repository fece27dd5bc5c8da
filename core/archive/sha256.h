#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorvanto {

// SHA-256 (FIPS 180-4), for the archive's checksum list.
class Sha256 {
public:
    Sha256();
    void Update(std::string_view bytes);
    // The digest as 64 lowercase hexadecimal digits; the object is spent afterwards.
    std::string HexDigest();

    static std::string Hex(std::string_view bytes);

private:
    void Block(const unsigned char* p);

    std::array<std::uint32_t, 8> h_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes hashed so far
};

}  // namespace sorvanto
