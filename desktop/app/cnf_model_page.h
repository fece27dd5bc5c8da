#pragma once

#include <QStringList>
#include <QWidget>

#include "formats/model_profiles.h"

class QComboBox;
class QListWidget;

namespace sorvanto {

class CConfigSheet;

// "機種選択": the offered models in table order and what the selected one can do.
class CCnfModelPage : public QWidget {
    Q_OBJECT
public:
    CCnfModelPage(CConfigSheet& sheet, int initial_model, QWidget* parent = nullptr);

    // The lines shown for a model: sizes, limits, colours and voices; none for an unknown id.
    static QStringList InfoLines(const model_profiles::ModelInfo& info);

    void OnOK();
    int SelectedModel() const;
    QComboBox* Combo() const { return combo_; }
    QListWidget* InfoList() const { return info_; }

private:
    void ShowInfo(int id);

    CConfigSheet& sheet_;
    int initial_model_;
    QComboBox* combo_;
    QListWidget* info_;
};

}  // namespace sorvanto
