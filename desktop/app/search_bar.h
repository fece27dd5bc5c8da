#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>

#include "search/search_index.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace sorvanto {

class CSelectView;
class CtnListCtrl;

// The bar above the tabs that the tools menu's "検索..." (Ctrl+F) opens. What is typed filters
// the current tab's rows at once; with "全カテゴリ" on, a list below the bar shows the matches
// of every category (category, the row's texts), and Enter or a double-click there shows the
// item in its tab, selected. Esc closes the bar and shows every row again.
class CSearchBar : public QWidget {
    Q_OBJECT
public:
    CSearchBar(CSelectView& view, QWidget* parent = nullptr);

    // Shows the bar and puts the caret into its text.
    void Open();
    // Hides the bar, empties it and shows every row again.
    void Close();
    // The lists are about to be destroyed: the filtered list and the index go with them.
    void Forget();

    QLineEdit* Text() const { return text_; }
    QCheckBox* AllCategories() const { return all_; }
    QTreeWidget* Results() const { return results_; }
    QLabel* Status() const { return status_; }

    // Filters the current tab and fills the result list for the text as it stands.
    void Apply();
    // Filters the current tab alone.
    void Filter();
    // Shows the item of a result row in its tab; false when the row is no result.
    bool ShowResult(QTreeWidgetItem* item);

private:
    // keep_current: the result row that was current stays so (rows arrived, nothing typed).
    void Apply(bool keep_current);
    // A row the list filled from its store while the bar shows: hidden or shown at once, the
    // count and the list of every category brought up to date when the event loop next runs.
    void RowFilled(CtnListCtrl* list, Category category, int row);
    void Unfilter();
    void SetStatus(const QString& text);

    CSelectView& view_;
    QLineEdit* text_;
    QCheckBox* all_;
    QLabel* status_;
    QTreeWidget* results_;
    SearchIndex index_;
    std::vector<SearchHit> hits_;
    bool text_ok_ = false;  // a text that can match something
    bool refresh_pending_ = false;
    QPointer<CtnListCtrl> filtered_;
};

}  // namespace sorvanto
