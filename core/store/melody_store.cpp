#include "store/melody_store.h"

#include "common/sjis.h"
#include "melody/mld_data.h"
#include "store/stored_path.h"

namespace sorvanto {

MelodyStore::MelodyStore(std::string index_path)
    : CategoryStore(Category::kMelody, std::move(index_path), std::string(FilesOf(Category::kMelody).default_dir)) {}

std::optional<std::string> MelodyStore::TitleOf256(std::string_view head) {
    if (head.size() <= 4 || head.substr(0, 4) != "melo") return std::nullopt;
    std::optional<std::string> title;
    // A match counts only when its two length bytes were read too.
    for (std::size_t i = 0; i + 6 <= head.size(); ++i) {
        if (head.substr(i, 4) != "titl") continue;
        const std::size_t declared = (static_cast<unsigned char>(head[i + 4]) << 8) | static_cast<unsigned char>(head[i + 5]);
        std::string_view text = head.substr(i + 6, std::min<std::size_t>(declared, 259));
        // The title is a C string in the handset's file: it ends at the first NUL.
        text = text.substr(0, text.find('\0'));
        title = sjis::CutBytes(text, 259);
    }
    return title;
}

RegisterResult MelodyStore::Register(const std::string& source, int flag, int* key) {
    const std::int64_t size = fs::FileSize(source);
    if (size <= 0 || size > 0x7FFFFFFF) return RegisterResult::kNotAccepted;
    const auto bytes = fs::ReadFile(source);
    return bytes ? RegisterBytes(*bytes, flag, key) : RegisterResult::kNotAccepted;
}

RegisterResult MelodyStore::RegisterBytes(std::string_view mld, int flag, int* key) {
    const auto title = TitleOf256(mld.substr(0, 256));
    if (!title || mld.empty() || mld.size() > 0x7FFFFFFF) return RegisterResult::kNotAccepted;

    auto item = std::make_unique<MelodyItem>();
    item->flag = flag;
    item->title = *title;
    item->bytes = static_cast<int>(mld.size());
    return RegisterData(mld, std::move(item), key) ? RegisterResult::kRegistered : RegisterResult::kFailed;
}

bool MelodyStore::SetComment(int key, const std::string& comment) {
    MelodyItem* item = FindMutable(key);
    if (!item) return false;
    item->comment = sjis::CutBytes(comment, 259);
    Touch(key);
    return true;
}

bool MelodyStore::RepairLength(MelodyItem& item) {
    const std::int64_t size = fs::FileSize(item.path);
    if (size <= 0) return false;
    // Most files are exactly as long as their header says: the length field alone tells, and
    // only a longer file is read and parsed whole (this runs for every melody at start-up).
    const auto head = fs::ReadFile(item.path, 8);
    if (!head || head->size() < 8 || head->compare(0, 4, "melo") != 0) return false;
    const std::int64_t declared = (std::int64_t{static_cast<unsigned char>((*head)[4])} << 24) |
                                  (static_cast<unsigned char>((*head)[5]) << 16) |
                                  (static_cast<unsigned char>((*head)[6]) << 8) | static_cast<unsigned char>((*head)[7]);
    if (declared == 0 || size <= declared + 8) return false;
    MldData mld;
    if (mld.Load(item.path) == 0) return false;
    const std::int64_t want = static_cast<std::int64_t>(mld.DataLength()) + 8;
    // Only a file longer than its header says can be cut back to it; a shorter one has lost
    // bytes that no rewrite brings back, and a zero length would cut it to its header.
    if (mld.DataLength() == 0 || size <= want) return false;
    const auto bytes = fs::ReadFile(item.path, static_cast<std::size_t>(want));
    if (!bytes || static_cast<std::int64_t>(bytes->size()) != want) return false;
    if (!fs::WriteFileAtomic(item.path, *bytes)) return false;
    item.bytes = static_cast<int>(want);
    return true;
}

bool MelodyStore::ReadItem(const IniFile& index, const std::string& section, MelodyItem& item) {
    item.title = ReadText(index, section, "Title", 259);
    item.bytes = index.GetInt(section, "Byte");
    item.comment = ReadText(index, section, "Comment", 255);
    item.set_time = index.GetInt(section, "SetTime");
    item.entry_time = index.GetInt(section, "EntryTime");
    item.flag = index.GetInt(section, "Flag");
    item.path = ReadText(index, section, "Path", 259);
    if (!IsInsideWorkingFolder(item.path)) return false;
    if (!item.path.empty() && !ReadOnly() && RepairLength(item)) ChangedWhileLoading();
    return true;
}

void MelodyStore::WriteItem(IniFile& index, const std::string& section, const MelodyItem& item) const {
    index.SetString(section, "Title", item.title);
    index.SetInt(section, "Byte", item.bytes);
    index.SetString(section, "Comment", item.comment);
    index.SetInt(section, "SetTime", item.set_time);
    index.SetInt(section, "EntryTime", item.entry_time);
    index.SetInt(section, "Flag", item.flag);
    index.SetString(section, "Path", item.path);
}

}  // namespace sorvanto
