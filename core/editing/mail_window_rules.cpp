#include "editing/mail_window_rules.h"

#include "formats/send_request_table.h"

namespace sorvanto {

MailSendChoice MailSendChoiceOf(bool received, int status) {
    if (received) return {status != 0 ? 3 : 1, SendRequestTable::kReceivedMail};
    return status != 0 ? MailSendChoice{0, SendRequestTable::kSentMail}
                       : MailSendChoice{2, SendRequestTable::kUnsentMail};
}

int MailWindowMode(bool received) { return received ? 0 : 1; }

MailPrefill PrefillOf(const MailRecord& reply) {
    return {FieldText(reply.address), FieldText(reply.subject), FieldText(reply.body)};
}

MailRecord MailRecordOf(int key, const MailItem& item) {
    MailRecord r{};
    r.key = key;
    r.attachment = item.attachment;
    CopyField(r.address, item.from_or_to);
    CopyField(r.subject, item.subject);
    CopyField(r.body, item.body);
    return r;
}

MailRecord NewMailRecord(const MailPrefill& prefill) {
    MailRecord r{};
    r.key = -1;
    CopyField(r.address, prefill.recipient);
    CopyField(r.subject, prefill.subject);
    CopyField(r.body, prefill.body);
    return r;
}

}  // namespace sorvanto
