#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace sorvanto {

// "ﾊﾞｰｼﾞｮﾝ情報": the program's version and its whole history.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "1.76";

    explicit CAboutDlg(QWidget* parent = nullptr);

    // The history lines as the list shows them, newest first; sub-lines begin with four blanks.
    static QStringList HistoryLines();
    QListWidget* History() const { return history_; }

private:
    QListWidget* history_;
};

}  // namespace sorvanto
