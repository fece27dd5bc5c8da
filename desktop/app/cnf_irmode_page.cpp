#include "app/cnf_irmode_page.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/config_sheet.h"
#include "common/settings_file.h"
#include "platform/link/ir_adapter.h"
#include "platform/link/serial_port.h"
#include "platform/link_settings.h"

namespace sorvanto {

namespace {
QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

CCnfIrmodePage::CCnfIrmodePage(CConfigSheet& sheet, int initial_mode, bool selectable, QWidget* parent)
    : QWidget(parent), sheet_(sheet), initial_mode_(initial_mode),
      check_(new QCheckBox(QString::fromUtf8("標準のワイアレスリンクを使用する"), this)),
      passcode_(new QLineEdit(this)),
      skip_(new QCheckBox(QString::fromUtf8("登録済みと同じデータを受信したときは登録しない"), this)),
      transport_(new QComboBox(this)), port_(new QComboBox(this)), adapter_(new QComboBox(this)),
      max_baud_(new QComboBox(this)) {
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

    const LinkSettings link = LinkSettings::FromIni(SettingsFile::Get());
    auto* group = new QGroupBox(QString::fromUtf8("接続"), this);
    auto* link_form = new QFormLayout(group);
    transport_->setObjectName(QStringLiteral("Transport"));
    transport_->addItem(QString::fromUtf8("TCP（携帯エミュレータ）"), Latin1(LinkSettings::kTcp));
    transport_->addItem(QString::fromUtf8("シリアル赤外線アダプタ"), Latin1(LinkSettings::kSir));
#ifdef _WIN32
    transport_->addItem(QString::fromUtf8("ウィンドウズの赤外線（IrDA）"), Latin1(LinkSettings::kIrda));
#endif
    int current = -1;
    for (int i = 0; i < transport_->count(); ++i)
        if (link.UsesTransport(transport_->itemData(i).toString().toStdString())) current = i;
    if (current < 0) {
        // A name this page does not offer stays as it is until another is chosen.
        transport_->addItem(QString::fromStdString(link.transport), QString::fromStdString(link.transport));
        current = transport_->count() - 1;
    }
    transport_->setCurrentIndex(current);
    link_form->addRow(QString::fromUtf8("接続方法"), transport_);

    port_->setObjectName(QStringLiteral("Port"));
    port_->setEditable(true);
    for (const std::string& name : ListSerialPorts()) port_->addItem(QString::fromStdString(name));
    port_->setEditText(QString::fromStdString(link.port));
    link_form->addRow(QString::fromUtf8("ポート"), port_);

    adapter_->setObjectName(QStringLiteral("Adapter"));
    std::size_t adapters = 0;
    const IrAdapter* rows = IrAdapters(&adapters);
    for (std::size_t i = 0; i < adapters; ++i) {
        const QString name = Latin1(rows[i].name);
        adapter_->addItem(name, name);
    }
    adapter_->setCurrentIndex(std::max(0, adapter_->findData(QString::fromStdString(link.adapter))));
    link_form->addRow(QString::fromUtf8("アダプタ"), adapter_);

    max_baud_->setObjectName(QStringLiteral("MaxBaud"));
    for (int baud : kIrSpeeds)
        if (baud >= 9600) max_baud_->addItem(QString::number(baud) + QStringLiteral(" bps"), baud);
    max_baud_->setCurrentIndex(std::max(0, max_baud_->findData(link.max_baud)));
    link_form->addRow(QString::fromUtf8("最高速度"), max_baud_);
    layout->addWidget(group);
    layout->addStretch(1);

    connect(transport_, &QComboBox::currentIndexChanged, this, [this] { SerialChoicesFollowTransport(); });
    SerialChoicesFollowTransport();
}

void CCnfIrmodePage::SerialChoicesFollowTransport() {
    const bool sir = transport_->currentData().toString() == Latin1(LinkSettings::kSir);
    port_->setEnabled(sir);
    adapter_->setEnabled(sir);
    max_baud_->setEnabled(sir);
}

// Only what the user changed is written, so that unset keys keep following the defaults.
void CCnfIrmodePage::SaveLinkChoices() {
    IniFile& ini = SettingsFile::Get();
    const LinkSettings link = LinkSettings::FromIni(ini);
    bool changed = false;
    auto put = [&](const char* key, const std::string& value, const std::string& before) {
        if (value == before) return;
        ini.SetString(LinkSettings::kSection, key, value);
        changed = true;
    };
    const std::string transport = transport_->currentData().toString().toStdString();
    if (!link.UsesTransport(transport)) put("Transport", transport, link.transport);
    const std::string port = port_->currentText().trimmed().toStdString();
    if (!port.empty()) put("Port", port, link.port);
    put("Adapter", adapter_->currentData().toString().toStdString(), link.adapter);
    put("MaxBaud", std::to_string(max_baud_->currentData().toInt()), std::to_string(link.max_baud));
    if (changed) SettingsFile::Save();  // the next session reads the link settings from the file
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
    SaveLinkChoices();
}

}  // namespace sorvanto
