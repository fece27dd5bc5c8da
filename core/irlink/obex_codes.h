#pragma once

#include <cstdint>

// OBEX opcodes, response codes and header identifiers that the sessions use.
namespace sorvanto::obex {

constexpr std::uint8_t kConnect = 0x80;
constexpr std::uint8_t kDisconnect = 0x81;
constexpr std::uint8_t kPut = 0x02;
constexpr std::uint8_t kPutFinal = 0x82;

constexpr std::uint8_t kContinue = 0x90;
constexpr std::uint8_t kSuccess = 0xA0;
constexpr std::uint8_t kBadRequest = 0xC0;
constexpr std::uint8_t kUnauthorized = 0xC1;
constexpr std::uint8_t kForbidden = 0xC3;
constexpr std::uint8_t kEntityTooLarge = 0xCD;

constexpr std::uint8_t kHeaderName = 0x01;
constexpr std::uint8_t kHeaderBody = 0x48;
constexpr std::uint8_t kHeaderEndOfBody = 0x49;
constexpr std::uint8_t kHeaderLength = 0xC3;
constexpr std::uint8_t kHeaderAuthChallenge = 0x4D;
constexpr std::uint8_t kHeaderAuthResponse = 0x4E;

inline int ReadU16(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }
inline void WriteU16(std::uint8_t* p, int v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

}  // namespace sorvanto::obex
