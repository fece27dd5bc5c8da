#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "common/window_requests.h"
#include "editing/address_selection.h"
#include "editing/mail_draft.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sorvanto {

class Prompt;

// The mail window: composes a new mail or edits a stored sent one (compose mode), or shows a
// received mail read-only (view mode). A melody can ride along, chosen from the melody list.
// "完了" hands the mail to the main window (kind 2), "返信" asks it for a reply (kind 3).
// Modeless, without a parent window; every close destroys it.
class CMailComposeDlg : public QDialog {
    Q_OBJECT
public:
    enum Mode { kView = 0, kCompose = 1 };

    // The stored melodies by position: false when there is no such melody, else its title and
    // data path (Shift_JIS, stored form).
    using MelodySource = std::function<bool(int index, std::string& title, std::string& path)>;

    // main_window receives the kind-2 and kind-3 requests; melodies is used in compose mode
    // only; addresses feeds the address selection dialog.
    CMailComposeDlg(const MailRecord& record, int mode, QObject* main_window, MelodySource melodies,
                    AddressProvider addresses);

    // The mail lists' window maker: the main window is the list's top-level window, whose tab
    // view lists the melodies and the address book.
    static QWidget* Create(const MailRecord& record, int mode, QWidget* list);
    // Makes this window the mail lists' mail window and CAddressDlg the address book's editor.
    static void Install();

    // Questions, messages and the save dialog (Prompt::Default() at first; not owned).
    void SetPrompt(Prompt* prompt) { prompt_ = prompt; }

    int Mode() const { return mode_; }
    const MailDraft& Draft() const { return draft_; }

    QLineEdit* AddressEdit() const { return address_; }
    QLineEdit* SubjectEdit() const { return subject_; }
    QPlainTextEdit* BodyEdit() const { return body_; }
    QComboBox* AttachmentList() const { return attachments_; }
    QPushButton* FinishButton() const { return finish_; }
    QPushButton* ReplyButton() const { return reply_; }
    QPushButton* AddressButton() const { return address_button_; }
    QPushButton* SaveButton() const { return save_; }
    QLabel* Counter() const { return counter_; }

    // The buttons' actions.
    void Finish();
    void Reply();
    void ChooseAddress();
    void SaveAttachment();
    // The attachment drop-down list: opened (filled with the current attachment, "添付無し" and
    // every melody), an entry chosen, closed without a choice.
    void OpenAttachmentList();
    void ChooseAttachment(int index);
    void CloseAttachmentList();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Entry {
        enum Kind { kCurrent, kNone, kMelody } kind;
        std::string title;
        std::string path;
    };

    void BuildLayout();
    void ShowCurrentAttachmentOnly();
    void UpdateCounter();
    bool InsertPictograph(const std::string& payload);

    MailDraft draft_;
    int mode_;
    QPointer<QObject> main_window_;
    MelodySource melodies_;
    AddressProvider addresses_;
    Prompt* prompt_;
    std::vector<Entry> entries_;
    QPointer<QWidget> paste_target_;
    bool finished_ = false;

    QPushButton* finish_;
    QPushButton* reply_;
    QPushButton* discard_;
    QPushButton* address_button_;
    QLineEdit* address_;
    QLineEdit* subject_;
    QPlainTextEdit* body_;
    QComboBox* attachments_;
    QPushButton* save_;
    QLabel* attachment_label_;
    QLabel* counter_;
};

}  // namespace sorvanto
