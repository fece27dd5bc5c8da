#include "formats/address_send_job.h"

#include "common/sjis.h"
#include "formats/object_name_tables.h"
#include "formats/object_text_writer.h"
#include "platform/fs.h"
#include "platform/ini_file.h"

namespace sorvanto {

namespace {

constexpr std::size_t kValueBytes = 1039;
constexpr std::size_t kPostalCodeBytes = 15;
constexpr const char* kDummyEntry =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:dummy;;;;\r\nEND:VCARD\r\n";

class EntryReader {
public:
    explicit EntryReader(std::string_view path) : ini_(path) {}

    std::string Value(const std::string& key, std::size_t limit = kValueBytes) const {
        return sjis::CutBytes(ini_.GetString("System", key), limit);
    }
    // A count stored in the file. A count larger than the keys the section holds can only name
    // missing keys, so it is cut there rather than trusted to drive a loop of billions.
    int Count(const char* key) const {
        const int n = ini_.GetInt("System", key, 0);
        const int keys = static_cast<int>(ini_.KeyCount("System"));
        return n < 0 ? 0 : (n > keys ? keys : n);
    }

private:
    IniFile ini_;
};

void WriteIconVariant(const EntryReader& entry, ObjectTextWriter& out) {
    out.Text("N;CHARSET=SHIFT_JIS:" + entry.Value("Name") + ";;;;\n");
    out.Text("SOUND;CHARSET=SHIFT_JIS;X-IRMC-N:" + entry.Value("Kana") + ";;;;\n");
    const int tels = entry.Count("TelCnt");
    for (int i = 0; i < tels; ++i) {
        out.Text("TEL;" + entry.Value("Tel" + std::to_string(i)) + "\n");
        const std::string icon = entry.Value("TelIcon" + std::to_string(i));
        if (!icon.empty()) out.Text("X-DIF:" + icon + "\n");
    }
    const int mails = entry.Count("MailCnt");
    for (int i = 0; i < mails; ++i) {
        out.Text("EMAIL;" + entry.Value("Mail" + std::to_string(i)) + "\n");
        const std::string icon = entry.Value("MailIcon" + std::to_string(i));
        if (!icon.empty()) out.Text("X-MIF:" + icon + "\n");
    }
    const std::string note = entry.Value("Note");
    if (!note.empty()) out.Text("X-NOTE;CHARSET=SHIFT_JIS:" + note + "\n");
}

void WritePlainVariant(const EntryReader& entry, ObjectTextWriter& out) {
    out.Text("N;CHARSET=SHIFT_JIS:" + entry.Value("Name") + ";;;;\n");
    out.Text("SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:" + entry.Value("Kana") + ";;;;\n");
    const int tels = entry.Count("TelCnt");
    for (int i = 0; i < tels; ++i) out.Text("TEL;" + entry.Value("Tel" + std::to_string(i)) + "\n");
    const int mails = entry.Count("MailCnt");
    for (int i = 0; i < mails; ++i) out.Text("EMAIL;" + entry.Value("Mail" + std::to_string(i)) + "\n");
    const std::string adr = entry.Value("Adr");
    const std::string adr_no = entry.Value("AdrNo", kPostalCodeBytes);
    if (!adr.empty() || !adr_no.empty())
        out.Text("ADR;CHARSET=SHIFT_JIS;HOME:;;" + adr + ";;;" + adr_no + ";\n");
    const std::string note = entry.Value("Note");
    if (!note.empty()) out.Text("NOTE;CHARSET=SHIFT_JIS:" + note + "\n");
}

}  // namespace

AddressSendJob::AddressSendJob(int model_id, int challenge, std::unique_ptr<LinkApi> link)
    : ObexPutClient(model_id, challenge, std::move(link)) {}

int AddressSendJob::SendObject(const std::string* local_path, const std::string* object_name, TransferMonitor* monitor) {
    const std::string name =
        object_name ? *object_name : object_names::Lookup(object_names::ObjectKind::kAddressEntry, ModelId()).name;
    if (!SetObjectName(name) || !OpenObjectFile(local_path ? *local_path : kDefaultFile)) return -1;
    return Transfer(monitor);
}

int AddressSendJob::BuildAddress(std::string_view address_file, std::string_view target,
                                 std::string& object_name) {
    const object_names::ObjectName row = object_names::Lookup(object_names::ObjectKind::kAddressEntry, ModelId());
    object_name = row.name;
    const EntryReader entry(address_file);
    ObjectTextWriter out;
    out.Text("BEGIN:VCARD\nVERSION:2.1\n");
    if (row.variant == 1)
        WriteIconVariant(entry, out);
    else
        WritePlainVariant(entry, out);
    out.Text("X-CLASS:PUBLIC\nEND:VCARD\n");
    return out.Save(target.empty() ? kDefaultFile : target) ? 1 : 0;
}

int AddressSendJob::AddToCollection(int index, std::string_view single_file, std::string_view collection_file,
                                    std::string& object_name) {
    object_name = object_names::Lookup(object_names::ObjectKind::kAddressBook, ModelId()).name;
    if (index < 0) return 0;
    const auto entry = fs::ReadFile(single_file);
    if (!entry) return 0;
    if (index == 0 && !fs::WriteFile(collection_file, kDummyEntry)) return 0;
    return fs::AppendFile(collection_file, *entry) ? 1 : 0;
}

}  // namespace sorvanto
