#pragma once

#include <QDialog>

#include "pictograph/eudc_registration.h"

class QLabel;
class QPushButton;

namespace sorvanto {

// "外字登録": asks before installing the program's pictograph font as the system's
// end-user-defined characters, saying that the previous ones are kept as "OldEUDC.*" when
// there are any. Where the system has no such characters it says that the pictographs are
// shown through the emoji font, and "登録" stays disabled.
class CEudcRegisterDlg : public QDialog {
    Q_OBJECT
public:
    // The main frame's command: runs the dialog modally over parent on this system's platform.
    static int Run(QWidget* parent);

    explicit CEudcRegisterDlg(EudcPlatform& platform, QWidget* parent = nullptr);

    QLabel* Notice() const { return notice_; }
    // The second text line: the backup sentence or empty.
    QLabel* BackupLine() const { return backup_line_; }
    QPushButton* RegisterButton() const { return register_; }
    QPushButton* CancelButton() const { return cancel_; }
    // What the last "登録" did.
    const EudcRegistration::Result& LastResult() const { return result_; }

private:
    void OnRegister();

    EudcRegistration registration_;
    EudcRegistration::Result result_;
    QLabel* notice_ = nullptr;
    QLabel* backup_line_ = nullptr;
    QPushButton* register_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace sorvanto
