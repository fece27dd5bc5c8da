#include "app/config_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/cnf_irmode_page.h"
#include "app/cnf_model_page.h"
#include "app/config_events.h"
#include "app/sorvanto_doc.h"

namespace sorvanto {

CConfigSheet::CConfigSheet(CSorvantoDoc& doc, ConfigEvents* events, const QString& caption,
                           QWidget* parent)
    : QDialog(parent), doc_(doc), events_(events), tabs_(new QTabWidget(this)) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("ConfigSheet"));
    const int model = doc_.GetModel();
    if (model == -1) {
        model_page_ = new CCnfModelPage(*this, 0, tabs_);
        tabs_->addTab(model_page_, QString::fromUtf8("機種選択"));
    } else {
        model_page_ = new CCnfModelPage(*this, model, tabs_);
        tabs_->addTab(model_page_, QString::fromUtf8("機種選択"));
        const bool selectable = events_ ? events_->IsOwnObexAvailable() : false;
        irmode_page_ = new CCnfIrmodePage(*this, doc_.GetIrMode(), selectable, tabs_);
        tabs_->addTab(irmode_page_, QString::fromUtf8("赤外線通信"));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CConfigSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CConfigSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

CConfigSheet::~CConfigSheet() {
    // A first start left with Cancel still needs a model for the tabs.
    if (doc_.GetModel() == -1) ApplyModel(0);
}

void CConfigSheet::accept() {
    if (model_page_) model_page_->OnOK();
    if (irmode_page_) irmode_page_->OnOK();
    QDialog::accept();
}

int CConfigSheet::ApplyModel(int id) {
    const int previous = doc_.SetModel(id);
    if (previous != id && events_) events_->OnModelChanged();
    return 1;
}

int CConfigSheet::GetModelInfo(int id, model_profiles::ModelInfo* info) const {
    model_profiles::ModelInfo r;
    const bool ok = doc_.GetModelSound(id, &r.voices, &r.melodyMaxBytes) &&
                    doc_.GetModelLimits(id, &r.standbyMaxBytes, &r.standbyWidth, &r.standbyHeight,
                                        &r.altStandbyWidth, &r.altStandbyHeight, &r.colours) &&
                    doc_.GetModelName(id, &r.name, 32);
    if (!ok) return 0;
    if (info) *info = r;
    return 1;
}

int CConfigSheet::GetModelAt(int index, std::string* name, int buffer_size, int* id) const {
    return doc_.GetModelAt(index, name, buffer_size, id);
}

int CConfigSheet::ApplyIrMode(int mode) {
    if (!events_) return 0;
    events_->OnIrModeChanged(mode);
    return 1;
}

}  // namespace sorvanto
