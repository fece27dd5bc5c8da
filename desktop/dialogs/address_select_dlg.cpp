#include "dialogs/address_select_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "controls/sjis_text.h"
#include "dialogs/sjis_byte_limit.h"
#include "dialogs/sjis_edit_guard.h"

namespace sorvanto {

namespace {
constexpr int kAddressRole = Qt::UserRole;
// What the composer reads back from the recipients text.
constexpr std::size_t kRecipientsBytes = 1039;
}  // namespace

CAddressSelectDlg::CAddressSelectDlg(AddressProvider provider, QWidget* parent)
    : QDialog(parent),
      provider_(std::move(provider)),
      list_(new QTreeWidget(this)),
      edit_(new QPlainTextEdit(this)),
      add_(new QPushButton(QStringLiteral("追加  ->"), this)) {
    setWindowTitle(QStringLiteral("アドレス選択"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("Address")});
    list_->setColumnWidth(0, 70 * 3 / 2);
    list_->setColumnWidth(1, 100 * 3 / 2);
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    // The guard before the limit, which would drop a refused character without a word.
    SjisEditGuard::Attach(edit_);
    SjisByteLimit::Apply(edit_, [] { return kRecipientsBytes; });
    // Tab moves on to OK, as in every small dialog; a recipients line has no use for it.
    edit_->setTabChangesFocus(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("アドレス一覧"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("送信先"), this), 0, 2);
    layout->addWidget(list_, 1, 0, 2, 1);
    layout->addWidget(add_, 1, 1, Qt::AlignVCenter);
    layout->addWidget(edit_, 1, 2, 2, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(2, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons, 3, 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    connect(add_, &QPushButton::clicked, this, [this] { AddSelected(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { AddSelected(); });
    resize(560, 300);
    Fill();
}

void CAddressSelectDlg::Fill() {
    for (const AddressChoice& choice : CollectAddressChoices(provider_)) {
        auto* row = new QTreeWidgetItem(list_, {sjis_text::ToQString(choice.name), sjis_text::ToQString(choice.address)});
        row->setData(0, kAddressRole, QByteArray::fromStdString(choice.address));
    }
}

void CAddressSelectDlg::SetRecipients(const std::string& recipients) {
    recipients_ = recipients;
    SjisByteLimit::SetText(edit_, recipients);
}

void CAddressSelectDlg::AddSelected() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    const std::string address = selected.front()->data(0, kAddressRole).toByteArray().toStdString();
    const auto current = SjisEditGuard::Bytes(this, sjis_text::WithCrLf(edit_->toPlainText()));
    if (!current) return;
    const std::string text = AppendRecipient(*current, address);
    // A line longer than the composer reads back is refused rather than cut in the middle of
    // an address.
    if (text.size() > kRecipientsBytes) return;
    SjisByteLimit::SetText(edit_, text);
}

void CAddressSelectDlg::accept() {
    const auto text = SjisEditGuard::Bytes(this, sjis_text::WithCrLf(edit_->toPlainText()));
    if (!text) return;
    recipients_ = FinalRecipients(*text);
    QDialog::accept();
}

}  // namespace sorvanto
