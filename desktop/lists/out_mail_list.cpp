#include "lists/out_mail_list.h"

#include "formats/mail_send_job.h"
#include "formats/send_request_table.h"

namespace sorvanto {

COutMailList::COutMailList(ModelSource model, QObject* main_window, QWidget* parent)
    : CMailList(Category::kOutMail, std::move(model), main_window, parent) {}

int COutMailList::MailRequest(int kind, const MailRecord& record) {
    switch (static_cast<RequestKind>(kind)) {
    // 0 tells the mail window the mail was not stored, so it keeps what was typed.
    case RequestKind::FinishedMail: return TypedStore().SaveComposed(record) ? 1 : 0;
    case RequestKind::ReplyMail:
        NewMailWithPrefill(FieldText(record.address), FieldText(record.subject), FieldText(record.body));
        return 1;
    default: return 0;
    }
}

void COutMailList::NewMailWithPrefill(const std::string& recipient, const std::string& subject,
                                      const std::string& body) {
    prefill_recipient_ = recipient;
    prefill_subject_ = subject;
    prefill_body_ = body;
    SetCurrentRow(-1);
    NewCommand();
}

void COutMailList::SendCommand() {
    const MailItem* item = CurrentItem();
    if (!item) return;
    // A mail the handset sent goes back to its sent box, one written here to its outbox.
    const bool sent = item->status != 0;
    MailSendJob job(CurrentModel(), sent ? 0 : 2, 0);
    std::string name;
    const int kind = sent ? SendRequestTable::kSentMail : SendRequestTable::kUnsentMail;
    const bool ok = job.BuildMail(std::string(), item->from_or_to, item->subject, item->body, item->mail_date,
                                  ObjectFileOf(kind), name) == 1;
    FinishSend(ok, kind, name);
}

void COutMailList::EditCommand() { OpenMailWindow(CurrentRow(), 1, RecordOf(CurrentRow(), {}, {}, {})); }

void COutMailList::NewCommand() {
    OpenMailWindow(-1, 1, RecordOf(-1, prefill_recipient_, prefill_subject_, prefill_body_));
}

}  // namespace sorvanto
