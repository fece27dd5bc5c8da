#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "search/duplicate_finder.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace sorvanto {

// "重複の整理": the groups of items that are the same, one branch per group with its items.
// An address-book group is merged into its first entry (統合), the copies of other items are
// deleted (重複を削除); either way every item of the group is backed up first ("Backup\"), and
// a failure is told ("処理に失敗しました", or why a merge was refused) with nothing changed.
class CDuplicatesDlg : public QDialog {
    Q_OBJECT
public:
    using StoresFn = std::function<StoreRefs()>;
    using TellFn = std::function<void(QWidget* parent, const QString& text)>;

    CDuplicatesDlg(StoresFn stores, QWidget* parent = nullptr);

    // The seam for the message box (tests answer it).
    void SetTell(TellFn tell) { tell_ = std::move(tell); }

    // Scans the stores again and refills the tree.
    void Rescan();
    // Tidies the group of the current tree item; true when it was done.
    bool TidyCurrent();

    QTreeWidget* Groups() const { return tree_; }
    const std::vector<DuplicateGroup>& GroupList() const { return groups_; }
    QPushButton* MergeButton() const { return merge_; }
    QPushButton* DeleteButton() const { return delete_; }
    QLabel* Status() const { return status_; }

private:
    // The group of the current tree item, -1 for none.
    int CurrentGroup() const;
    void UpdateButtons();

    StoresFn stores_;
    TellFn tell_;
    std::vector<DuplicateGroup> groups_;
    QTreeWidget* tree_;
    QPushButton* merge_;
    QPushButton* delete_;
    QLabel* status_;
};

}  // namespace sorvanto
