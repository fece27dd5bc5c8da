#pragma once

#include <cstdint>
#include <vector>

#include <QPixmap>
#include <QWidget>

#include "controls/ctn_tab_bar.h"

namespace sorvanto {

// A tab strip that owns one page widget per tab and shows the page of the selected tab in the
// page area below the tabs. A user's change of tab hides the old page, shows the new one and
// emits UpdateViewsRequested, then TabChanged; SelectPage changes pages without the signals.
//
// Typical use (the category view): Init(8), SetColours(2, 0x885533, 0x800000, 0xFFFFFF, 0,
// 0xFF8C8C, 0x00FFFF, 2, 0), AddPage per category, SelectPage(0, true).
class CtnTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CtnTabCtrl(QWidget* parent = nullptr);

    // Only the first call has an effect: room for capacity pages, all slots empty.
    void Init(int capacity);
    // Colours 0xBBGGRR; paint mode 0 = the platform's tabs, 2 = the program's button tabs.
    // The fourth colour is accepted for the callers' sake and not drawn.
    void SetColours(int paint_mode, std::uint32_t tab_face, std::uint32_t selected_face, std::uint32_t text,
                    std::uint32_t unused, std::uint32_t background, std::uint32_t hot_text, int margin,
                    std::uint32_t style_flags);
    void SetImages(std::vector<QPixmap> images);

    // Appends a tab for page (taken over as a child, hidden, moved to the page area); the
    // current page becomes the page of the selected tab. False when the page is null or the
    // capacity given to Init is used up (nothing is added then).
    bool AddPage(const QString& title, QWidget* page, int image = -1);
    // Hides the current page and shows the page of tab index. Nothing happens for an index
    // past the pages, an empty slot, or the selected tab when force is false.
    void SelectPage(int index, bool force);

    QWidget* CurrentPage() const { return current_page_; }
    int CurrentIndex() const { return current_index_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    QWidget* Page(int index) const;
    CtnTabBar* TabBar() const { return bar_; }
    // Where pages go: margin in from the sides and bottom, below the tab row.
    QRect PageArea() const;

Q_SIGNALS:
    // The user chose another tab: the frame's views should refresh themselves.
    void UpdateViewsRequested();
    void TabChanged(QWidget* page, int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnSelectionChange(int index);
    void ShowCurrent();

    CtnTabBar* bar_;
    std::vector<QWidget*> pages_;
    int capacity_ = -1;
    QWidget* current_page_ = nullptr;
    int current_index_ = 0;
    bool selecting_ = false;
};

}  // namespace sorvanto
