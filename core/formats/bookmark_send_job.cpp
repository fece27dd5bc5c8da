#include "formats/bookmark_send_job.h"

#include "formats/object_name_tables.h"
#include "formats/object_text_writer.h"

namespace sorvanto {

BookmarkSendJob::BookmarkSendJob(int model_id, int challenge, std::unique_ptr<LinkApi> link)
    : ObexPutClient(model_id, challenge, std::move(link)) {}

int BookmarkSendJob::SendObject(const std::string* local_path, const std::string* object_name, TransferMonitor* monitor) {
    const std::string name =
        object_name ? *object_name : object_names::Lookup(object_names::ObjectKind::kBookmark, ModelId()).name;
    if (!SetObjectName(name) || !OpenObjectFile(local_path ? *local_path : kDefaultFile)) return -1;
    return Transfer(monitor);
}

int BookmarkSendJob::BuildBookmark(std::string_view title, std::string_view url, std::string_view target,
                                   std::string& object_name) {
    const object_names::ObjectName row = object_names::Lookup(object_names::ObjectKind::kBookmark, ModelId());
    object_name = row.name;
    const std::string t(title), u(url);
    ObjectTextWriter out;
    if (row.variant == 1) {
        out.Text("BEGIN:VNOTE\nVERSION:1.1\n");
        out.Text("X-SUMMARY;CHARSET=SHIFT_JIS:" + t + "\n");
        out.Text("X-BODY:" + u + "\n");
        out.Text("X-JUMPINFO:\nEND:VNOTE\n");
    } else {
        out.Text("BEGIN:VBKM\nVERSION:1.0\n");
        out.Text("URL:" + u + "\n");
        out.Text("TITLE;CHARSET=SHIFT_JIS:" + t + "\n");
        out.Text("END:VBKM\n");
    }
    return out.Save(target.empty() ? kDefaultFile : target) ? 1 : 0;
}

}  // namespace sorvanto
