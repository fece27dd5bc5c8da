#pragma once

#include <string>

#include "common/window_requests.h"
#include "formats/items.h"

// What the mail lists decide around the mail window: the handset box a stored mail goes to,
// the mode a window opens in, the record it opens with and the prefill of a reply.
namespace sorvanto {

// The mailbox of the send job and the request kind of a stored mail. Received mail goes to
// box 3 (Status nonzero) or 1, kind 10; sent mail to box 0 with kind 8 when the handset has
// sent it (Status nonzero), else to box 2 with kind 9.
struct MailSendChoice {
    int mailbox;
    int request_kind;
};
MailSendChoice MailSendChoiceOf(bool received, int status);

// 0 = view (received mail, read-only), 1 = compose (sent mail).
int MailWindowMode(bool received);

// The three strings a new mail starts with; a reply request fills them.
struct MailPrefill {
    std::string recipient;
    std::string subject;
    std::string body;
};
MailPrefill PrefillOf(const MailRecord& reply);

// The record a window opens a stored item with: the texts cut to the record's fields.
MailRecord MailRecordOf(int key, const MailItem& item);
// A new mail: key -1, no attachment, the prefill texts.
MailRecord NewMailRecord(const MailPrefill& prefill);

}  // namespace sorvanto
