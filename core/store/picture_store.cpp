#include "store/picture_store.h"

#include "common/sjis.h"
#include "platform/image_info.h"
#include "store/stored_path.h"

namespace sorvanto {

PictureStore::PictureStore(Category category, std::string index_path)
    : CategoryStore(category, index_path.empty() ? std::string(FilesOf(category).index_path) : std::move(index_path),
                    std::string(FilesOf(category).default_dir)) {}

int PictureStore::TypeOf(std::string_view head, bool camera) {
    static constexpr std::string_view kJfif("\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46", 10);
    static constexpr std::string_view kJpeg("\xFF\xD8\xFF", 3);
    if (head.substr(0, 2) == "BM") return 0;
    if (head.substr(0, camera ? kJpeg.size() : kJfif.size()) == (camera ? kJpeg : kJfif)) return 1;
    if (head.substr(0, 3) == "GIF") return 2;
    return -1;
}

RegisterResult PictureStore::Register(const std::string& source, const std::string& title,
                                      const std::string& comment, int flag, int* key) {
    const std::int64_t size = fs::FileSize(source);
    if (size <= 0 || size > 0x7FFFFFFF) return RegisterResult::kNotAccepted;
    const auto bytes = fs::ReadFile(source);
    return bytes ? RegisterBytes(*bytes, title, comment, flag, key) : RegisterResult::kNotAccepted;
}

RegisterResult PictureStore::RegisterBytes(std::string_view picture, const std::string& title,
                                           const std::string& comment, int flag, int* key) {
    const int type = TypeOf(picture.substr(0, 256), GetCategory() == Category::kMyPic);
    const std::size_t size = picture.size();
    if (type < 0 || size == 0 || size > 0x7FFFFFFF) return RegisterResult::kNotAccepted;

    auto item = std::make_unique<PictureItem>();
    item->flag = flag;
    item->title = sjis::CutBytes(title, 63);
    item->comment = sjis::CutBytes(comment, 259);
    item->type = type;
    item->bytes = static_cast<int>(size);
    // A picture whose header cannot be read is still registered, with no size.
    if (const auto info = ImageInfo::FromBytes(picture)) {
        item->width = info->width;
        item->height = info->height;
    }
    return RegisterData(picture, std::move(item), key) ? RegisterResult::kRegistered : RegisterResult::kFailed;
}

bool PictureStore::SetTitleAndComment(int key, const std::string& title, const std::string& comment) {
    PictureItem* item = FindMutable(key);
    if (!item) return false;
    item->title = sjis::CutBytes(title, 63);
    item->comment = sjis::CutBytes(comment, 259);
    Touch(key);
    return true;
}

bool PictureStore::ReadItem(const IniFile& index, const std::string& section, PictureItem& item) {
    item.title = ReadText(index, section, "Title", 63);
    item.bytes = index.GetInt(section, "Byte");
    item.width = index.GetInt(section, "SizeX");
    item.height = index.GetInt(section, "SizeY");
    item.type = index.GetInt(section, "Type");
    item.comment = ReadText(index, section, "Comment", 255);
    item.set_time = index.GetInt(section, "SetTime");
    item.entry_time = index.GetInt(section, "EntryTime");
    item.flag = index.GetInt(section, "Flag");
    item.path = ReadText(index, section, "Path", 259);
    return IsInsideWorkingFolder(item.path);
}

void PictureStore::WriteItem(IniFile& index, const std::string& section, const PictureItem& item) const {
    index.SetString(section, "Title", item.title);
    index.SetInt(section, "Byte", item.bytes);
    index.SetInt(section, "SizeX", item.width);
    index.SetInt(section, "SizeY", item.height);
    index.SetInt(section, "Type", item.type);
    index.SetString(section, "Comment", item.comment);
    index.SetInt(section, "SetTime", item.set_time);
    index.SetInt(section, "EntryTime", item.entry_time);
    index.SetInt(section, "Flag", item.flag);
    index.SetString(section, "Path", item.path);
}

}  // namespace sorvanto
