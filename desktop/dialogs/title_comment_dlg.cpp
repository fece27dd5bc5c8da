#include "dialogs/title_comment_dlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/copy_data_event.h"
#include "common/window_requests.h"
#include "controls/sjis_text.h"
#include "dialogs/comment_dlg.h"
#include "dialogs/sjis_byte_limit.h"
#include "dialogs/sjis_edit_guard.h"

namespace sorvanto {

CTitleCommentDlg::CTitleCommentDlg(QWidget* parent)
    : QDialog(parent), title_edit_(new QLineEdit(this)), comment_edit_(new QPlainTextEdit(this)),
      last_edit_(title_edit_) {
    setWindowTitle(QStringLiteral("タイトル・コメント編集"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("タイトル"), this));
    layout->addWidget(title_edit_);
    layout->addWidget(new QLabel(QStringLiteral("コメント"), this));
    layout->addWidget(comment_edit_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    layout->addWidget(buttons);
    // The guards before the limits, which cut without a word.
    SjisEditGuard::Attach(title_edit_);
    SjisEditGuard::Attach(comment_edit_);
    CCommentDlg::LimitBytes(title_edit_);
    CCommentDlg::LimitBytes(comment_edit_);
    CCommentDlg::KeepKeyboardUsable(this);
    // The pictograph keyboard takes the focus while it is used; remember where the caret was.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == title_edit_ || now == comment_edit_) last_edit_ = now;
    });
    resize(300, 240);
}

void CTitleCommentDlg::SetTitle(const std::string& title) {
    title_ = title;
    SjisByteLimit::SetText(title_edit_, title);
}

void CTitleCommentDlg::SetComment(const std::string& comment) {
    comment_ = comment;
    SjisByteLimit::SetText(comment_edit_, comment);
}

int CTitleCommentDlg::GetTitle(char* buffer, int n) const { return CCommentDlg::CopyOut(title_, buffer, n); }
int CTitleCommentDlg::GetComment(char* buffer, int n) const { return CCommentDlg::CopyOut(comment_, buffer, n); }

void CTitleCommentDlg::accept() {
    const auto title = SjisEditGuard::Bytes(this, title_edit_->text());
    if (!title) return;
    const auto comment = SjisEditGuard::Bytes(this, comment_edit_->toPlainText());
    if (!comment) return;
    title_ = *title;
    comment_ = *comment;
    QDialog::accept();
}

bool CTitleCommentDlg::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        const bool ok = request->Kind() == static_cast<int>(RequestKind::Pictograph) && !request->Bytes().empty();
        if (ok) CCommentDlg::InsertPictograph(last_edit_, request->Bytes());
        request->SetResult(ok ? 1 : 0);
        return true;
    }
    return QDialog::event(e);
}

}  // namespace sorvanto
