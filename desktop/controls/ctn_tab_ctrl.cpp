#include "controls/ctn_tab_ctrl.h"

#include <QPainter>
#include <QResizeEvent>

#include "controls/colour_derivation.h"

namespace sorvanto {

CtnTabCtrl::CtnTabCtrl(QWidget* parent) : QWidget(parent), bar_(new CtnTabBar(this)) {
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        if (!selecting_) OnSelectionChange(index);
    });
}

void CtnTabCtrl::Init(int capacity) {
    if (capacity_ >= 0) return;
    capacity_ = std::max(capacity, 0);
    pages_.clear();
    current_page_ = nullptr;
}

void CtnTabCtrl::SetColours(int paint_mode, std::uint32_t tab_face, std::uint32_t selected_face, std::uint32_t text,
                            std::uint32_t, std::uint32_t background, std::uint32_t hot_text, int margin,
                            std::uint32_t style_flags) {
    CtnTabBar::Colours c;
    c.paint_mode = paint_mode;
    c.tab_face = tab_face & 0xFFFFFF;
    c.selected_face = selected_face & 0xFFFFFF;
    c.text = text & 0xFFFFFF;
    c.background = background & 0xFFFFFF;
    c.hot_text = hot_text & 0xFFFFFF;
    c.margin = margin;
    c.style_flags = style_flags;
    bar_->SetColours(c);
    resizeEvent(nullptr);
    update();
}

void CtnTabCtrl::SetImages(std::vector<QPixmap> images) { bar_->SetImages(std::move(images)); }

QWidget* CtnTabCtrl::Page(int index) const {
    return index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

QRect CtnTabCtrl::PageArea() const {
    const int m = bar_->CurrentColours().margin;
    // One row of tabs across the top; the page starts a margin below it.
    const int tab_bottom = bar_->geometry().bottom() + 1;
    return QRect(QPoint(m, m + tab_bottom), QPoint(width() - m - 1, height() - m - 1));
}

bool CtnTabCtrl::AddPage(const QString& title, QWidget* page, int image) {
    // Without a page there is nothing to show; beyond the capacity the slots run out.
    if (!page || (capacity_ >= 0 && PageCount() >= capacity_)) return false;
    selecting_ = true;
    const int tab = bar_->addTab(title);
    selecting_ = false;
    if (image >= 0) bar_->SetTabImage(tab, image);
    resizeEvent(nullptr);  // the first tab gives the row its height
    page->setParent(this);
    page->hide();
    pages_.push_back(page);
    page->setGeometry(PageArea());
    current_page_ = Page(bar_->currentIndex());
    return true;
}

void CtnTabCtrl::SelectPage(int index, bool force) {
    if (index < 0 || index >= PageCount()) return;
    if (index == bar_->currentIndex() && !force) return;
    if (!Page(index)) return;
    if (current_page_) current_page_->hide();
    selecting_ = true;
    bar_->setCurrentIndex(index);
    selecting_ = false;
    current_page_ = Page(index);
    current_index_ = index;
    ShowCurrent();
}

void CtnTabCtrl::OnSelectionChange(int index) {
    if (current_page_) current_page_->hide();
    current_page_ = Page(index);
    current_index_ = index;
    ShowCurrent();
    Q_EMIT UpdateViewsRequested();
    Q_EMIT TabChanged(current_page_, index);
}

void CtnTabCtrl::ShowCurrent() {
    if (!current_page_) return;
    current_page_->setGeometry(PageArea());
    current_page_->show();
}

void CtnTabCtrl::resizeEvent(QResizeEvent* event) {
    if (event) QWidget::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
    if (current_page_) current_page_->setGeometry(PageArea());
}

void CtnTabCtrl::paintEvent(QPaintEvent* event) {
    if (bar_->CurrentColours().paint_mode != 2) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), colours::ToQColor(bar_->CurrentColours().background));
}

}  // namespace sorvanto
