#include "store/address_entry_file.h"

#include <algorithm>

#include "common/sjis.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/ini_view.h"

namespace sorvanto {

namespace {

constexpr std::string_view kSystem = "System";

// How many of "Tel%d"/"Mail%d" to read: the stored count, but never more entries than the
// section has keys, so a count of two billion costs nothing.
long long Bounded(const IniFile& ini, std::string_view count_key, std::size_t keys) {
    return std::clamp<long long>(ini.GetInt(kSystem, count_key, 0), 0, static_cast<long long>(keys));
}

std::string Numbered(std::string_view key, long long i) { return std::string(key) + std::to_string(i); }

}  // namespace

std::string AfterColon(std::string_view value) {
    const auto colon = value.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(value.substr(colon + 1));
}

std::optional<AddressEntry> ReadAddressEntry(std::string_view stored_path) {
    IniFile ini;
    if (!ini.Load(stored_path)) return std::nullopt;
    const std::size_t keys = ini.KeyCount(kSystem);
    if (keys == 0) return std::nullopt;
    AddressEntry e;
    e.name = ini.GetString(kSystem, "Name");
    e.kana = ini.GetString(kSystem, "Kana");
    const long long tels = Bounded(ini, "TelCnt", keys);
    for (long long i = 0; i < tels; ++i) {
        e.tels.push_back(ini.GetString(kSystem, Numbered("Tel", i)));
        e.tel_icons.push_back(ini.GetString(kSystem, Numbered("TelIcon", i), "0000"));
    }
    const long long mails = Bounded(ini, "MailCnt", keys);
    for (long long i = 0; i < mails; ++i) {
        e.mails.push_back(ini.GetString(kSystem, Numbered("Mail", i)));
        e.mail_icons.push_back(ini.GetString(kSystem, Numbered("MailIcon", i), "00"));
    }
    e.adr_no = ini.GetString(kSystem, "AdrNo");
    e.adr = ini.GetString(kSystem, "Adr");
    e.note = ini.GetString(kSystem, "Note");
    return e;
}

namespace {

// A view, not an IniFile: a store loads ten thousand entries and reads five keys of each.
bool FillAddressItem(const IniView& ini, AddressItem& item) {
    if (ini.KeyCount(kSystem) == 0) return false;
    item.name = sjis::CutBytes(ini.GetString(kSystem, "Name"), 63);
    item.kana = sjis::CutBytes(ini.GetString(kSystem, "Kana"), 63);
    // The list shows the last number and the last address of the entry.
    const int tels = ini.GetInt(kSystem, "TelCnt", 0);
    item.phone = tels > 0 ? sjis::CutBytes(AfterColon(ini.GetString(kSystem, Numbered("Tel", tels - 1))), 63) : "";
    const int mails = ini.GetInt(kSystem, "MailCnt", 0);
    item.mail =
        mails > 0 ? sjis::CutBytes(AfterColon(ini.GetString(kSystem, Numbered("Mail", mails - 1))), 259) : "";
    item.memo = sjis::CutBytes(ini.GetString(kSystem, "Note"), 259);
    return true;
}

}  // namespace

bool ReadAddressItem(std::string_view stored_path, AddressItem& item) {
    const auto bytes = fs::ReadFile(stored_path);
    return bytes && ReadAddressItemBytes(*bytes, item);
}

bool ReadAddressItemBytes(std::string_view bytes, AddressItem& item) {
    return FillAddressItem(IniView(bytes), item);
}

bool WriteAddressEntry(std::string_view stored_path, const AddressEntry& e) {
    IniFile ini(stored_path);
    ini.SetString(kSystem, "Name", e.name);
    ini.SetString(kSystem, "Kana", e.kana);
    for (std::size_t i = 0; i < e.tels.size(); ++i) {
        ini.SetString(kSystem, Numbered("Tel", static_cast<long long>(i)), e.tels[i]);
        ini.SetString(kSystem, Numbered("TelIcon", static_cast<long long>(i)),
                      i < e.tel_icons.size() ? e.tel_icons[i] : "0000");
    }
    for (std::size_t i = 0; i < e.mails.size(); ++i) {
        ini.SetString(kSystem, Numbered("Mail", static_cast<long long>(i)), e.mails[i]);
        ini.SetString(kSystem, Numbered("MailIcon", static_cast<long long>(i)),
                      i < e.mail_icons.size() ? e.mail_icons[i] : "00");
    }
    ini.SetString(kSystem, "AdrNo", e.adr_no);
    ini.SetString(kSystem, "Adr", e.adr);
    ini.SetString(kSystem, "Note", e.note);
    ini.SetInt(kSystem, "TelCnt", static_cast<long long>(e.tels.size()));
    ini.SetInt(kSystem, "MailCnt", static_cast<long long>(e.mails.size()));
    return ini.Save();
}

}  // namespace sorvanto
