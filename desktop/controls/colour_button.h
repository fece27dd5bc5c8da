#pragma once

#include <cstdint>

#include <QPixmap>
#include <QPushButton>

#include "controls/colour_derivation.h"

namespace sorvanto {

// A push button drawn in its own colours, with outline and bevel rings and a hot look while
// the mouse is over it (ColourButtonHotTracker switches the look). Used for the command bar
// and for "出力" of the pictograph keyboard.
class ColourButton : public QPushButton {
    Q_OBJECT
public:
    enum Style : std::uint32_t {
        kNormalFlat = 0x001,      // normal state: both bevel colours are the face colour
        kNormalNoOutline = 0x002,
        kHotFlat = 0x004,         // hot state: both bevel colours are the light colour
        kHotNoOutline = 0x008,
        kDisabledFlat = 0x100,    // disabled: face and bevel in the face colour
        kDisabledNoOutline = 0x200,
    };
    enum class VisualState { kNormal = 0, kHot = 1 };
    static constexpr std::uint32_t kOutlineColour = 0x010101;

    explicit ColourButton(QWidget* parent = nullptr);
    ColourButton(const QString& caption, QWidget* parent);

    // Colours 0xBBGGRR. Derives the shades and sets the normal look without repainting.
    void Setup(std::uint32_t face, std::uint32_t text, std::uint32_t disabled, int border_width,
               std::uint32_t style);
    // No effect when unchanged; with repaint the button is redrawn at once.
    void SetVisualState(VisualState state, bool repaint);
    VisualState State() const { return state_; }

    // A caption on several lines: images go above it instead of to its left.
    void SetMultiLine(bool multi_line);
    // A bitmap drawn after the icon (QPushButton::setIcon sets the icon).
    void SetBitmap(const QPixmap& bitmap);

    // The colours the current look draws with (0xBBGGRR).
    std::uint32_t CurrentFace() const { return current_face_; }
    std::uint32_t BevelLight() const { return bevel_light_; }
    std::uint32_t BevelDark() const { return bevel_dark_; }
    const colours::ButtonShades& Shades() const { return shades_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int OutlineRings() const;
    // Draws an image at its place in content and moves content past it.
    void PlaceImage(QPainter& painter, const QPixmap& image, QRect& content) const;

    std::uint32_t face_ = 0xC0C0C0, text_ = 0x000000, disabled_ = 0x808080;
    colours::ButtonShades shades_{};
    std::uint32_t current_face_ = 0xC0C0C0, bevel_light_ = 0xFFFFFF, bevel_dark_ = 0x808080;
    int border_width_ = 2;
    std::uint32_t style_ = 0;
    VisualState state_ = VisualState::kNormal;
    bool state_set_ = false;
    bool multi_line_ = false;
    QPixmap bitmap_;
};

}  // namespace sorvanto
