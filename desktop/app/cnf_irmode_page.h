#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace sorvanto {

class CConfigSheet;

// "赤外線通信": the program's own OBEX or the system's link, the four-digit passcode the
// handset may ask for when the program sends, and whether received items already stored are
// left out ("SkipDuplicates").
class CCnfIrmodePage : public QWidget {
    Q_OBJECT
public:
    CCnfIrmodePage(CConfigSheet& sheet, int initial_mode, bool selectable, QWidget* parent = nullptr);

    void OnOK();
    QCheckBox* WirelessLink() const { return check_; }
    QLineEdit* Passcode() const { return passcode_; }
    QCheckBox* SkipDuplicates() const { return skip_; }

private:
    CConfigSheet& sheet_;
    int initial_mode_;
    QCheckBox* check_;
    QLineEdit* passcode_;
    QCheckBox* skip_;
};

}  // namespace sorvanto
