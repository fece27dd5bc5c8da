// The composer's split of a stored body into text and attached melody, fed a raw record as it
// arrives in a copy-data message (its fields need not be terminated).
#include <cstdint>
#include <cstring>

#include "editing/mail_draft.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorvanto::MailRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
    record.attachment = 1;
    const sorvanto::MailDraft draft(record);
    draft.AttachmentBytes();
    sorvanto::MailDraft::MelodyTitle(draft.AttachmentText());
    draft.Reply();
    draft.Finish(draft.Address(), draft.Subject(), draft.Body());
    return 0;
}
