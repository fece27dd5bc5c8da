#include "controls/colour_button.h"

#include <QPainter>
#include <QStyleOption>

namespace sorvanto {

namespace {

// A picture of the image's shape in one colour, for disabled buttons.
QPixmap Silhouette(const QPixmap& image, const QColor& colour) {
    QPixmap out(image.size());
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawPixmap(0, 0, image);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(out.rect(), colour);
    return out;
}

}  // namespace

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) { Setup(face_, text_, disabled_, border_width_, 0); }

ColourButton::ColourButton(const QString& caption, QWidget* parent) : ColourButton(parent) { setText(caption); }

void ColourButton::Setup(std::uint32_t face, std::uint32_t text, std::uint32_t disabled, int border_width,
                         std::uint32_t style) {
    face_ = face & 0xFFFFFF;
    text_ = text & 0xFFFFFF;
    disabled_ = disabled & 0xFFFFFF;
    border_width_ = std::max(border_width, 0);
    style_ = style;
    shades_ = colours::DeriveButtonShades(face_);
    state_set_ = false;
    SetVisualState(VisualState::kNormal, false);
    setMouseTracking(true);
}

void ColourButton::SetVisualState(VisualState state, bool repaint_now) {
    if (state_set_ && state == state_) return;
    state_ = state;
    state_set_ = true;
    if (state == VisualState::kHot) {
        current_face_ = shades_.light;
        const bool flat = style_ & kHotFlat;
        bevel_light_ = flat ? shades_.light : shades_.lighter;
        bevel_dark_ = flat ? shades_.light : face_;
    } else {
        current_face_ = face_;
        const bool flat = style_ & kNormalFlat;
        bevel_light_ = flat ? face_ : shades_.light;
        bevel_dark_ = flat ? face_ : shades_.dark;
    }
    if (repaint_now) repaint();
}

void ColourButton::SetMultiLine(bool multi_line) {
    multi_line_ = multi_line;
    update();
}

void ColourButton::SetBitmap(const QPixmap& bitmap) {
    bitmap_ = bitmap;
    update();
}

int ColourButton::OutlineRings() const {
    if (!isEnabled() && (style_ & kDisabledNoOutline)) return 0;
    if (state_ == VisualState::kNormal && (style_ & kNormalNoOutline)) return 0;
    if (state_ == VisualState::kHot && (style_ & kHotNoOutline)) return 0;
    return hasFocus() ? 2 : 1;
}

void ColourButton::PlaceImage(QPainter& painter, const QPixmap& image, QRect& content) const {
    if (image.isNull()) return;
    const QSize size = image.deviceIndependentSize().toSize();
    QPoint at;
    if (multi_line_) {
        at = QPoint(content.left() + (content.width() - size.width()) / 2, content.top());
        content.setTop(content.top() + size.height() + 1);
    } else {
        at = QPoint(content.left(), content.top() + (content.height() - size.height()) / 2);
        content.setLeft(content.left() + size.width() + 1);
    }
    painter.save();
    painter.setClipRect(content.united(QRect(at, size)).intersected(rect()), Qt::IntersectClip);
    painter.drawPixmap(at, isEnabled() ? image : Silhouette(image, colours::ToQColor(disabled_)));
    painter.restore();
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool pressed = isDown();
    const bool disabled_flat = !isEnabled() && (style_ & kDisabledFlat);
    const std::uint32_t face = disabled_flat ? face_ : current_face_;
    std::uint32_t light = disabled_flat ? face_ : bevel_light_;
    std::uint32_t dark = disabled_flat ? face_ : bevel_dark_;
    if (pressed) std::swap(light, dark);

    // Rings from the outer edge inwards: outline first, then the bevel.
    const QRect outer = rect();
    const int outline = std::min(OutlineRings(), border_width_);
    for (int ring = 0; ring < border_width_; ++ring) {
        const QRect r = outer.adjusted(ring, ring, -ring, -ring);
        if (r.width() <= 0 || r.height() <= 0) break;
        if (ring < outline) {
            painter.setPen(colours::ToQColor(kOutlineColour));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
            continue;
        }
        painter.setPen(colours::ToQColor(light));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(colours::ToQColor(dark));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    const int b = border_width_;
    painter.fillRect(outer.adjusted(b, b, -b, -b), colours::ToQColor(face));

    QRect content = outer.adjusted(0, 0, -1, -1).adjusted(b + 2, b + 2, -(b + 2), -(b + 2));
    const QRect focus_area = content;
    if (pressed) content.adjust(1, 1, 0, 0);
    else content.adjust(0, 0, -1, -1);

    if (!icon().isNull()) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        PlaceImage(painter, icon().pixmap(iconSize(), devicePixelRatioF(), mode), content);
    }
    PlaceImage(painter, bitmap_, content);

    if (!text().isEmpty()) {
        painter.setPen(colours::ToQColor(isEnabled() ? text_ : disabled_));
        painter.setFont(font());
        const QFontMetrics metrics(font());
        if (multi_line_) {
            const QRect needed = metrics.boundingRect(content, Qt::TextWordWrap | Qt::AlignHCenter, text());
            const Qt::Alignment v = needed.height() <= content.height() ? Qt::AlignVCenter : Qt::AlignTop;
            painter.drawText(content, int(Qt::TextWordWrap | Qt::AlignHCenter | v), text());
        } else {
            const Qt::Alignment h =
                metrics.horizontalAdvance(text()) <= content.width() ? Qt::AlignHCenter : Qt::AlignLeft;
            painter.drawText(content, int(Qt::TextSingleLine | Qt::AlignVCenter | h), text());
        }
    }

    if (hasFocus()) {
        QPen pen(colours::ToQColor(isEnabled() ? text_ : disabled_));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus_area.adjusted(0, 0, -1, -1));
    }
}

}  // namespace sorvanto
