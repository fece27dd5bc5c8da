#include "controls/owner_draw_menu_style.h"

#include <QMenu>
#include <QPainter>
#include <QPolygon>
#include <QStyleOptionMenuItem>

#include "controls/colour_derivation.h"

namespace sorvanto {

namespace {

constexpr std::uint32_t kEtchDark = 0x808080;
constexpr std::uint32_t kEtchLight = 0xFFFFFF;
constexpr std::uint32_t kIconFrameDark = 0x999999;

// Text drawn the way disabled menu text looks: a white copy one pixel down-right, grey on top.
void DrawEmbossed(QPainter* painter, const QRect& rect, int flags, const QString& text) {
    painter->setPen(colours::ToQColor(kEtchLight));
    painter->drawText(rect.translated(1, 1), flags, text);
    painter->setPen(colours::ToQColor(kEtchDark));
    painter->drawText(rect, flags, text);
}

}  // namespace

OwnerDrawMenuStyle::OwnerDrawMenuStyle() = default;

OwnerDrawMenuStyle::OwnerDrawMenuStyle(const Look& look) : look_(look) {}

OwnerDrawMenuStyle::Look OwnerDrawMenuStyle::MenuBarLook(const QFont& menu_font) {
    const int text_height = QFontMetrics(menu_font).boundingRect(QStringLiteral("S")).height();
    Look look;
    look.separator_height = text_height / 2 + 1;
    look.icon_width = look.icon_height = text_height + 4;
    look.margin_x = 2;
    look.margin_y = 0;
    look.default_icon = CheckMarkIcon();
    return look;
}

OwnerDrawMenuStyle::Look OwnerDrawMenuStyle::ContextMenuLook(const QFont& menu_font) {
    Look look = MenuBarLook(menu_font);
    look.margin_y = 2;
    look.default_icon = QIcon();
    return look;
}

QIcon OwnerDrawMenuStyle::CheckMarkIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colours::ToQColor(Look().text), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(3.5, 8.5), QPointF(6.5, 11.5), QPointF(12.5, 4.5)}));
    painter.end();
    return QIcon(pixmap);
}

void OwnerDrawMenuStyle::Convert(QMenu* menu) {
    if (!menu) return;
    menu->setStyle(this);
    for (QAction* action : menu->actions())
        if (action->menu() && action->menu() != menu) Convert(action->menu());
}

QSize OwnerDrawMenuStyle::IconSize(const QFontMetrics& metrics) const {
    const int fallback = metrics.height();
    return {look_.icon_width >= 0 ? look_.icon_width : fallback, look_.icon_height >= 0 ? look_.icon_height : fallback};
}

QSize OwnerDrawMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                           const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item) return QProxyStyle::sizeFromContents(type, option, size, widget);
    const QFontMetrics metrics(item->font);
    shortcut_column_ = metrics.horizontalAdvance(QStringLiteral("aa")) + 2;
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
        return {look_.separator_width >= 0 ? look_.separator_width : base.width(),
                look_.separator_height >= 0 ? look_.separator_height : base.height()};
    }
    const QSize icon = IconSize(metrics);
    QString text = item->text;
    text.replace(QLatin1Char('\t'), QString(look_.spaces_per_tab, QLatin1Char(' ')));
    const int width = look_.right_band + 2 * look_.margin_x + 2 * look_.gap + look_.left_band + icon.width() +
                      metrics.horizontalAdvance(text);
    int height = icon.height() + 2 * look_.margin_y;
    const int system_height = metrics.height() + 4;
    if (system_height >= height) height = system_height;
    return {width, height + 1};
}

void OwnerDrawMenuStyle::DrawBand(QPainter* painter, const QRect& band) const {
    if (!look_.band_bitmap.isNull()) {
        painter->drawPixmap(band, look_.band_bitmap);
        return;
    }
    // From the background colour, each channel one step lighter per column.
    const std::uint32_t bg = look_.background;
    for (int i = 0; i < band.width(); ++i) {
        const auto channel = [&](int shift) { return std::min(int((bg >> shift) & 0xFF) + i, 255); };
        painter->setPen(QColor(channel(0), channel(8), channel(16)));
        painter->drawLine(band.left() + i, band.top(), band.left() + i, band.bottom());
    }
}

void OwnerDrawMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item) {
        if (element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, colours::ToQColor(look_.background));
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect r = item->rect;
    const int L = r.left(), R = r.right() + 1;
    const QFontMetrics metrics(item->font);
    const QSize icon_size = IconSize(metrics);
    const bool selected = item->state & State_Selected;
    const bool enabled = item->state & State_Enabled;
    const bool checked = item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked;

    painter->save();
    painter->fillRect(r, colours::ToQColor(look_.background));
    const QRect icon_column(L + look_.left_band, r.top(), 2 * look_.margin_x + icon_size.width(), r.height());
    if (selected && item->menuItemType != QStyleOptionMenuItem::Separator) {
        const int bar_right = look_.right_band > 0 ? R - shortcut_column_ - look_.right_band : R;
        const QRect bar(QPoint(L + look_.left_band, r.top()), QPoint(bar_right - 1, r.bottom()));
        painter->fillRect(bar, colours::ToQColor(look_.selection_fill));
        painter->setPen(colours::ToQColor(look_.selection_border));
        painter->drawRect(bar.adjusted(0, 0, -1, -1));
    }
    if (look_.left_band > 0) DrawBand(painter, QRect(L, r.top(), look_.left_band, r.height()));
    if (!selected) painter->fillRect(icon_column, colours::ToQColor(look_.icon_background));

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.top() + r.height() / 2;
        painter->setPen(colours::ToQColor(kEtchDark));
        painter->drawLine(L, y, R - 1, y);
        painter->setPen(colours::ToQColor(kEtchLight));
        painter->drawLine(L, y + 1, R - 1, y + 1);
        painter->restore();
        return;
    }

    const QRect icon_rect(L + look_.left_band + look_.margin_x, r.top() + (r.height() - icon_size.height()) / 2,
                          icon_size.width(), icon_size.height());
    const QIcon icon = !item->icon.isNull() ? item->icon : (checked ? look_.default_icon : QIcon());
    if (!checked) painter->fillRect(icon_column, colours::ToQColor(look_.icon_background));
    if (!icon.isNull()) {
        icon.paint(painter, icon_rect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
        if (selected && enabled) {
            const QRect frame = icon_rect.adjusted(-1, -1, 0, 0);
            painter->setPen(colours::ToQColor(kEtchLight));
            painter->drawLine(frame.topLeft(), frame.topRight());
            painter->drawLine(frame.topLeft(), frame.bottomLeft());
            painter->setPen(colours::ToQColor(kIconFrameDark));
            painter->drawLine(frame.bottomLeft(), frame.bottomRight());
            painter->drawLine(frame.topRight(), frame.bottomRight());
        }
    }

    const int text_left = L + look_.left_band + 2 * look_.margin_x + icon_size.width() + look_.gap;
    const int text_right = R - shortcut_column_ - look_.right_band - look_.gap;
    const QRect text_rect(QPoint(text_left, r.top()), QPoint(text_right - 1, r.bottom()));
    const QString text = item->text;
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    const QString before = tab < 0 ? text : text.left(tab);
    const QString after = tab < 0 ? QString() : text.mid(tab + 1);
    painter->setFont(item->font);
    const int flags = int(Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic);
    const auto draw = [&](const QRect& rect, int align, const QString& s) {
        if (s.isEmpty()) return;
        if (!enabled) {
            if (selected) {
                painter->setPen(colours::ToQColor(look_.background));
                painter->drawText(rect, flags | align, s);
            } else {
                DrawEmbossed(painter, rect, flags | align, s);
            }
            return;
        }
        painter->setPen(colours::ToQColor(selected ? look_.selected_text : look_.text));
        painter->drawText(rect, flags | align, s);
    };
    draw(text_rect, Qt::AlignLeft, before);
    draw(text_rect, Qt::AlignRight, after);
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        // The platform menu draws the sub-menu arrow itself, in the reserved column at the right.
        const int size = std::max(metrics.height() / 4, 3);
        const int x = R - look_.right_band - shortcut_column_ / 2 - size / 2;
        const int y = r.top() + r.height() / 2;
        const QPolygon arrow({QPoint(x, y - size), QPoint(x + size, y), QPoint(x, y + size)});
        painter->setPen(Qt::NoPen);
        painter->setBrush(colours::ToQColor(!enabled ? kEtchDark : selected ? look_.selected_text : look_.text));
        painter->drawPolygon(arrow);
    }
    painter->restore();
}

void OwnerDrawMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                       const QWidget* widget) const {
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
        if (element == PE_PanelMenu) painter->fillRect(option->rect, colours::ToQColor(look_.background));
        painter->setPen(colours::ToQColor(kEtchDark));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int OwnerDrawMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth: return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin: return 1;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

}  // namespace sorvanto
