#pragma once

#include <cstddef>

namespace sorvanto {

// The largest object taken from a handset: the server stops receiving one that grows past it
// and the importers refuse to read a larger file whole. Handset objects are a few hundred
// kilobytes at most.
inline constexpr std::size_t kMaxObjectBytes = 16u << 20;

}  // namespace sorvanto
