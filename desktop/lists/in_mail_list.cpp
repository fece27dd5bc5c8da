#include "lists/in_mail_list.h"

#include "formats/mail_send_job.h"
#include "formats/send_request_table.h"

namespace sorvanto {

CInMailList::CInMailList(ModelSource model, QObject* main_window, QWidget* parent)
    : CMailList(Category::kInMail, std::move(model), main_window, parent) {}

void CInMailList::SendCommand() {
    const MailItem* item = CurrentItem();
    if (!item) return;
    // Unread (status nonzero) and read mail go to their own boxes of the handset.
    MailSendJob job(CurrentModel(), item->status != 0 ? 3 : 1, 0);
    std::string name;
    const int kind = SendRequestTable::kReceivedMail;
    const bool ok = job.BuildMail(item->from_or_to, std::string(), item->subject, item->body, item->mail_date,
                                  ObjectFileOf(kind), name) == 1;
    FinishSend(ok, kind, name);
}

void CInMailList::ViewCommand() {
    OpenMailWindow(CurrentRow(), 0, RecordOf(CurrentRow(), {}, {}, {}));
}

}  // namespace sorvanto
