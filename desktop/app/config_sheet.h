#pragma once

#include <QDialog>
#include <string>

#include "formats/model_profiles.h"

class QTabWidget;

namespace sorvanto {

class CCnfIrmodePage;
class CCnfModelPage;
class ConfigEvents;
class CSorvantoDoc;

// The modal "Config" sheet: the model page and, once a model has been chosen, the infrared
// page. OK applies every page; Cancel applies nothing, except that a first start always ends
// with a model (id 0 when none was chosen).
class CConfigSheet : public QDialog {
    Q_OBJECT
public:
    CConfigSheet(CSorvantoDoc& doc, ConfigEvents* events, const QString& caption,
                 QWidget* parent = nullptr);
    ~CConfigSheet() override;

    CCnfModelPage* ModelPage() const { return model_page_; }
    CCnfIrmodePage* IrmodePage() const { return irmode_page_; }
    QTabWidget* Tabs() const { return tabs_; }

    // The pages' interface.
    void EnableApply() {}  // the sheet has no Apply button: OK applies
    int ApplyModel(int id);
    int GetModelInfo(int id, model_profiles::ModelInfo* info) const;
    int GetModelAt(int index, std::string* name, int buffer_size, int* id) const;
    int ApplyIrMode(int mode);

    void accept() override;

private:
    CSorvantoDoc& doc_;
    ConfigEvents* events_;
    QTabWidget* tabs_;
    CCnfModelPage* model_page_ = nullptr;
    CCnfIrmodePage* irmode_page_ = nullptr;
};

}  // namespace sorvanto
