#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "editing/address_entry_rows.h"
#include "platform/ini_file.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace sorvanto {

class Prompt;

// "アドレス帳登録": edits one address-book entry file as a list of its fields. Changes go to
// the list; 登録 writes the file and closes with OK. A file that cannot be written is
// reported and the dialog stays open with everything typed.
class CAddressDlg : public QDialog {
    Q_OBJECT
public:
    // entry_path: the stored path of the entry file (".\Addr.tmp" for a new entry).
    CAddressDlg(std::string entry_path, bool new_entry, QWidget* parent = nullptr);

    // The address book's editor: runs the dialog modally; true after a successful write.
    static bool Run(QWidget* parent, const std::string& entry_path, bool new_entry);

    // Questions and messages (Prompt::Default() at first; not owned).
    void SetPrompt(Prompt* prompt) { prompt_ = prompt; }

    const AddressEntryRows& Rows() const { return rows_; }
    QTreeWidget* List() const { return list_; }

    // The edits and buttons, by the field they serve.
    enum class Edit { kName, kKana, kPhone, kMail, kPostalCode, kAddress, kMemo };
    QLineEdit* EditOf(Edit e) const;
    enum class Button { kNameModify, kKanaModify, kPhoneAdd, kPhoneDelete, kMailAdd, kMailDelete,
                        kAddressModify, kMemoModify, kRegister };
    QPushButton* ButtonOf(Button b) const;

    void accept() override;

private:
    void Refill(int select_row = -1);
    void RowChanged();
    void Modify(int code, Edit from);
    void ModifyAddress();
    void Add(bool phone);
    void Delete(bool phone);
    QLineEdit* MakeEdit(std::size_t max_bytes);
    // An edit's text as Shift_JIS; nullopt after telling the person why it cannot be.
    std::optional<std::string> BytesOf(Edit e);

    std::string path_;
    bool new_entry_;
    IniFile original_;
    AddressEntryRows rows_;
    Prompt* prompt_;
    QTreeWidget* list_;
    QLineEdit* edits_[7] = {};
    QPushButton* buttons_[9] = {};
};

}  // namespace sorvanto
