#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace sorvanto {

class CConfigSheet;

// "赤外線通信": the program's own OBEX or the system's link, and the four-digit passcode the
// handset may ask for when the program sends.
class CCnfIrmodePage : public QWidget {
    Q_OBJECT
public:
    CCnfIrmodePage(CConfigSheet& sheet, int initial_mode, bool selectable, QWidget* parent = nullptr);

    void OnOK();
    QCheckBox* WirelessLink() const { return check_; }
    QLineEdit* Passcode() const { return passcode_; }

private:
    CConfigSheet& sheet_;
    int initial_mode_;
    QCheckBox* check_;
    QLineEdit* passcode_;
};

}  // namespace sorvanto
