#include "dialogs/address_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/sjis.h"
#include "controls/sjis_text.h"
#include "dialogs/sjis_byte_limit.h"
#include "dialogs/sjis_edit_guard.h"
#include "lists/prompt.h"

namespace sorvanto {

namespace {
constexpr int kCodeRole = Qt::UserRole;
}  // namespace

CAddressDlg::CAddressDlg(std::string entry_path, bool new_entry, QWidget* parent)
    : QDialog(parent),
      path_(std::move(entry_path)),
      new_entry_(new_entry),
      original_(path_),
      prompt_(&Prompt::Default()),
      list_(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("アドレス帳登録") +
                   (new_entry_ ? QStringLiteral(" : 新規作成") : QStringLiteral(" : 修正")));
    list_->setColumnCount(2);
    list_->setHeaderHidden(true);
    list_->setColumnWidth(0, 60);
    list_->setColumnWidth(1, 300);
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { RowChanged(); });

    edits_[int(Edit::kName)] = MakeEdit(24);
    edits_[int(Edit::kKana)] = MakeEdit(24);
    edits_[int(Edit::kPhone)] = MakeEdit(24);
    edits_[int(Edit::kMail)] = MakeEdit(50);
    edits_[int(Edit::kPostalCode)] = MakeEdit(8);
    edits_[int(Edit::kAddress)] = MakeEdit(93);
    edits_[int(Edit::kMemo)] = MakeEdit(50);
    auto button = [this](Button b, const char* text) {
        auto* w = new QPushButton(QString::fromUtf8(text), this);
        w->setAutoDefault(false);
        buttons_[int(b)] = w;
        return w;
    };
    // One group per field: its label, its edit and its buttons on one line.
    auto* fields = new QVBoxLayout;
    auto group = [&](const char* label, std::initializer_list<QWidget*> widgets) {
        auto* box = new QGroupBox(QString::fromUtf8(label), this);
        auto* line = new QHBoxLayout(box);
        line->setContentsMargins(6, 2, 6, 4);
        for (QWidget* w : widgets) line->addWidget(w, qobject_cast<QLineEdit*>(w) ? 1 : 0);
        fields->addWidget(box);
    };
    group("名前", {EditOf(Edit::kName), button(Button::kNameModify, "修正")});
    group("カナ", {EditOf(Edit::kKana), button(Button::kKanaModify, "修正")});
    group("電話番号", {EditOf(Edit::kPhone), button(Button::kPhoneAdd, "追加"), button(Button::kPhoneDelete, "削除")});
    group("メールアドレス", {EditOf(Edit::kMail), button(Button::kMailAdd, "追加"), button(Button::kMailDelete, "削除")});
    EditOf(Edit::kPostalCode)->setFixedWidth(80);
    group("住所", {EditOf(Edit::kPostalCode), EditOf(Edit::kAddress), button(Button::kAddressModify, "修正")});
    group("メモ", {EditOf(Edit::kMemo), button(Button::kMemoModify, "修正")});
    fields->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    buttons_[int(Button::kRegister)] = buttons->addButton(QStringLiteral("登録"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0);
    layout->addLayout(fields, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    connect(ButtonOf(Button::kNameModify), &QPushButton::clicked, this, [this] { Modify(AddressEntryRows::kName, Edit::kName); });
    connect(ButtonOf(Button::kKanaModify), &QPushButton::clicked, this, [this] { Modify(AddressEntryRows::kKana, Edit::kKana); });
    connect(ButtonOf(Button::kMemoModify), &QPushButton::clicked, this, [this] { Modify(AddressEntryRows::kMemo, Edit::kMemo); });
    connect(ButtonOf(Button::kAddressModify), &QPushButton::clicked, this, [this] { ModifyAddress(); });
    connect(ButtonOf(Button::kPhoneAdd), &QPushButton::clicked, this, [this] { Add(true); });
    connect(ButtonOf(Button::kMailAdd), &QPushButton::clicked, this, [this] { Add(false); });
    connect(ButtonOf(Button::kPhoneDelete), &QPushButton::clicked, this, [this] { Delete(true); });
    connect(ButtonOf(Button::kMailDelete), &QPushButton::clicked, this, [this] { Delete(false); });

    rows_.Load(original_);
    Refill();
    auto text_of = [this](int code) {
        for (const auto& r : rows_.Rows())
            if (r.code == code) return r.text;
        return std::string();
    };
    SjisByteLimit::SetText(EditOf(Edit::kName), text_of(AddressEntryRows::kName));
    SjisByteLimit::SetText(EditOf(Edit::kKana), text_of(AddressEntryRows::kKana));
    SjisByteLimit::SetText(EditOf(Edit::kPostalCode), text_of(AddressEntryRows::kPostalCode));
    SjisByteLimit::SetText(EditOf(Edit::kAddress), text_of(AddressEntryRows::kAddress));
    SjisByteLimit::SetText(EditOf(Edit::kMemo), text_of(AddressEntryRows::kMemo));
    resize(720, 420);
}

bool CAddressDlg::Run(QWidget* parent, const std::string& entry_path, bool new_entry) {
    CAddressDlg dialog(entry_path, new_entry, parent);
    return dialog.exec() == QDialog::Accepted;
}

QLineEdit* CAddressDlg::MakeEdit(std::size_t max_bytes) {
    auto* edit = new QLineEdit(this);
    // The guard before the limit, which would drop a refused character without a word.
    SjisEditGuard::Attach(edit);
    SjisByteLimit::Apply(edit, max_bytes);
    return edit;
}

QLineEdit* CAddressDlg::EditOf(Edit e) const { return edits_[int(e)]; }
QPushButton* CAddressDlg::ButtonOf(Button b) const { return buttons_[int(b)]; }

void CAddressDlg::Refill(int select_row) {
    const QSignalBlocker block(list_);
    list_->clear();
    for (const auto& r : rows_.Rows()) {
        auto* item = new QTreeWidgetItem(list_, {sjis_text::ToQString(r.label), sjis_text::ToQString(r.text)});
        item->setData(0, kCodeRole, r.code);
    }
    if (select_row >= 0 && select_row < list_->topLevelItemCount())
        list_->setCurrentItem(list_->topLevelItem(select_row));
}

void CAddressDlg::RowChanged() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= static_cast<int>(rows_.Rows().size())) return;
    const auto& r = rows_.Rows()[static_cast<std::size_t>(row)];
    if (AddressEntryRows::IsPhone(r.code)) SjisByteLimit::SetText(EditOf(Edit::kPhone), r.text);
    else if (AddressEntryRows::IsMail(r.code)) SjisByteLimit::SetText(EditOf(Edit::kMail), r.text);
}

std::optional<std::string> CAddressDlg::BytesOf(Edit e) { return SjisEditGuard::Bytes(this, EditOf(e)->text()); }

void CAddressDlg::Modify(int code, Edit from) {
    const auto text = BytesOf(from);
    if (!text) return;
    rows_.SetText(code, *text);
    Refill();
}

void CAddressDlg::ModifyAddress() {
    const auto postal = BytesOf(Edit::kPostalCode);
    const auto address = postal ? BytesOf(Edit::kAddress) : std::nullopt;
    if (!address) return;
    const std::string digits = AddressEntryRows::PostalDigits(*postal);
    SjisByteLimit::SetText(EditOf(Edit::kPostalCode), digits);
    rows_.SetText(AddressEntryRows::kPostalCode, digits);
    rows_.SetText(AddressEntryRows::kAddress, *address);
    Refill();
}

void CAddressDlg::Add(bool phone) {
    const auto bytes = BytesOf(phone ? Edit::kPhone : Edit::kMail);
    if (!bytes) return;
    const std::string& text = *bytes;
    const auto result = phone ? rows_.AddPhone(text) : rows_.AddMail(text);
    if (result == AddressEntryRows::AddResult::Added) Refill();
    else if (result != AddressEntryRows::AddResult::Ignored)
        prompt_->Tell(this, AddressEntryRows::Message(result), Prompt::Icon::kExclamation);
}

void CAddressDlg::Delete(bool phone) {
    const auto bytes = BytesOf(phone ? Edit::kPhone : Edit::kMail);
    if (!bytes) return;
    const std::string& text = *bytes;
    const int row = phone ? rows_.FindPhone(text) : rows_.FindMail(text);
    if (row < 0) return;
    if (!prompt_->Ask(this, AddressEntryRows::DeleteQuestion(text), Prompt::Icon::kNone)) return;
    rows_.RemoveRow(row);
    Refill();
}

void CAddressDlg::accept() {
    const auto result = rows_.Write(path_, original_);
    if (result == AddressEntryRows::WriteResult::Written) {
        QDialog::accept();
        return;
    }
    // A missing name is a question of the form; a failed write keeps everything typed so that
    // nothing is lost (the entry can be registered again once the folder is writable).
    const bool failed = result == AddressEntryRows::WriteResult::Failed;
    prompt_->Tell(this, AddressEntryRows::Message(result), failed ? Prompt::Icon::kExclamation : Prompt::Icon::kQuestion);
}

}  // namespace sorvanto
