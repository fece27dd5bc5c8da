#include "dialogs/mail_compose_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/copy_data_event.h"
#include "app/main_frame.h"
#include "app/select_view.h"
#include "common/sjis.h"
#include "controls/sjis_text.h"
#include "dialogs/address_dlg.h"
#include "dialogs/address_select_dlg.h"
#include "dialogs/sjis_byte_limit.h"
#include "dialogs/sjis_edit_guard.h"
#include "lists/address_list.h"
#include "lists/mail_list.h"
#include "lists/prompt.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {

constexpr int kEntryRole = Qt::UserRole;
constexpr std::size_t kMelodyTextBytes = 259;
constexpr int kMaxMelodies = 100000;  // a source that never says "no more" cannot hang the list
constexpr std::string_view kMelodyFilter = "MLD File (*.mld)|*.mld|All Files (*.*)|*.*||";

// The drop-down list tells the window when it opens and closes; the window fills it.
class AttachmentCombo : public QComboBox {
public:
    AttachmentCombo(QWidget* parent, std::function<void()> opening, std::function<void()> closed)
        : QComboBox(parent), opening_(std::move(opening)), closed_(std::move(closed)) {}

    void showPopup() override {
        opening_();
        QComboBox::showPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        // A choice arrives after the popup hides; reduce the list only once it has been seen.
        QMetaObject::invokeMethod(this, [this] { closed_(); }, Qt::QueuedConnection);
    }

private:
    std::function<void()> opening_;
    std::function<void()> closed_;
};

QString Q(std::string_view sjis) { return sjis_text::ToQString(sjis); }

}  // namespace

CMailComposeDlg::CMailComposeDlg(const MailRecord& record, int mode, QObject* main_window, MelodySource melodies,
                                 AddressProvider addresses)
    : QDialog(nullptr),
      draft_(record),
      mode_(mode == kView ? kView : kCompose),
      main_window_(main_window),
      melodies_(mode_ == kCompose ? std::move(melodies) : MelodySource()),
      addresses_(std::move(addresses)),
      prompt_(&Prompt::Default()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    BuildLayout();

    // The guards first: they tell the person about a refused character before the byte
    // limits take it back without a word.
    SjisEditGuard::Attach(address_);
    SjisEditGuard::Attach(subject_);
    SjisEditGuard::Attach(body_);
    SjisByteLimit::Apply(address_, MailDraft::kAddressLimit);
    SjisByteLimit::Apply(subject_, MailDraft::kSubjectLimit);
    SjisByteLimit::Apply(body_, [this] { return draft_.BodyLimit(); });
    SjisByteLimit::SetText(address_, draft_.Address());
    SjisByteLimit::SetText(subject_, draft_.Subject());
    SjisByteLimit::SetText(body_, draft_.Body());
    connect(body_, &QPlainTextEdit::textChanged, this, [this] { UpdateCounter(); });

    setWindowTitle(Q(draft_.WindowTitle(mode_ == kCompose)));
    if (mode_ == kCompose) {
        reply_->hide();
    } else {
        for (QWidget* edit : {static_cast<QWidget*>(address_), static_cast<QWidget*>(subject_)})
            static_cast<QLineEdit*>(edit)->setReadOnly(true);
        body_->setReadOnly(true);
        // Read-only edits show the window's colour, as a received mail is not to be typed in.
        for (QWidget* edit : {static_cast<QWidget*>(address_), static_cast<QWidget*>(subject_),
                              static_cast<QWidget*>(body_)}) {
            QPalette p = edit->palette();
            p.setColor(QPalette::Base, palette().color(QPalette::Window));
            edit->setPalette(p);
        }
        address_button_->setEnabled(false);
        attachments_->setEnabled(false);
        finish_->hide();
    }
    save_->setEnabled(draft_.Attached());
    ShowCurrentAttachmentOnly();
    UpdateCounter();
    for (QObject* o : {static_cast<QObject*>(address_), static_cast<QObject*>(subject_), static_cast<QObject*>(body_)})
        o->installEventFilter(this);
    resize(480, 420);
}

void CMailComposeDlg::BuildLayout() {
    auto button = [this](const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        return b;
    };
    finish_ = button("完了");
    reply_ = button("返信");
    discard_ = button("破棄");
    discard_->hide();
    address_button_ = button("Address");
    save_ = button("保存");
    address_ = new QLineEdit(this);
    subject_ = new QLineEdit(this);
    subject_->setPlaceholderText(QStringLiteral("Subject"));
    body_ = new QPlainTextEdit(this);
    body_->setTabChangesFocus(true);
    attachments_ = new AttachmentCombo(
        this, [this] { OpenAttachmentList(); }, [this] { CloseAttachmentList(); });
    attachment_label_ = new QLabel(QStringLiteral("添付ファイル"), this);
    counter_ = new QLabel(this);
    counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Growing the window widens the edits and the list, lets the body take the height, moves
    // the attachment row down and the counter right; the buttons stay where they are.
    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(finish_);
    top->addWidget(reply_);
    top->addWidget(discard_);
    top->addStretch(1);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(counter_, 0, 1, Qt::AlignRight);
    grid->addWidget(address_button_, 1, 0);
    grid->addWidget(address_, 1, 1);
    grid->addWidget(subject_, 2, 1);
    grid->addWidget(body_, 3, 0, 1, 2);
    auto* attach = new QHBoxLayout;
    attach->addWidget(attachment_label_);
    attach->addWidget(save_);
    grid->addLayout(attach, 4, 0);
    grid->addWidget(attachments_, 4, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    connect(finish_, &QPushButton::clicked, this, [this] { Finish(); });
    connect(reply_, &QPushButton::clicked, this, [this] { Reply(); });
    connect(discard_, &QPushButton::clicked, this, [this] { close(); });
    connect(address_button_, &QPushButton::clicked, this, [this] { ChooseAddress(); });
    connect(save_, &QPushButton::clicked, this, [this] { SaveAttachment(); });
    connect(attachments_, &QComboBox::activated, this, [this](int index) { ChooseAttachment(index); });
}

QWidget* CMailComposeDlg::Create(const MailRecord& record, int mode, QWidget* list) {
    QWidget* main = list ? list->window() : nullptr;
    QPointer<CMainFrame> frame = qobject_cast<CMainFrame*>(main);
    MelodySource melodies = [frame](int index, std::string& title, std::string& path) {
        return frame && frame->SelectView() && frame->SelectView()->GetMelody(index, &title, &path) == 1;
    };
    AddressProvider addresses = [frame](int item, int mail, std::string& name, std::string& address) {
        return frame && frame->SelectView() && frame->SelectView()->GetAddressEntry(item, mail, &name, &address) == 1;
    };
    return new CMailComposeDlg(record, mode, main, std::move(melodies), std::move(addresses));
}

void CMailComposeDlg::Install() {
    CMailList::SetMailWindowFactory(&CMailComposeDlg::Create);
    CAddressList::SetAddressEditor(&CAddressDlg::Run);
}

void CMailComposeDlg::ShowCurrentAttachmentOnly() {
    const QSignalBlocker block(attachments_);
    attachments_->clear();
    entries_.clear();
    if (draft_.Attached()) {
        entries_.push_back({Entry::kCurrent, draft_.AttachmentTitle(), {}});
        attachments_->addItem(Q(draft_.AttachmentTitle()), 0);
    } else {
        entries_.push_back({Entry::kNone, {}, {}});
        attachments_->addItem(QStringLiteral("添付無し"), 0);
    }
    attachments_->setCurrentIndex(0);
}

void CMailComposeDlg::OpenAttachmentList() {
    const QSignalBlocker block(attachments_);
    attachments_->clear();
    entries_.clear();
    auto add = [this](Entry entry, const QString& text) {
        attachments_->addItem(text, static_cast<int>(entries_.size()));
        entries_.push_back(std::move(entry));
    };
    if (draft_.Attached()) add({Entry::kCurrent, draft_.AttachmentTitle(), {}}, Q(draft_.AttachmentTitle()));
    add({Entry::kNone, {}, {}}, QStringLiteral("添付無し"));
    for (int i = 0; melodies_ && i < kMaxMelodies; ++i) {
        std::string title;
        std::string path;
        if (!melodies_(i, title, path)) break;
        title = sjis::CutBytes(title, kMelodyTextBytes);
        add({Entry::kMelody, title, sjis::CutBytes(path, kMelodyTextBytes)}, Q(title));
    }
    attachments_->setCurrentIndex(0);
}

void CMailComposeDlg::CloseAttachmentList() { ShowCurrentAttachmentOnly(); }

void CMailComposeDlg::ChooseAttachment(int index) {
    if (index < 0 || index >= attachments_->count()) return;
    const int at = attachments_->itemData(index, kEntryRole).toInt();
    if (at < 0 || at >= static_cast<int>(entries_.size())) return;
    const Entry entry = entries_[static_cast<std::size_t>(at)];
    if (entry.kind == Entry::kNone) {
        draft_.DropAttachment();
    } else if (entry.kind == Entry::kMelody) {
        const auto bytes = fs::ReadFile(entry.path);
        if (draft_.ChooseMelody(bytes, entry.title, SjisByteLimit::Bytes(body_)) == MailDraft::ChooseResult::TooLarge)
            prompt_->Tell(this, TooLargeMessage(), Prompt::Icon::kNone);
    }
    save_->setEnabled(draft_.Attached());
    ShowCurrentAttachmentOnly();
    UpdateCounter();
}

void CMailComposeDlg::UpdateCounter() { counter_->setText(Q(draft_.CounterText(SjisByteLimit::Bytes(body_)))); }

void CMailComposeDlg::SaveAttachment() {
    if (!draft_.Attached()) return;
    const auto target = prompt_->SaveFileName(this, std::string(), kMelodyFilter, "*.mld");
    if (!target) return;
    // A file that cannot be created writes nothing; the attachment stays in the mail.
    fs::WriteFileAtomic(*target, draft_.AttachmentBytes());
}

void CMailComposeDlg::ChooseAddress() {
    const auto current = SjisEditGuard::Bytes(this, address_->text());
    if (!current) return;
    CAddressSelectDlg dialog(addresses_, this);
    dialog.SetRecipients(sjis::CutBytes(*current, 1039));
    if (dialog.exec() != QDialog::Accepted) return;
    bool cut = false;
    const std::string line = CutAddressLine(dialog.Recipients(), &cut);
    if (cut) prompt_->Tell(this, TooManyAddressesMessage(), Prompt::Icon::kExclamation);
    SjisByteLimit::SetText(address_, line);
}

void CMailComposeDlg::Finish() {
    if (finished_ || mode_ != kCompose) return;
    // A text that cannot be stored keeps the window open with it, after the person is told.
    const auto address = SjisEditGuard::Bytes(this, address_->text());
    if (!address) return;
    const auto subject = SjisEditGuard::Bytes(this, subject_->text());
    if (!subject) return;
    const auto body = SjisEditGuard::Bytes(this, sjis_text::WithCrLf(body_->toPlainText()));
    if (!body) return;
    const auto record = draft_.Finish(*address, *subject, *body);
    if (record) {
        // The sent-mail list answers 0 when the mail could not be stored (it has told the
        // person so); the window then stays open with everything typed.
        if (CopyDataEvent::Send(main_window_, static_cast<int>(RequestKind::FinishedMail),
                                CopyDataEvent::RecordBytes(*record)) != 1)
            return;
    }
    finished_ = true;
    close();
}

void CMailComposeDlg::Reply() {
    CopyDataEvent::Send(main_window_, static_cast<int>(RequestKind::ReplyMail),
                        CopyDataEvent::RecordBytes(draft_.Reply()));
}

bool CMailComposeDlg::InsertPictograph(const std::string& payload) {
    QWidget* target = paste_target_;
    if (!target) return false;
    auto* line = qobject_cast<QLineEdit*>(target);
    auto* plain = qobject_cast<QPlainTextEdit*>(target);
    if ((line && line->isReadOnly()) || (plain && plain->isReadOnly())) return false;
    const std::string bytes = payload.substr(0, std::min<std::size_t>(payload.find('\0'), 2));
    if (bytes.empty()) return false;
    return SjisByteLimit::Insert(target, Q(bytes));
}

bool CMailComposeDlg::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        const bool pictograph = request->Kind() == static_cast<int>(RequestKind::Pictograph) && !request->Bytes().empty();
        request->SetResult(pictograph && InsertPictograph(request->Bytes()) ? 1 : 0);
        return true;
    }
    return QDialog::event(e);
}

bool CMailComposeDlg::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn) {
        // Pictographs go into the subject or the body, never into the address line.
        if (watched == subject_ || watched == body_) paste_target_ = static_cast<QWidget*>(watched);
        else if (watched == address_) paste_target_ = nullptr;
    } else if (e->type() == QEvent::KeyPress && watched == body_ &&
               static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void CMailComposeDlg::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: e->accept(); return;  // neither finishes nor discards the mail
    default: QDialog::keyPressEvent(e);
    }
}

}  // namespace sorvanto
