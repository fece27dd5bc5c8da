#pragma once

#include <QDialog>
#include <string>

class QListWidget;

namespace sorvanto {

// "詳細情報：MLDファイル": the information lines of one melody file in a list box.
class CMldInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMldInfoDlg(const std::string& stored_path, QWidget* parent = nullptr);

    QListWidget* Lines() const { return lines_; }

private:
    QListWidget* lines_;
};

}  // namespace sorvanto
