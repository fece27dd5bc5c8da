#include "app/cnf_irmode_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/config_sheet.h"
#include "common/settings_file.h"
#include "platform/link_settings.h"

namespace sorvanto {

CCnfIrmodePage::CCnfIrmodePage(CConfigSheet& sheet, int initial_mode, bool selectable, QWidget* parent)
    : QWidget(parent), sheet_(sheet), initial_mode_(initial_mode),
      check_(new QCheckBox(QString::fromUtf8("標準のワイアレスリンクを使用する"), this)),
      passcode_(new QLineEdit(this)),
      skip_(new QCheckBox(QString::fromUtf8("登録済みと同じデータを受信したときは登録しない"), this)) {
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QString::fromUtf8(
        "携帯との赤外線通信手順をウィンドウズ標準のもの（ワイアレスリンク）を使用するか、"
        "オリジナルのものを使用するかの選択をします。\n※Ｗｉｎ９８／Ｍｅでは、選択不可"), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(check_);
    if (!selectable) check_->setEnabled(false);
    if (initial_mode_ == 0) check_->setChecked(true);

    auto* form = new QFormLayout();
    passcode_->setObjectName(QStringLiteral("Passcode"));
    passcode_->setMaxLength(4);
    passcode_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,4}")), passcode_));
    passcode_->setText(QString::fromStdString(LinkSettings::FromIni(SettingsFile::Get()).passcode));
    form->addRow(QString::fromUtf8("認証パスコード（４桁）"), passcode_);
    layout->addLayout(form);
    skip_->setObjectName(QStringLiteral("SkipDuplicates"));
    skip_->setChecked(SettingsFile::Get().GetInt("System", "SkipDuplicates", 0) != 0);
    layout->addWidget(skip_);
    layout->addStretch(1);
}

void CCnfIrmodePage::OnOK() {
    const int mode = check_->isChecked() ? 0 : 1;
    if (mode != initial_mode_) sheet_.ApplyIrMode(mode);
    IniFile& settings = SettingsFile::Get();
    const int skip = skip_->isChecked() ? 1 : 0;
    if (settings.GetInt("System", "SkipDuplicates", 0) != skip) {
        settings.SetInt("System", "SkipDuplicates", skip);
        SettingsFile::Save();  // the next received object reads it
    }
    // Only four digits are an answer the handset accepts; anything shorter keeps the old one.
    const std::string code = passcode_->text().toStdString();
    if (code.size() == 4 && LinkSettings::CheckedPasscode(code) == code) {
        IniFile& ini = SettingsFile::Get();
        if (ini.GetString(LinkSettings::kSection, "Passcode") != code) {
            ini.SetString(LinkSettings::kSection, "Passcode", code);
            SettingsFile::Save();  // the next send reads the link settings from the file
        }
    }
}

}  // namespace sorvanto
