#include "dialogs/comment_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "app/copy_data_event.h"
#include "common/window_requests.h"
#include "controls/sjis_text.h"
#include "dialogs/sjis_byte_limit.h"
#include "dialogs/sjis_edit_guard.h"

namespace sorvanto {

CCommentDlg::CCommentDlg(QWidget* parent) : QDialog(parent), edit_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("コメント"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("覚え書き等を記入してください (200文字)"), this));
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    layout->addWidget(buttons);
    SjisEditGuard::Attach(edit_);  // before the byte limit, which takes back without a word
    LimitBytes(edit_);
    KeepKeyboardUsable(this);
    resize(300, 170);
}

void CCommentDlg::SetComment(const std::string& comment) {
    comment_ = comment;
    SjisByteLimit::SetText(edit_, comment);
}

int CCommentDlg::GetComment(char* buffer, int n) const { return CopyOut(comment_, buffer, n); }

void CCommentDlg::accept() {
    const auto text = SjisEditGuard::Bytes(this, edit_->toPlainText());
    if (!text) return;
    comment_ = *text;
    QDialog::accept();
}

bool CCommentDlg::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        const bool ok = request->Kind() == static_cast<int>(RequestKind::Pictograph) && !request->Bytes().empty();
        if (ok) InsertPictograph(edit_, request->Bytes());
        request->SetResult(ok ? 1 : 0);
        return true;
    }
    return QDialog::event(e);
}

int CCommentDlg::CopyOut(const std::string& text, char* buffer, int n) {
    if (!buffer || n <= 0) return 0;
    const std::string cut = sjis::CutBytes(text, static_cast<std::size_t>(n - 1));
    std::memcpy(buffer, cut.data(), cut.size());
    buffer[cut.size()] = '\0';
    return static_cast<int>(cut.size());
}

void CCommentDlg::LimitBytes(QWidget* edit) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        SjisByteLimit::Apply(line, kMaxBytes);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) {
        SjisByteLimit::Apply(plain, [] { return std::size_t{kMaxBytes}; });
        plain->setTabChangesFocus(true);
    }
}

bool CCommentDlg::InsertPictograph(QWidget* edit, const std::string& payload) {
    const std::string bytes = payload.substr(0, std::min(payload.find('\0'), payload.size()));
    if (bytes.empty()) return false;
    return SjisByteLimit::Insert(edit, sjis_text::ToQString(bytes.substr(0, 2)));
}

void CCommentDlg::KeepKeyboardUsable(QDialog* dialog) {
    // exec() makes a dialog application-modal, and the pictograph keyboard, a window of its
    // own, would take no clicks. Modal to its parent's window, the dialog still keeps the list
    // and the main window waiting while it is open.
    if (dialog->parentWidget()) dialog->setWindowModality(Qt::WindowModal);
}

}  // namespace sorvanto
