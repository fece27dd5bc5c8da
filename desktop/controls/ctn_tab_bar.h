#pragma once

#include <cstdint>
#include <vector>

#include <QPixmap>
#include <QTabBar>

namespace sorvanto {

// The tab row of a CtnTabCtrl. In paint mode 2 it draws each tab as a coloured push button
// (outline, bevel rings up to the margin, face, image, caption); in mode 0 the platform does.
class CtnTabBar : public QTabBar {
    Q_OBJECT
public:
    struct Colours {
        int paint_mode = 0;
        std::uint32_t tab_face = 0xC0C0C0, selected_face = 0xC0C0C0;
        std::uint32_t text = 0x000000, hot_text = 0x000000, background = 0xC0C0C0;
        int margin = 2;
        std::uint32_t style_flags = 0;
    };
    static constexpr std::uint32_t kNoFocusRect = 0x100;
    static constexpr std::uint32_t kNoOutline = 0x008;

    explicit CtnTabBar(QWidget* parent = nullptr);

    void SetColours(const Colours& colours);
    const Colours& CurrentColours() const { return colours_; }
    void SetImages(std::vector<QPixmap> images) { images_ = std::move(images); update(); }
    // Per tab: an index into the images, -1 for none.
    void SetTabImage(int tab, int image);
    // Whether the tab under the mouse takes the hot text colour.
    void SetHotTracking(bool on) { hot_tracking_ = on; update(); }
    // The tab under the mouse, -1 for none (or without hot tracking).
    int HotTab() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Colours colours_;
    std::vector<QPixmap> images_;
    std::vector<int> tab_images_;
    bool hot_tracking_ = true;
    int hot_ = -1;
};

}  // namespace sorvanto
