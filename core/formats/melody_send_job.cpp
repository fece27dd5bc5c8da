#include "formats/melody_send_job.h"

#include "formats/byte_source.h"
#include "formats/object_name_tables.h"
#include "formats/object_text_writer.h"
#include "formats/quoted_printable.h"
#include "platform/fs.h"

namespace sorvanto {

MelodySendJob::MelodySendJob(int model_id, std::unique_ptr<LinkApi> link)
    : ObexPutClient(model_id, 0, std::move(link)) {}

int MelodySendJob::SendObject(const std::string* local_path, const std::string* object_name, TransferMonitor* monitor) {
    const std::string name =
        object_name ? *object_name : object_names::Lookup(object_names::ObjectKind::kMelody, ModelId()).name;
    if (!SetObjectName(name) || !OpenObjectFile(local_path ? *local_path : kDefaultFile)) return -1;
    return Transfer(monitor);
}

int MelodySendJob::BuildMelody(std::string_view mld_file, std::string_view title, std::string_view target,
                               std::string& object_name) {
    const object_names::ObjectName row = object_names::Lookup(object_names::ObjectKind::kMelody, ModelId());
    object_name = row.name;
    const auto mld = fs::ReadFile(mld_file);
    if (!mld) return 0;
    ObjectTextWriter out;
    out.Text("BEGIN:VNOTE\nVERSION:1.1\n");
    if (row.variant == 1) {
        out.Text("X-FORMAT:1\nX-BODY;ENCODING=QUOTED-PRINTABLE:");
        // The soft line breaks already end in CR LF; the encoded text carries no other line end.
        std::string encoded;
        MemoryByteSource source(*mld);
        StringSink sink(encoded);
        QuotedPrintableCodec::Encode(source, sink, true);
        out.Raw(encoded);
        out.Text("\nEND:VNOTE\n");
    } else if (row.variant == 2) {
        out.Text("X-FORMAT:1\nX-BODY;ENCODING=BASE64:");
        if (!out.Base64(*mld, 74)) return 0;
        out.Text("\nEND:VNOTE\n");
    } else {
        out.Text("SUMMARY;CHARSET=SHIFT_JIS:" + std::string(title) + "\n");
        out.Text("BODY;ENCODING=BASE64:");
        if (!out.Base64(*mld, 0)) return 0;
        out.Text("\nX-NEC-COPYRIGHT:0\nX-NEC-ORG:1\nX-NEC-MODIFY:0\n");
        out.Text("END:VNOTE\n");
    }
    return out.Save(target.empty() ? kDefaultFile : target) ? 1 : 0;
}

}  // namespace sorvanto
