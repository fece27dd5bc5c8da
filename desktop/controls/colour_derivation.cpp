#include "controls/colour_derivation.h"

#include <algorithm>

namespace sorvanto::colours {

namespace {

std::uint32_t AddToEachChannel(std::uint32_t bgr, unsigned step) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned channel = std::min(((bgr >> shift) & 0xFF) + step, 255u);
        out |= channel << shift;
    }
    return out;
}

unsigned LargestChannel(std::uint32_t bgr) {
    return std::max({bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF});
}

}  // namespace

std::uint32_t Lighten(std::uint32_t bgr) {
    const unsigned largest = LargestChannel(bgr);
    return AddToEachChannel(bgr, largest < 4 ? 1 : largest / 4);
}

std::uint32_t Darken(std::uint32_t bgr) {
    return ((bgr >> 1) & 0x7F7F7F);
}

ButtonShades DeriveButtonShades(std::uint32_t face) {
    const std::uint32_t light = Lighten(face);
    return {light, Lighten(light), Darken(face)};
}

std::uint32_t TabLight(std::uint32_t bgr) { return AddToEachChannel(bgr, LargestChannel(bgr) / 2); }

}  // namespace sorvanto::colours
