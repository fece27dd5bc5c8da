#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace handset {

// RFC 1321 MD5, the emulator's own: it checks the program's digest answer independently.
std::array<std::uint8_t, 16> Md5(std::string_view bytes);

}  // namespace handset
