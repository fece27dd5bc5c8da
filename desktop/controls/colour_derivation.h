#pragma once

#include <cstdint>

#include <QColor>

// Colours are 24-bit values written 0xBBGGRR, as the settings and the drawing code give them.
namespace sorvanto::colours {

// 0xBBGGRR -> QColor.
inline QColor ToQColor(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The colour button's lightening: each channel + (largest channel / 4, at least 1), capped at 255.
std::uint32_t Lighten(std::uint32_t bgr);
// Each channel halved.
std::uint32_t Darken(std::uint32_t bgr);

// The three colours a colour button derives from its face colour.
struct ButtonShades {
    std::uint32_t light, lighter, dark;
};
ButtonShades DeriveButtonShades(std::uint32_t face);

// The tab control's bevel colours: each channel + (largest channel / 2) capped at 255, and
// each channel halved.
std::uint32_t TabLight(std::uint32_t bgr);
inline std::uint32_t TabDark(std::uint32_t bgr) { return Darken(bgr); }

}  // namespace sorvanto::colours
