#include "app/cnf_model_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/config_sheet.h"
#include "controls/sjis_text.h"

namespace sorvanto {

CCnfModelPage::CCnfModelPage(CConfigSheet& sheet, int initial_model, QWidget* parent)
    : QWidget(parent), sheet_(sheet), initial_model_(initial_model), combo_(new QComboBox(this)),
      info_(new QListWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("携帯機種"), this));
    layout->addWidget(combo_);
    auto* group = new QGroupBox(QString::fromUtf8("機種情報"), this);
    auto* group_layout = new QVBoxLayout(group);
    group_layout->addWidget(info_);
    layout->addWidget(group);

    int selected = 0;
    std::string name;
    int id = 0;
    for (int index = 0; sheet_.GetModelAt(index, &name, 32, &id); ++index) {
        combo_->addItem(sjis_text::ToQString(name), id);
        if (id == initial_model_) selected = index;
    }
    combo_->setCurrentIndex(selected);
    ShowInfo(initial_model_);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int) {
        sheet_.EnableApply();
        ShowInfo(SelectedModel());
    });
}

int CCnfModelPage::SelectedModel() const {
    return combo_->currentIndex() < 0 ? initial_model_ : combo_->currentData().toInt();
}

void CCnfModelPage::OnOK() { sheet_.ApplyModel(SelectedModel()); }

void CCnfModelPage::ShowInfo(int id) {
    info_->clear();
    model_profiles::ModelInfo info;
    if (!sheet_.GetModelInfo(id, &info)) return;
    info_->addItems(InfoLines(info));
}

QStringList CCnfModelPage::InfoLines(const model_profiles::ModelInfo& info) {
    QStringList lines;
    if (info.altStandbyWidth != 0) {
        lines << QString::fromUtf8("待受サイズ：%1 x %2 (%3 x %4)")
                     .arg(info.standbyWidth)
                     .arg(info.standbyHeight)
                     .arg(info.altStandbyWidth)
                     .arg(info.altStandbyHeight);
    } else {
        lines << QString::fromUtf8("待ち受けサイズ：%1 x %2").arg(info.standbyWidth).arg(info.standbyHeight);
    }
    lines << QString::fromUtf8("待受最大バイト数：%1 KByte").arg(info.standbyMaxBytes / 1024);
    lines << QString::fromUtf8("色数：%1 色").arg(info.colours);
    lines << QString::fromUtf8("着メロサイズ：%1 KByte").arg(info.melodyMaxBytes / 1024);
    lines << QString::fromUtf8("音数：%1 音").arg(info.voices);
    return lines;
}

}  // namespace sorvanto
