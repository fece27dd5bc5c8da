// The SIR de-framer on arbitrary bytes, fed whole and in pieces, and the encoder's output
// decoded back.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "irda/sir_codec.h"

namespace {

using Frames = std::vector<std::vector<uint8_t>>;

Frames Decode(const uint8_t* data, size_t size, size_t max_frame, size_t piece) {
    Frames frames;
    sorvanto::irda::SirDecoder d(
        max_frame,
        [&](const uint8_t* f, size_t n) {
            if (n < 2 || n > max_frame) std::abort();
            frames.emplace_back(f, f + n);
        },
        [] {});
    for (size_t i = 0; i < size; i += piece) d.Feed(data + i, size - i < piece ? size - i : piece);
    return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t max_frame = size > 0 ? 2 + data[0] * 8u : 64;
    const Frames whole = Decode(data, size, max_frame, size ? size : 1);
    const size_t piece = size > 1 ? 1 + data[1] % 7 : 1;
    if (Decode(data, size, max_frame, piece) != whole) std::abort();

    if (size >= 2 && size <= 2050) {
        const int xbofs = data[0] % 200;
        const std::vector<uint8_t> wire = sorvanto::irda::SirEncode(data, size, xbofs);
        if (wire.size() != sorvanto::irda::SirWireSize(data, size, xbofs)) std::abort();
        const Frames back = Decode(wire.data(), wire.size(), 2050, wire.size());
        if (back.size() != 1 || back[0] != std::vector<uint8_t>(data, data + size)) std::abort();
    }
    return 0;
}
