#pragma once

#include "lists/mail_list.h"

namespace sorvanto {

// Sent mail: compose new mail and edit stored mail in the mail window, store what it
// returns, replies with prefill, send, save as ".eml".
class COutMailList : public CMailList {
public:
    COutMailList(ModelSource model, QObject* main_window, QWidget* parent);

    // A finished mail (kind 2) is stored; a reply (kind 3) opens a new mail prefilled with
    // its address, subject and body. 1 when taken.
    int MailRequest(int kind, const MailRecord& record) override;
    // Stores the three strings and opens a new mail with them.
    void NewMailWithPrefill(const std::string& recipient, const std::string& subject, const std::string& body);

protected:
    void SendCommand() override;
    void EditCommand() override;
    void NewCommand() override;

private:
    std::string prefill_recipient_;
    std::string prefill_subject_;
    std::string prefill_body_;
};

}  // namespace sorvanto
