#include "controls/ctn_list_model.h"

#include <QSize>

#include "controls/sjis_text.h"

namespace sorvanto {

namespace {
const std::string kNoText;
}  // namespace

int CtnListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CtnListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CtnListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !ValidRow(index.row())) return {};
    if (role == Qt::DisplayRole) return Shown(index.row(), index.column());
    if (role == Qt::SizeHintRole) return QSize(-1, row_height_);
    return {};
}

QVariant CtnListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return columns_[static_cast<std::size_t>(section)].heading;
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

int CtnListModel::InsertColumn(int position, const QString& heading, ellipsis_fit::Alignment format) {
    if (position < 0 || columnCount() >= kMaxColumns) return -1;
    position = std::min(position, columnCount());
    beginInsertColumns({}, position, position);
    // Rows added before any column already hold the first column's slot.
    const bool rows_have_slot = columns_.empty();
    columns_.insert(columns_.begin() + position, Column{heading, format});
    for (Row& row : rows_) {
        if (rows_have_slot) break;
        row.cells.insert(row.cells.begin() + position, std::string());
    }
    endInsertColumns();
    return position;
}

ellipsis_fit::Alignment CtnListModel::ColumnFormat(int column) const {
    if (column < 0 || column >= columnCount()) return ellipsis_fit::Alignment::kLeft;
    return columns_[static_cast<std::size_t>(column)].format;
}

int CtnListModel::InsertRow(int index, const std::string& text, int image) {
    if (index < 0) return -1;
    index = std::min(index, rowCount());
    Row row;
    const std::size_t width = std::max<std::size_t>(columns_.size(), 1);
    row.cells.resize(width);
    row.cells[0] = text;
    row.record.image = image;
    beginInsertRows({}, index, index);
    rows_.insert(rows_.begin() + index, std::move(row));
    endInsertRows();
    return index;
}

bool CtnListModel::SetText(int row, int column, const std::string& text) {
    if (!ValidRow(row) || column < 0 || column >= std::max(columnCount(), 1)) return false;
    Row& r = rows_[static_cast<std::size_t>(row)];
    r.cells[static_cast<std::size_t>(column)] = text;
    const QModelIndex at = this->index(row, column);
    Q_EMIT dataChanged(at, at);
    return true;
}

const std::string& CtnListModel::Text(int row, int column) const {
    if (!ValidRow(row) || column < 0) return kNoText;
    const Row& r = rows_[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < r.cells.size() ? r.cells[static_cast<std::size_t>(column)] : kNoText;
}

// Converted when asked (only the rows on screen are painted): keeping a converted copy of every
// cell cost more memory than the Shift_JIS cells themselves.
QString CtnListModel::Shown(int row, int column) const { return sjis_text::ToQString(Text(row, column)); }

ListItemRecord* CtnListModel::Record(int row) {
    return ValidRow(row) ? &rows_[static_cast<std::size_t>(row)].record : nullptr;
}

const ListItemRecord* CtnListModel::Record(int row) const {
    return ValidRow(row) ? &rows_[static_cast<std::size_t>(row)].record : nullptr;
}

bool CtnListModel::RemoveRow(int row) {
    if (!ValidRow(row)) return false;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return true;
}

void CtnListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

list_sort::Direction CtnListModel::SortByColumn(int column) {
    std::vector<const std::string*> cells;
    cells.reserve(rows_.size());
    for (int i = 0; i < rowCount(); ++i) cells.push_back(&Text(i, column));
    list_sort::Order order = list_sort::SortOrder(cells);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> new_position(rows_.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t pos = 0; pos < order.rows.size(); ++pos) {
        new_position[static_cast<std::size_t>(order.rows[pos])] = static_cast<int>(pos);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order.rows[pos])]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.push_back(i.isValid() ? index(new_position[static_cast<std::size_t>(i.row())], i.column()) : i);
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return order.direction;
}

void CtnListModel::SetRowHeight(int height) {
    if (height == row_height_) return;
    row_height_ = height;
    if (rowCount() > 0) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, std::max(columnCount() - 1, 0)));
}

}  // namespace sorvanto
