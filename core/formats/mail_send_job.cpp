#include "formats/mail_send_job.h"

#include "formats/encoded_word.h"
#include "formats/mail_date.h"
#include "formats/object_name_tables.h"
#include "formats/object_text_writer.h"
#include "formats/quoted_printable.h"
#include "platform/clock.h"

namespace sorvanto {

namespace {

using object_names::ObjectKind;

// The box words are not symmetric between the forms: the P-series handsets file an unsent
// mail as OUTBOX and a sent one as SENTBOX, the others the other way round.
struct Box {
    const char* line;
    ObjectKind table;
};
constexpr Box kFormA[4] = {
    {"X-IRMC-BOX:OUTBOX\n", ObjectKind::kOutboxMail},
    {"X-IRMC-BOX:INBOX\n", ObjectKind::kInboxMail},
    {"X-IRMC-BOX:SENTBOX\n", ObjectKind::kSentMail},
    {"X-IRMC-BOX:UNREAD\n", ObjectKind::kInboxMail},
};
constexpr Box kFormB[4] = {
    {"X-IRMC-BOX:SENTBOX\n", ObjectKind::kSentMail},
    {"X-IRMC-BOX:INBOX\n", ObjectKind::kInboxMail},
    {"X-IRMC-BOX:OUTBOX\n", ObjectKind::kOutboxMail},
    {"X-IRMC-BOX:UNREAD\n", ObjectKind::kInboxMail},
};

// Quoted-printable body buffer: 1,560 bytes with its terminator.
constexpr std::size_t kEncodedBodyCapacity = 1560;

constexpr const char* kEmptyCard = "BEGIN:VCARD\nVERSION:2.1\nN:\nTEL:\nEND:VCARD\n";

bool IsFormB(int model_id) { return model_id == 0 || model_id == 1; }

// A mailbox outside 0..3 would index past the table; it is treated as a received mail.
const Box& BoxFor(int model_id, int mailbox) {
    const int i = (mailbox >= 0 && mailbox <= 3) ? mailbox : 1;
    return IsFormB(model_id) ? kFormB[i] : kFormA[i];
}

void WriteEnvelope(ObjectTextWriter& out) {
    out.Text(kEmptyCard);
    out.Text("BEGIN:VENV\n");
    out.Text(kEmptyCard);
    out.Text("BEGIN:VENV\nBEGIN:VBODY\n");
}

}  // namespace

MailSendJob::MailSendJob(int model_id, int mailbox, int challenge, std::unique_ptr<LinkApi> link)
    : ObexPutClient(model_id, challenge, std::move(link)), mailbox_(mailbox) {}

int MailSendJob::SendObject(const std::string* local_path, const std::string* object_name, TransferMonitor* monitor) {
    const std::string name =
        object_name ? *object_name : object_names::Lookup(BoxFor(ModelId(), mailbox_).table, ModelId()).name;
    if (!SetObjectName(name) || !OpenObjectFile(local_path ? *local_path : kDefaultFile)) return -1;
    return Transfer(monitor);
}

int MailSendJob::BuildMail(std::string_view sender, std::string_view recipient, std::string_view subject,
                           std::string_view body, std::int64_t /*mail_date*/, std::string_view target,
                           std::string& object_name) {
    const bool form_b = IsFormB(ModelId());
    const Box& box = BoxFor(ModelId(), mailbox_);
    object_name = object_names::Lookup(box.table, ModelId()).name;

    const std::string from(sender), to(recipient);
    const std::string subject_line = encoded_word::EncodeSubjectLine(subject) + "\n";
    const std::int64_t now = clock::Now();
    ObjectTextWriter out;
    out.Text("BEGIN:VMSG\nVERSION:1.1\n");
    if (form_b) {
        out.Text(box.line);
        out.Text("X-IRMC-TYPE:INET\nX-EID:\n");
        WriteEnvelope(out);
        out.Text("CHARSET=SHIFT_JIS\n");
        out.Text("From:" + from + "\n");
        out.Text("To:" + to + "\n");
        out.Text(subject_line);
        out.Text(mail_date::FormB(now) + "\n");
        out.Text("MIME-Version:1.0\nContent-Type:text/plain;charset=shift-jis\n");
        out.Text("Content-Transfer-Encoding:quoted-printable\n\n");
        out.Text(QuotedPrintableCodec::EncodeMemory(body, kEncodedBodyCapacity, false));
    } else {
        out.Text("X-IRMC-STATUS:\n");
        out.Text(box.line);
        out.Text("X-IRMC-TYPE:INET\n");
        WriteEnvelope(out);
        out.Text("To:" + to + "\n");
        out.Text("From:" + from + "\n");
        out.Text(subject_line);
        out.Text(mail_date::FormA(now) + "\n");
        out.Text("MIME-Version:1.0\nContent-Type:text/plain;charset=Shift-JIS\n");
        out.Text("Content-Transfer-Encoding: 8bit\n\n");
        out.NormalisedText(body);
    }
    out.Text("\nEND:VBODY\nEND:VENV\nEND:VENV\nEND:VMSG\n");
    return out.Save(target.empty() ? kDefaultFile : target) ? 1 : 0;
}

}  // namespace sorvanto
