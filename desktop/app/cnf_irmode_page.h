#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace sorvanto {

class CConfigSheet;

// "赤外線通信": the program's own OBEX or the system's link, the four-digit passcode the
// handset may ask for when the program sends, and whether received items already stored are
// left out ("SkipDuplicates"). Below them, how the link reaches the handset: the transport and,
// for a serial infrared adapter, its port, kind and highest speed (section "Link").
class CCnfIrmodePage : public QWidget {
    Q_OBJECT
public:
    CCnfIrmodePage(CConfigSheet& sheet, int initial_mode, bool selectable, QWidget* parent = nullptr);

    void OnOK();
    QCheckBox* WirelessLink() const { return check_; }
    QLineEdit* Passcode() const { return passcode_; }
    QCheckBox* SkipDuplicates() const { return skip_; }
    QComboBox* Transport() const { return transport_; }
    QComboBox* Port() const { return port_; }
    QComboBox* Adapter() const { return adapter_; }
    QComboBox* MaxBaud() const { return max_baud_; }

private:
    CConfigSheet& sheet_;
    int initial_mode_;
    QCheckBox* check_;
    QLineEdit* passcode_;
    QCheckBox* skip_;
    QComboBox* transport_;
    QComboBox* port_;
    QComboBox* adapter_;
    QComboBox* max_baud_;

    void SerialChoicesFollowTransport();
    void SaveLinkChoices();
};

}  // namespace sorvanto
