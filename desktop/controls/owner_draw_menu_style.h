#pragma once

#include <cstdint>

#include <QIcon>
#include <QPixmap>
#include <QProxyStyle>

class QMenu;

namespace sorvanto {

// The program's own look for pop-up menus: an icon column, an optional decorative band at the
// left, a selection bar with a border, the text after a tab right-aligned, etched separators.
// One style object per look; Convert applies it to a menu and all its sub-menus. Icons are the
// actions' own (QAction::setIcon). The style does not take ownership of anything.
class OwnerDrawMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Sizes in pixels; colours 0xBBGGRR. -1 for a size means "not set".
    struct Look {
        int separator_width = -1, separator_height = -1;
        int icon_width = -1, icon_height = -1;
        int margin_x = 2, margin_y = 2;  // around the icon
        int gap = 6;                     // between icon column and text
        int left_band = 0, right_band = 0;
        int spaces_per_tab = 8;
        std::uint32_t text = 0x000000, selected_text = 0xFFFFFF;
        std::uint32_t selection_fill = 0x800000, selection_border = 0x800000;
        std::uint32_t background = 0xC0C0C0, icon_background = 0xC0C0C0;
        QIcon default_icon;  // for checked items without an icon of their own
        QPixmap band_bitmap; // drawn in the left band; a gradient when null
    };

    OwnerDrawMenuStyle();
    explicit OwnerDrawMenuStyle(const Look& look);

    const Look& CurrentLook() const { return look_; }
    void SetLook(const Look& look) { look_ = look; }
    // The look of the main window's menu bar and context menu: sizes from the height of "S"
    // in the menu font; margins (2, 0) for the bar, (2, 2) for the context menu. The bar's
    // checked items without an icon (表示 ▸ ツールバー) show a 16 x 16 check mark.
    static Look MenuBarLook(const QFont& menu_font);
    static Look ContextMenuLook(const QFont& menu_font);

    // The menu bar's default icon: a check mark in the menu text colour.
    static QIcon CheckMarkIcon();

    // Applies this style to menu and, recursively, to every sub-menu.
    void Convert(QMenu* menu);

    // The width reserved at the right for shortcut texts, as the last measurement set it.
    int ShortcutColumn() const { return shortcut_column_; }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

private:
    QSize IconSize(const QFontMetrics& metrics) const;
    void DrawBand(QPainter* painter, const QRect& band) const;

    Look look_;
    mutable int shortcut_column_ = 20;
};

}  // namespace sorvanto
