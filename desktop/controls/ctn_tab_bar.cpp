#include "controls/ctn_tab_bar.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/colour_derivation.h"

namespace sorvanto {

namespace {
constexpr std::uint32_t kOutline = 0x010101;
constexpr int kCaptionChars = 259;
}  // namespace

CtnTabBar::CtnTabBar(QWidget* parent) : QTabBar(parent) {
    setMouseTracking(true);
    setDrawBase(false);
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);
}

void CtnTabBar::SetColours(const Colours& colours) {
    colours_ = colours;
    colours_.margin = std::max(colours_.margin, 0);
    updateGeometry();
    update();
}

void CtnTabBar::SetTabImage(int tab, int image) {
    if (tab < 0) return;
    if (static_cast<std::size_t>(tab) >= tab_images_.size()) tab_images_.resize(static_cast<std::size_t>(tab) + 1, -1);
    tab_images_[static_cast<std::size_t>(tab)] = image;
    updateGeometry();
    update();
}

int CtnTabBar::HotTab() const { return hot_tracking_ ? hot_ : -1; }

QSize CtnTabBar::tabSizeHint(int index) const {
    if (colours_.paint_mode != 2) return QTabBar::tabSizeHint(index);
    const QFontMetrics metrics(font());
    const int m = colours_.margin;
    int width = metrics.horizontalAdvance(tabText(index)) + 2 * m + 12;
    int height = metrics.height() + 2 * m + 6;
    const int image = static_cast<std::size_t>(index) < tab_images_.size() ? tab_images_[std::size_t(index)] : -1;
    if (image >= 0 && image < static_cast<int>(images_.size())) {
        width += images_[std::size_t(image)].width() + 1;
        height = std::max(height, images_[std::size_t(image)].height() + 2 * m + 2);
    }
    return {width, height};
}

void CtnTabBar::mouseMoveEvent(QMouseEvent* event) {
    const int hot = tabAt(event->position().toPoint());
    if (hot != hot_) {
        hot_ = hot;
        update();
    }
    QTabBar::mouseMoveEvent(event);
}

void CtnTabBar::leaveEvent(QEvent* event) {
    if (hot_ != -1) {
        hot_ = -1;
        update();
    }
    QTabBar::leaveEvent(event);
}

void CtnTabBar::paintEvent(QPaintEvent* event) {
    if (colours_.paint_mode != 2) {
        QTabBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), colours::ToQColor(colours_.background));
    const int m = colours_.margin;
    const int hot = HotTab();
    for (int i = 0; i < count(); ++i) {
        const QRect tab = tabRect(i);
        const bool selected = i == currentIndex();
        const std::uint32_t face = selected ? colours_.selected_face : colours_.tab_face;
        // The selected tab looks pushed in: dark above and left, light below and right.
        const std::uint32_t top_left = selected ? colours::TabDark(face) : colours::TabLight(face);
        const std::uint32_t bottom_right = selected ? colours::TabLight(face) : colours::TabDark(face);
        int ring = 0;
        if (!(colours_.style_flags & kNoOutline) && m > 0) {
            painter.setPen(colours::ToQColor(kOutline));
            painter.drawRect(tab.adjusted(0, 0, -1, -1));
            ring = 1;
        }
        for (; ring < m; ++ring) {
            const QRect r = tab.adjusted(ring, ring, -ring, -ring);
            painter.setPen(colours::ToQColor(top_left));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(colours::ToQColor(bottom_right));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
        const QRect inside = tab.adjusted(m, m, -m, -m);
        painter.fillRect(inside, colours::ToQColor(face));

        QRect content = inside;
        if (selected) content.adjust(0, 0, -1, -1);
        else content.adjust(1, 1, 0, 0);
        painter.save();
        painter.setClipRect(inside);
        const int image = static_cast<std::size_t>(i) < tab_images_.size() ? tab_images_[std::size_t(i)] : -1;
        if (image >= 0 && image < static_cast<int>(images_.size())) {
            const QPixmap& pixmap = images_[std::size_t(image)];
            painter.drawPixmap(content.left(), content.top() + (content.height() - pixmap.height()) / 2, pixmap);
            content.setLeft(content.left() + pixmap.width() + 1);
        }
        const QString caption = tabText(i).left(kCaptionChars);
        if (!caption.isEmpty()) {
            painter.setPen(colours::ToQColor(i == hot ? colours_.hot_text : colours_.text));
            painter.setFont(font());
            const int text_width = QFontMetrics(font()).horizontalAdvance(caption);
            const Qt::Alignment h = content.left() + text_width < content.right() ? Qt::AlignHCenter : Qt::AlignLeft;
            painter.drawText(content, int(Qt::TextSingleLine | Qt::AlignVCenter | h), caption);
        }
        painter.restore();
        if (selected && hasFocus() && !(colours_.style_flags & kNoFocusRect)) {
            QPen pen(colours::ToQColor(colours_.text));
            pen.setStyle(Qt::DotLine);
            painter.setPen(pen);
            painter.drawRect(inside.adjusted(0, 0, -1, -1));
        }
    }
}

}  // namespace sorvanto
