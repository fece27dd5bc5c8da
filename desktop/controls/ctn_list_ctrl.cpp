#include "controls/ctn_list_ctrl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>

#include "common/sjis.h"
#include "controls/colour_derivation.h"
#include "controls/emoji_text.h"
#include "controls/sjis_text.h"

namespace sorvanto {

namespace {

// A cell shows at most this much of its text.
constexpr std::size_t kCellBytes = 513;

void DrawFocusRectangle(QPainter* painter, const QRect& rect, const QColor& colour) {
    painter->save();
    QPen pen(colour);
    pen.setStyle(Qt::DotLine);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

}  // namespace

CtnListCtrl::CtnListCtrl(QWidget* parent, Selection selection)
    : QTreeView(parent), model_(new CtnListModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(selection == Selection::kSingle ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) { OnColumnClick(section); });
    // The tree view fits a column itself on this double-click, but counts the heading and
    // measures cells as its delegate would draw them, not as drawRow does.
    disconnect(header(), &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(header(), &QHeaderView::sectionHandleDoubleClicked, this, [this](int section) { FitColumn(section); });
    connect(this, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { Q_EMIT RowActivated(index.row()); });
    UpdateRowHeight();
}

int CtnListCtrl::InsertColumn(int position, const QString& heading, ellipsis_fit::Alignment format, int width) {
    const int column = model_->InsertColumn(position, heading, format);
    if (column >= 0) header()->resizeSection(column, std::max(width, 0));
    return column;
}

int CtnListCtrl::InsertRow(int index, const std::string& text, int image) {
    return model_->InsertRow(index, text, image);
}

bool CtnListCtrl::SetItemText(int row, int column, const std::string& text) {
    return model_->SetText(row, column, text);
}

std::string CtnListCtrl::ItemText(int row, int column) const { return model_->Text(row, column); }

ListItemRecord* CtnListCtrl::SetUserValue(int row, int value) {
    ListItemRecord* record = model_->Record(row);
    if (record) record->user_value = value;
    return record;
}

int CtnListCtrl::UserValue(int row) const {
    const ListItemRecord* record = model_->Record(row);
    return record ? record->user_value : 0;
}

const ListItemRecord* CtnListCtrl::Record(int row) const { return model_->Record(row); }

bool CtnListCtrl::DeleteRow(int row) { return model_->RemoveRow(row); }

void CtnListCtrl::DeleteAllRows() { model_->Clear(); }

int CtnListCtrl::RowCount() const { return model_->rowCount(); }

void CtnListCtrl::SetExtendedStyle(std::uint32_t style) {
    if (style == kFullRowSelect) full_row_select_ = true;
    viewport()->update();
}

void CtnListCtrl::SetSmallImages(std::vector<QPixmap> images) {
    images_ = std::move(images);
    UpdateRowHeight();
    viewport()->update();
}

std::vector<int> CtnListCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CtnListCtrl::SelectedRow() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

void CtnListCtrl::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(model_->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

list_sort::Direction CtnListCtrl::SortByColumn(int column) { return model_->SortByColumn(column); }

int CtnListCtrl::FittingWidth(int column) const {
    if (column < 0 || column >= std::min(model_->columnCount(), CtnListModel::kMaxColumns) || RowCount() == 0)
        return -1;
    const QFont cell_font = font();
    const QFontMetrics metrics(cell_font);
    int widest = 0;
    for (int row = 0; row < RowCount(); ++row) {
        // Measured as drawRow measures it: the cut text, in the emoji font where it has emoji.
        const QString shown = sjis_text::ToQString(sjis::CutBytes(model_->Text(row, column), kCellBytes));
        const int text = sjis_text::EmojiRanges(model_->Shown(row, column)).isEmpty()
                             ? metrics.horizontalAdvance(shown)
                             : emoji_text::Width(cell_font, shown);
        int width = ellipsis_fit::WholeWidth(text);
        if (column == 0 && ImageOf(*model_->Record(row))) width += images_.front().width();
        widest = std::max(widest, width);
    }
    return widest;
}

bool CtnListCtrl::FitColumn(int column) {
    const int width = FittingWidth(column);
    if (width < 0) return false;
    header()->resizeSection(column, width);
    return true;
}

QRect CtnListCtrl::LastCellRect(int column) const {
    if (column < 0 || column >= CtnListModel::kMaxColumns) return {};
    return cell_rects_[static_cast<std::size_t>(column)];
}

void CtnListCtrl::OnColumnClick(int sub_item) { SortByColumn(sub_item); }

void CtnListCtrl::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateRowHeight();
}

void CtnListCtrl::UpdateRowHeight() {
    int height = fontMetrics().height() + 1;
    if (!images_.empty()) height = std::max(height, images_.front().height() + 2);
    model_->SetRowHeight(height);
}

const QPixmap* CtnListCtrl::ImageOf(const ListItemRecord& record) const {
    if (record.image < 0 || record.image >= static_cast<int>(images_.size())) return nullptr;
    return &images_[static_cast<std::size_t>(record.image)];
}

void CtnListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int row = index.row();
    const ListItemRecord* record = model_->Record(row);
    if (!record || record->scheme < 0 || record->scheme >= kSchemeCount) return;
    const ColourScheme& scheme = schemes_[static_cast<std::size_t>(record->scheme)];
    const QFont cell_font = font();
    const QFontMetrics metrics(cell_font);
    const auto measure = [&metrics](std::string_view bytes) {
        return metrics.horizontalAdvance(sjis_text::ToQString(bytes));
    };
    // Cells with pictographs are measured as they are drawn, the emoji in the emoji font.
    const auto measure_emoji = [&cell_font](std::string_view bytes) {
        return emoji_text::Width(cell_font, sjis_text::ToQString(bytes));
    };

    const int top = option.rect.top();
    const int height = option.rect.height();
    int left = -header()->offset();
    const int row_right = left + header()->length();

    // The image goes left of the first cell; a row without one has no gap.
    const QPixmap* image = ImageOf(*record);
    const int image_width = image ? images_.front().width() : 0;
    const QPoint image_at(left, top + 1);
    left += image_width;

    const bool selected = selectionModel() && selectionModel()->isSelected(model_->index(row, 0));
    QColor text_colour, background;
    QRect last_cell;
    cell_rects_.fill(QRect());
    const int columns = std::min(model_->columnCount(), CtnListModel::kMaxColumns);
    for (int column = 0; column < columns && left < row_right; ++column) {
        const int width = header()->sectionSize(column) - (column == 0 ? image_width : 0);
        const QRect cell(left, top, std::max(width, 0), height);
        cell_rects_[static_cast<std::size_t>(column)] = cell;
        painter->save();
        painter->setClipRect(cell, Qt::IntersectClip);

        const std::string text = sjis::CutBytes(model_->Text(row, column), kCellBytes);
        const QString whole = model_->Shown(row, column);
        const bool pictographs = !sjis_text::EmojiRanges(whole).isEmpty();
        const ellipsis_fit::Fit fit = ellipsis_fit::FitCell(text, cell.width(), model_->ColumnFormat(column),
                                                            pictographs ? ellipsis_fit::Measure(measure_emoji)
                                                                        : ellipsis_fit::Measure(measure));

        const bool highlight = selected && (column == 0 || full_row_select_);
        text_colour = colours::ToQColor(highlight ? scheme.selected_text : scheme.text);
        background = colours::ToQColor(highlight ? scheme.selected_background : scheme.background);
        painter->fillRect(cell, background);
        painter->setPen(text_colour);
        const QString shown =
            fit.text == model_->Text(row, column) ? whole : sjis_text::ToQString(fit.text);
        const QPoint baseline(cell.left() + fit.x_offset, top + metrics.ascent());
        if (pictographs) {
            emoji_text::Draw(painter, cell_font, baseline, shown);
        } else {
            painter->setFont(cell_font);
            painter->drawText(baseline, shown);
        }
        painter->restore();
        if (column == 0 && image) painter->drawPixmap(image_at, *image);
        last_cell = cell;
        left = cell.right() + 1;
    }

    if (row == currentIndex().row() && hasFocus() && !last_cell.isNull()) {
        const QRect first = cell_rects_[0];
        const QRect focus = full_row_select_ ? QRect(QPoint(first.left(), top), QPoint(last_cell.right(), top + height - 1))
                                             : first;
        DrawFocusRectangle(painter, focus, text_colour);
    }
}

}  // namespace sorvanto
