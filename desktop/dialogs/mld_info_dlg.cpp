#include "dialogs/mld_info_dlg.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/sjis_text.h"
#include "melody/mld_info.h"

namespace sorvanto {

CMldInfoDlg::CMldInfoDlg(const std::string& stored_path, QWidget* parent)
    : QDialog(parent), lines_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("詳細情報：MLDファイル"));
    for (const std::string& line : MldInfoLines(stored_path)) lines_->addItem(sjis_text::ToQString(line));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    layout->addWidget(buttons);
    resize(360, 260);
}

}  // namespace sorvanto
