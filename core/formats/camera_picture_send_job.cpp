#include "formats/camera_picture_send_job.h"

#include "formats/object_name_tables.h"
#include "formats/object_text_writer.h"
#include "platform/fs.h"

namespace sorvanto {

CameraPictureSendJob::CameraPictureSendJob(int model_id, std::unique_ptr<LinkApi> link)
    : ObexPutClient(model_id, 0, std::move(link)) {}

int CameraPictureSendJob::SendObject(const std::string* local_path, const std::string* object_name, TransferMonitor* monitor) {
    const std::string name =
        object_name ? *object_name : object_names::Lookup(object_names::ObjectKind::kCameraPicture, ModelId()).name;
    if (!SetObjectName(name) || !OpenObjectFile(local_path ? *local_path : kDefaultFile)) return -1;
    return Transfer(monitor);
}

int CameraPictureSendJob::BuildCameraPicture(std::string_view picture_file, std::string_view title, int width,
                                             int height, int bytes, int type, std::string_view target,
                                             std::string& object_name) {
    const object_names::ObjectName row =
        object_names::Lookup(object_names::ObjectKind::kCameraPicture, ModelId());
    object_name = row.name;
    if (row.variant != 0 && row.variant != 1) return 0;
    const auto data = fs::ReadFile(picture_file);
    if (!data) return 0;
    ObjectTextWriter out;
    out.Text("BEGIN:VNOTE\nVERSION:1.1\n");
    if (row.variant == 1) {
        if (type == 1 || type == 2) out.Text("X-BMPTYPE:04\n");
        out.Text("X-HPICLR:0\n");
        out.Text("X-WIDTH:" + std::to_string(width) + "\n");
        out.Text("X-HEIGHT:" + std::to_string(height) + "\n");
        out.Text("X-BODY;ENCODING=BASE64:");
        if (!out.Base64(*data, 74)) return 0;
        out.Text("\nX-COPYRIGHT:0\nEND:VNOTE\n");
    } else {
        if (type == 1) out.Text("X-DOCOMO-TYPE:JPEG\n");
        if (type == 2) out.Text("X-DOCOMO-TYPE:GIF\n");
        out.Text("X-DOCOMO-SIZE:" + std::to_string(width) + "X" + std::to_string(height) + "\n");
        out.Text("X-DOCOMO-FILESIZE:" + std::to_string(bytes) + "byte\n");
        out.Text("SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + std::string(title) + "\n");
        out.Text("X-DOCOMO-BODY;ENCODING=BASE64:");
        if (!out.Base64(*data, 74)) return 0;
        out.Text("\nEND:VNOTE\n");
    }
    return out.Save(target.empty() ? kDefaultFile : target) ? 1 : 0;
}

}  // namespace sorvanto
