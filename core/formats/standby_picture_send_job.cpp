#include "formats/standby_picture_send_job.h"

#include <cstdint>
#include <optional>

#include "formats/object_name_tables.h"
#include "formats/object_text_writer.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

struct Pixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string rows;  // top row first, width * 2 bytes each
};

// The handset wants 16-bit pixels, top row first, rows unpadded: the layout the P504i(S)
// importer stores. Every value the header declares is checked against the file, and a bitmap
// of another depth is refused instead of being sent as garbage.
std::optional<Pixels> HandsetRows(const std::string& bmp) {
    constexpr std::size_t kHeaderEnd = 30;  // through the bit count at offset 28
    if (bmp.size() < kHeaderEnd || bmp[0] != 'B' || bmp[1] != 'M') return std::nullopt;
    const std::uint32_t offset = Le32(bmp, 10);
    const std::int32_t width = static_cast<std::int32_t>(Le32(bmp, 18));
    const std::int32_t height = static_cast<std::int32_t>(Le32(bmp, 22));
    const unsigned bits = static_cast<unsigned char>(bmp[28]) | static_cast<unsigned char>(bmp[29]) << 8;
    if (bits != 16 || width <= 0 || height <= 0) return std::nullopt;
    const std::uint64_t row_bytes = static_cast<std::uint64_t>(width) * 2;
    const std::uint64_t pixel_bytes = row_bytes * static_cast<std::uint64_t>(height);
    if (offset > bmp.size() || pixel_bytes > bmp.size() - offset) return std::nullopt;
    Pixels p;
    p.width = static_cast<std::uint32_t>(width);
    p.height = static_cast<std::uint32_t>(height);
    p.rows.reserve(pixel_bytes);
    for (std::int64_t row = height - 1; row >= 0; --row)
        p.rows.append(bmp, offset + static_cast<std::size_t>(row) * row_bytes, row_bytes);
    return p;
}

bool WriteBitmapNote(std::string_view picture_file, int type, ObjectTextWriter& out) {
    if (type != 0) return false;
    const auto bmp = fs::ReadFile(picture_file);
    if (!bmp) return false;
    const auto pixels = HandsetRows(*bmp);
    if (!pixels) return false;
    out.Text("BEGIN:VNOTE\nVERSION:1.1\nX-BMPTYPE:04\nX-HPICLR:0\n");
    out.Text("X-WIDTH:" + std::to_string(pixels->width) + "\n");
    out.Text("X-HEIGHT:" + std::to_string(pixels->height) + "\n");
    out.Text("X-BODY;ENCODING=BASE64:");
    if (!out.Base64(pixels->rows, 72)) return false;
    out.Text("\nX-COPYRIGHT:0\nEND:VNOTE\n");
    return true;
}

bool WriteNecNote(std::string_view picture_file, std::string_view title, int type, ObjectTextWriter& out) {
    const auto data = fs::ReadFile(picture_file);
    if (!data) return false;
    out.Text("BEGIN:VNOTE\nVERSION:1.1\n");
    out.Text("SUMMARY;CHARSET=SHIFT_JIS:" + std::string(title) + "\n");
    out.Text("BODY;ENCODING=BASE64:");
    if (!out.Base64(*data, 0)) return false;
    out.Text("\nX-NEC-POSITION:CENTER\n");
    if (type == 1) out.Text("X-NEC-TYPE:JPEG\n");
    if (type == 2) out.Text("X-NEC-TYPE:GIF\n");
    out.Text("END:VNOTE\n");
    return true;
}

}  // namespace

StandbyPictureSendJob::StandbyPictureSendJob(int model_id, std::unique_ptr<LinkApi> link)
    : ObexPutClient(model_id, 0, std::move(link)) {}

int StandbyPictureSendJob::SendObject(const std::string* local_path, const std::string* object_name, TransferMonitor* monitor) {
    const std::string name =
        object_name ? *object_name : object_names::Lookup(object_names::ObjectKind::kStandbyPicture, ModelId()).name;
    if (!SetObjectName(name) || !OpenObjectFile(local_path ? *local_path : kDefaultFile)) return -1;
    return Transfer(monitor);
}

int StandbyPictureSendJob::BuildStandbyPicture(std::string_view picture_file, std::string_view title, int type,
                                               int reserved, std::string_view target, std::string& object_name) {
    reserved_ = reserved;
    const object_names::ObjectName row =
        object_names::Lookup(object_names::ObjectKind::kStandbyPicture, ModelId());
    object_name = row.name;
    ObjectTextWriter out;
    bool built = false;
    if (row.variant == 2)
        built = WriteBitmapNote(picture_file, type, out);
    else if (row.variant == 0)
        built = WriteNecNote(picture_file, title, type, out);
    // Variant 1 (the P503i(S)) takes no standby picture: nothing is written.
    if (!built) return 0;
    return out.Save(target.empty() ? kDefaultFile : target) ? 1 : 0;
}

}  // namespace sorvanto
