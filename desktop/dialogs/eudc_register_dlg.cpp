#include "dialogs/eudc_register_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace sorvanto {

int CEudcRegisterDlg::Run(QWidget* parent) {
    const auto platform = MakeSystemEudcPlatform();
    CEudcRegisterDlg dialog(*platform, parent);
    return dialog.exec();
}

CEudcRegisterDlg::CEudcRegisterDlg(EudcPlatform& platform, QWidget* parent)
    : QDialog(parent), registration_(platform) {
    setWindowTitle(QStringLiteral("外字登録"));
    const bool available = registration_.Available();
    notice_ = new QLabel(available ? QStringLiteral("ｉモード用絵文字を外字として登録します。\n"
                                                    "これまでに登録してある外字は使用できなくなります。\n"
                                                    "これまでの外字が必要な場合は、この機能を使用しな\n"
                                                    "いでください。")
                                   : QStringLiteral("このパソコンでは、ｉモード用絵文字を絵文字フォントで\n"
                                                    "表示しますので、外字の登録は必要ありません。"),
                         this);
    backup_line_ = new QLabel(this);
    if (registration_.HasPreviousFont())
        backup_line_->setText(QStringLiteral("古い外字は、\nOldEUDC.EUF OldEUDC.TTE\nとして保存します"));

    register_ = new QPushButton(QStringLiteral("登録"), this);
    register_->setDefault(true);
    register_->setEnabled(available);
    cancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    connect(register_, &QPushButton::clicked, this, &CEudcRegisterDlg::OnRegister);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(register_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice_);
    layout->addWidget(backup_line_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CEudcRegisterDlg::OnRegister() {
    result_ = registration_.Register();
    // The registration left the user's fonts alone rather than lose them: say so once.
    if (result_.skipped_unsafe) QMessageBox::warning(this, QStringLiteral("確認"), QStringLiteral("処理に失敗しました"));
    accept();
}

}  // namespace sorvanto
