#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <QPixmap>
#include <QRect>
#include <QTreeView>

#include "controls/ctn_list_model.h"
#include "controls/list_item_record.h"

namespace sorvanto {

// The list behind every category list: a report view whose rows carry a ListItemRecord, drawn
// by the control itself (colour scheme, small image in the first column, per-column alignment,
// "..." truncation measured in the control's font, focus rectangle), sorted by a click on a
// column header (ascending, or descending when the column already is ascending). A double-click
// on a header divider fits the column to its widest cell, as a Windows list does.
//
// Cells hold Shift_JIS bytes; they are shown through sjis_text (pictographs as emoji).
// Category views derive from it, add columns and rows, and may override OnColumnClick.
class CtnListCtrl : public QTreeView {
    Q_OBJECT
public:
    enum class Selection { kSingle, kMultiple };
    // The extended-style value that switches full-row selection on.
    static constexpr std::uint32_t kFullRowSelect = 0x20;
    static constexpr int kSchemeCount = 32;

    // Text, background, selected text and selected background, each 0xBBGGRR.
    struct ColourScheme {
        std::uint32_t text = 0x000000, background = 0xFFFFFF;
        std::uint32_t selected_text = 0xFFFFFF, selected_background = 0x800000;
    };

    explicit CtnListCtrl(QWidget* parent = nullptr, Selection selection = Selection::kSingle);

    // A column at position (past the end appends) with its heading, alignment and width; the
    // new column index, or -1 once ten columns exist. Column index = the cells' sub-item.
    int InsertColumn(int position, const QString& heading, ellipsis_fit::Alignment format, int width);
    // A row at index with its first cell and image (-1 for none): the row index or -1.
    int InsertRow(int index, const std::string& text, int image = -1);
    bool SetItemText(int row, int column, const std::string& text);
    std::string ItemText(int row, int column) const;
    // The row's record with its user value set, or nullptr when the row does not exist.
    ListItemRecord* SetUserValue(int row, int value);
    // 0 when the row does not exist.
    int UserValue(int row) const;
    const ListItemRecord* Record(int row) const;
    // False when the row does not exist.
    bool DeleteRow(int row);
    void DeleteAllRows();
    int RowCount() const;

    // Only kFullRowSelect has an effect: it switches full-row selection on for good.
    void SetExtendedStyle(std::uint32_t style);
    bool FullRowSelect() const { return full_row_select_; }

    // The small image list (all images one size); row images index into it.
    void SetSmallImages(std::vector<QPixmap> images);

    std::vector<int> SelectedRows() const;
    // The first selected row, -1 for none.
    int SelectedRow() const;
    void SelectRow(int row);

    // Sorts the rows by a column; header clicks come here through OnColumnClick.
    list_sort::Direction SortByColumn(int column);
    // The width that shows every cell of a column whole as the control draws it (the image
    // too in the first column; the heading does not count); -1 for a column that does not exist
    // or a list without rows.
    int FittingWidth(int column) const;
    // Sets a column to its fitting width (the header keeps its least section width); false
    // when it has none, and the width stays.
    bool FitColumn(int column);

    // The screen rectangle of each cell of the row drawn last (left to right, up to ten).
    QRect LastCellRect(int column) const;

    CtnListModel* Model() const { return model_; }

Q_SIGNALS:
    // Double-click or Enter on a row.
    void RowActivated(int row);

protected:
    // A click on a column header: sorts by it. Views may replace it with the same behaviour.
    virtual void OnColumnClick(int sub_item);
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateRowHeight();
    // The small image drawn left of a row's first cell, or null.
    const QPixmap* ImageOf(const ListItemRecord& record) const;

    CtnListModel* model_;
    std::array<ColourScheme, kSchemeCount> schemes_{};
    bool full_row_select_ = false;
    std::vector<QPixmap> images_;
    mutable std::array<QRect, CtnListModel::kMaxColumns> cell_rects_{};
};

}  // namespace sorvanto
