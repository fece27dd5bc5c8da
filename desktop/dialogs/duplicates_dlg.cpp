#include "dialogs/duplicates_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/row_text.h"
#include "app/select_view.h"
#include "controls/sjis_text.h"
#include "search/duplicate_tidy.h"
#include "search/store_rows.h"
#include "store/address_entry_file.h"
#include "store/address_store.h"

namespace sorvanto {

namespace {

using row_text::Joined;
using row_text::TabTextOf;

constexpr int kGroupRole = Qt::UserRole;

// An address entry with every number and address it holds (its row shows only the last ones,
// and the merge is about all of them); other items as their rows.
QString ItemText(const StoreRefs& stores, Category c, int key) {
    const AddressItem* a = c == Category::kAddress && stores.address ? stores.address->Find(key) : nullptr;
    const auto entry = a ? ReadAddressEntry(a->path) : std::nullopt;
    if (!entry) return Joined(RowTextsOf(stores, c, key));
    std::vector<std::string> texts{entry->name, entry->kana};
    for (const std::string& tel : entry->tels) texts.push_back(AfterColon(tel));
    for (const std::string& mail : entry->mails) texts.push_back(AfterColon(mail));
    texts.push_back(entry->note);
    return Joined(texts);
}

}  // namespace

CDuplicatesDlg::CDuplicatesDlg(StoresFn stores, QWidget* parent)
    : QDialog(parent), stores_(std::move(stores)), tree_(new QTreeWidget(this)),
      merge_(new QPushButton(QString::fromUtf8("統合"), this)),
      delete_(new QPushButton(QString::fromUtf8("重複を削除"), this)), status_(new QLabel(this)) {
    setWindowTitle(QString::fromUtf8("重複の整理"));
    setObjectName(QStringLiteral("DuplicatesDlg"));
    resize(640, 420);
    tell_ = [](QWidget* parent_widget, const QString& text) {
        QMessageBox::warning(parent_widget, QString::fromUtf8("確認"), text);
    };
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QString::fromUtf8(
        "同じ内容のデータをまとめて表示しています。アドレス帳は先頭の項目に電話番号とメールアドレスを"
        "統合し、それ以外は先頭の項目を残して削除します。変更の前に全ての項目を Backup フォルダに保存します。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    tree_->setObjectName(QStringLiteral("DuplicateGroups"));
    tree_->setColumnCount(2);
    tree_->setHeaderLabels({QString::fromUtf8("カテゴリ"), QString::fromUtf8("内容")});
    tree_->header()->resizeSection(0, 150);
    layout->addWidget(tree_, 1);
    status_->setObjectName(QStringLiteral("DuplicateStatus"));
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout();
    merge_->setObjectName(QStringLiteral("MergeButton"));
    delete_->setObjectName(QStringLiteral("DeleteButton"));
    buttons->addWidget(merge_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    auto* close = new QPushButton(QString::fromUtf8("閉じる"), this);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    connect(merge_, &QPushButton::clicked, this, [this] { TidyCurrent(); });
    connect(delete_, &QPushButton::clicked, this, [this] { TidyCurrent(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Rescan();
}

void CDuplicatesDlg::Rescan() {
    const StoreRefs stores = stores_();
    groups_ = DuplicateFinder::Find(stores);
    tree_->clear();
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const DuplicateGroup& group = groups_[g];
        auto* top = new QTreeWidgetItem(
            {TabTextOf(group.category), QString::fromUtf8("%1 件").arg(group.keys.size())});
        top->setData(0, kGroupRole, static_cast<int>(g));
        for (std::size_t i = 0; i < group.keys.size(); ++i) {
            auto* child = new QTreeWidgetItem(
                {i == 0 ? QString::fromUtf8("残す") : QString(), ItemText(stores, group.category, group.keys[i])});
            child->setData(0, kGroupRole, static_cast<int>(g));
            top->addChild(child);
        }
        tree_->addTopLevelItem(top);
        top->setExpanded(true);
    }
    if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
    if (groups_.empty()) status_->setText(QString::fromUtf8("重複はありません"));
    UpdateButtons();
}

int CDuplicatesDlg::CurrentGroup() const {
    const QTreeWidgetItem* item = tree_->currentItem();
    if (!item) return -1;
    const int g = item->data(0, kGroupRole).toInt();
    return g >= 0 && static_cast<std::size_t>(g) < groups_.size() ? g : -1;
}

void CDuplicatesDlg::UpdateButtons() {
    const int g = CurrentGroup();
    const bool address = g >= 0 && groups_[static_cast<std::size_t>(g)].category == Category::kAddress;
    merge_->setEnabled(g >= 0 && address);
    delete_->setEnabled(g >= 0 && !address);
}

bool CDuplicatesDlg::TidyCurrent() {
    const int g = CurrentGroup();
    if (g < 0) return false;
    const DuplicateTidy::Outcome out = DuplicateTidy(stores_()).Tidy(groups_[static_cast<std::size_t>(g)]);
    if (!out.ok) {
        tell_(this, sjis_text::ToQString(out.message));
        return false;
    }
    Rescan();
    status_->setText(QString::fromUtf8("整理しました。元のデータは %1 に保存しました")
                         .arg(QString::fromStdString(out.backup_folder)));
    return true;
}

}  // namespace sorvanto
