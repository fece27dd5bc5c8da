#pragma once

#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

#include "controls/ellipsis_fit.h"
#include "controls/list_item_record.h"
#include "controls/list_sort.h"

namespace sorvanto {

// The rows behind a CtnListCtrl: Shift_JIS cells and each row's record.
// Display role gives the shown text, so keyboard search and accessibility see real text.
class CtnListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxColumns = 10;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // -1 when kMaxColumns columns exist or position is negative; a position past the end appends.
    int InsertColumn(int position, const QString& heading, ellipsis_fit::Alignment format);
    ellipsis_fit::Alignment ColumnFormat(int column) const;
    // -1 for a negative index; an index past the end appends.
    int InsertRow(int index, const std::string& text, int image);
    bool SetText(int row, int column, const std::string& text);
    // Empty for a cell that does not exist.
    const std::string& Text(int row, int column) const;
    QString Shown(int row, int column) const;
    ListItemRecord* Record(int row);
    const ListItemRecord* Record(int row) const;
    bool RemoveRow(int row);
    void Clear();
    // Reorders the rows by one column (ascending, or descending when already ascending);
    // selection and current row follow their rows.
    list_sort::Direction SortByColumn(int column);

    void SetRowHeight(int height);

private:
    struct Row {
        std::vector<std::string> cells;
        ListItemRecord record;
    };
    struct Column {
        QString heading;
        ellipsis_fit::Alignment format;
    };
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }

    std::vector<Row> rows_;
    std::vector<Column> columns_;
    int row_height_ = 18;
};

}  // namespace sorvanto
