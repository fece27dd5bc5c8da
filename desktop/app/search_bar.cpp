#include "app/search_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <unordered_set>

#include "app/row_text.h"
#include "app/select_view.h"
#include "controls/ctn_list_ctrl.h"
#include "controls/sjis_text.h"
#include "search/store_rows.h"
#include "search/text_fold.h"

namespace sorvanto {

namespace {

using row_text::Joined;
using row_text::TabTextOf;

constexpr int kCategoryRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;

}  // namespace

CSearchBar::CSearchBar(CSelectView& view, QWidget* parent)
    : QWidget(parent), view_(view), text_(new QLineEdit(this)),
      all_(new QCheckBox(QString::fromUtf8("全カテゴリ"), this)), status_(new QLabel(this)),
      results_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("SearchBar"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 2);
    column->setSpacing(2);
    auto* row = new QHBoxLayout();
    row->addWidget(new QLabel(QString::fromUtf8("検索:"), this));
    text_->setObjectName(QStringLiteral("SearchText"));
    text_->setClearButtonEnabled(true);
    text_->setPlaceholderText(QString::fromUtf8("名前・読み・番号・件名・本文・URL …"));
    row->addWidget(text_, 1);
    all_->setObjectName(QStringLiteral("SearchAll"));
    row->addWidget(all_);
    status_->setObjectName(QStringLiteral("SearchStatus"));
    status_->setMinimumWidth(90);
    row->addWidget(status_);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("SearchClose"));
    close->setText(QString::fromUtf8("×"));
    close->setToolTip(QString::fromUtf8("閉じる (Esc)"));
    row->addWidget(close);
    column->addLayout(row);

    results_->setObjectName(QStringLiteral("SearchResults"));
    results_->setColumnCount(2);
    results_->setHeaderLabels({QString::fromUtf8("カテゴリ"), QString::fromUtf8("内容")});
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->header()->resizeSection(0, 110);
    results_->setMaximumHeight(130);
    results_->hide();
    column->addWidget(results_);

    connect(text_, &QLineEdit::textChanged, this, [this] { Apply(); });
    connect(all_, &QCheckBox::toggled, this, [this] { Apply(); });
    connect(close, &QToolButton::clicked, this, [this] { Close(); });
    // Enter in the text takes the first match of the list, as the user would pick it.
    connect(text_, &QLineEdit::returnPressed, this, [this] {
        if (all_->isChecked() && results_->topLevelItemCount() > 0)
            ShowResult(results_->currentItem() ? results_->currentItem() : results_->topLevelItem(0));
    });
    connect(results_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { ShowResult(item); });
    // Esc anywhere in the window while the bar shows: after a jump the caret is in the list.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, [this] { Close(); });
    // Another tab: its rows are filtered; the list of every category stays as it is.
    connect(&view_, &CSelectView::TabChanged, this, [this] {
        if (isVisible()) Filter();
    });
    connect(&view_, &CSelectView::RowFilled, this,
            [this](CtnListCtrl* list, Category category, int row) { RowFilled(list, category, row); });
    hide();
}

void CSearchBar::Open() {
    show();
    text_->setFocus();
    text_->selectAll();
    Apply();
}

void CSearchBar::Close() {
    hide();
    const QSignalBlocker block(text_);
    text_->clear();
    results_->clear();
    results_->hide();
    SetStatus({});
    filtered_ = nullptr;
    view_.ShowAllRows();
}

void CSearchBar::Forget() {
    filtered_ = nullptr;
    index_.SetStores({});
    results_->clear();
}

void CSearchBar::SetStatus(const QString& text) { status_->setText(text); }

void CSearchBar::Unfilter() {
    if (!filtered_) return;
    for (int row = 0; row < filtered_->RowCount(); ++row)
        if (filtered_->isRowHidden(row, QModelIndex())) filtered_->setRowHidden(row, QModelIndex(), false);
    filtered_ = nullptr;
}

void CSearchBar::Apply() { Apply(false); }

void CSearchBar::Apply(bool keep_current) {
    std::optional<std::pair<int, int>> current;
    if (QTreeWidgetItem* item = results_->currentItem(); keep_current && item)
        current = {item->data(0, kCategoryRole).toInt(), item->data(0, kKeyRole).toInt()};
    results_->clear();
    results_->setVisible(all_->isChecked());
    Filter();
    if (!all_->isChecked() || !text_ok_) return;
    const StoreRefs stores = view_.Stores();
    QList<QTreeWidgetItem*> items;
    for (const SearchHit& h : hits_) {
        auto* item = new QTreeWidgetItem({TabTextOf(h.category), Joined(RowTextsOf(stores, h.category, h.key))});
        item->setData(0, kCategoryRole, static_cast<int>(h.category));
        item->setData(0, kKeyRole, h.key);
        items << item;
    }
    results_->addTopLevelItems(items);
    QTreeWidgetItem* pick = items.isEmpty() ? nullptr : items.front();
    for (QTreeWidgetItem* item : items)
        if (current && item->data(0, kCategoryRole).toInt() == current->first &&
            item->data(0, kKeyRole).toInt() == current->second)
            pick = item;
    if (pick) results_->setCurrentItem(pick);
}

void CSearchBar::RowFilled(CtnListCtrl* list, Category category, int row) {
    if (!isVisible()) return;
    // Only the list the bar filters hides rows; filtered_ is cleared while the text matches
    // everything.
    if (list && list == filtered_ && row >= 0 && row < list->RowCount()) {
        const std::optional<std::string> text = sjis_text::FromQString(text_->text());
        const bool hide = !text || !index_.Matches(*text, category, list->UserValue(row));
        if (list->isRowHidden(row, QModelIndex()) != hide) list->setRowHidden(row, QModelIndex(), hide);
    }
    // A receive brings many rows at once: one refresh after the last of them.
    if (refresh_pending_) return;
    refresh_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        refresh_pending_ = false;
        if (isVisible()) Apply(true);
    });
}

void CSearchBar::Filter() {
    CategoryPage* page = view_.CurrentPage();
    auto* list = page ? dynamic_cast<CtnListCtrl*>(page->Widget()) : nullptr;
    if (filtered_ != list) Unfilter();
    hits_.clear();
    const std::optional<std::string> text = sjis_text::FromQString(text_->text());
    text_ok_ = text.has_value();
    if (text && text_fold::Fold(*text).empty()) {
        text_ok_ = false;
        Unfilter();
        SetStatus({});
        return;
    }
    // A character Shift_JIS cannot hold is in no stored item: nothing matches.
    if (text) {
        index_.SetStores(view_.Stores());
        hits_ = index_.Find(*text, all_->isChecked() || !page ? std::nullopt : std::optional(page->GetCategory()));
    }
    if (list && page) {
        std::unordered_set<int> keys;
        for (const SearchHit& h : hits_)
            if (h.category == page->GetCategory()) keys.insert(h.key);
        for (int row = 0; row < list->RowCount(); ++row) {
            const bool hide = !keys.count(list->UserValue(row));
            if (list->isRowHidden(row, QModelIndex()) != hide) list->setRowHidden(row, QModelIndex(), hide);
        }
        filtered_ = list;
    }
    SetStatus(!text ? QString::fromUtf8("Shift_JISにない文字です")
                    : QString::fromUtf8("%1 件").arg(hits_.size()));
}

bool CSearchBar::ShowResult(QTreeWidgetItem* item) {
    if (!item) return false;
    const auto c = static_cast<Category>(item->data(0, kCategoryRole).toInt());
    return view_.ShowItem(c, item->data(0, kKeyRole).toInt());
}

}  // namespace sorvanto
