#pragma once

#include <QDialog>
#include <string>

#include "editing/address_selection.h"

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace sorvanto {

// "アドレス選択": every mail address of the address book in a list, and the recipients line
// that "追加  ->" appends the selected address to. Modal.
class CAddressSelectDlg : public QDialog {
    Q_OBJECT
public:
    // provider: the address book's entries (item position, mail index); may be empty.
    explicit CAddressSelectDlg(AddressProvider provider, QWidget* parent = nullptr);

    // Shift_JIS bytes; set before exec, read after OK.
    void SetRecipients(const std::string& recipients);
    const std::string& Recipients() const { return recipients_; }

    QTreeWidget* List() const { return list_; }
    QPlainTextEdit* RecipientsEdit() const { return edit_; }
    QPushButton* AddButton() const { return add_; }

    // "追加  ->" on the selected row.
    void AddSelected();
    void accept() override;

private:
    void Fill();

    AddressProvider provider_;
    QTreeWidget* list_;
    QPlainTextEdit* edit_;
    QPushButton* add_;
    std::string recipients_;
};

}  // namespace sorvanto
