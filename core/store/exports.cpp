#include "store/exports.h"

#include <ctime>

#include "common/sjis.h"
#include "common/time_text.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "store/address_entry_file.h"

namespace sorvanto {

namespace {

// What text mode makes of the lines: every LF goes out as CR LF.
std::string TextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

bool ExportVCard(const AddressItem& item, std::string_view target) {
    // The entry file holds what the record does not: every number and address as stored.
    const auto entry = ReadAddressEntry(".\\" + item.path);
    std::string v;
    v += "BEGIN:VCARD\n";
    v += "VERSION:2.1\n";
    v += "N;CHARSET=SHIFT_JIS:" + item.name + ";;;;\n";
    v += "SOUND;CHARSET=SHIFT_JIS:" + item.kana + ";;;;\n";
    if (entry) {
        for (const std::string& tel : entry->tels)
            v += (tel.find(':') != std::string::npos ? "TEL;" : "TEL:") + tel + "\n";
        for (const std::string& mail : entry->mails)
            v += (mail.find(':') != std::string::npos ? "EMAIL;" : "EMAIL:") + mail + "\n";
        if (!entry->adr_no.empty() && !entry->adr.empty())
            v += "ADR;CHARSET=SHIFT_JIS;HOME:;;" + entry->adr + ";;;" + entry->adr_no + ";\n";
    }
    if (!item.memo.empty()) v += "NOTE;CHARSET=SHIFT_JIS:" + item.memo + "\n";
    v += "END:VCARD\n";
    return fs::WriteFileAtomic(target, TextMode(v));
}

std::string MailDateText(std::int64_t seconds) {
    static constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                            "Saturday"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm tm{};
    if (!LocalTime(seconds, tm)) tm = std::tm{};
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d +0900", kDays[(tm.tm_wday % 7 + 7) % 7],
                  tm.tm_mday, kMonths[(tm.tm_mon % 12 + 12) % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                  tm.tm_sec);
    return buf;
}

bool ExportMailFile(const MailItem& item, bool received, std::string_view target) {
    // No "CHARSET=SHIFT_JIS" line before the headers: mail programs would read the whole file
    // as a body. The charset travels in Content-Type.
    std::string m;
    m += "From:" + (received ? item.from_or_to : std::string()) + "\n";
    m += "To:" + (received ? std::string() : item.from_or_to) + "\n";
    m += "Subject:" + item.subject + "\n";
    m += "Date:" + MailDateText(item.mail_date) + "\n";
    m += "MIME-Version:1.0\n";
    m += "Content-Type:text/plain;charset=\"shift-jis\"\n";
    m += "\n";
    // A body stored with CR LF would come out as CR CR LF through text mode.
    for (std::size_t i = 0; i < item.body.size(); ++i)
        if (!(item.body[i] == '\r' && i + 1 < item.body.size() && item.body[i + 1] == '\n')) m += item.body[i];
    return fs::WriteFileAtomic(target, TextMode(m));
}

bool WriteInternetShortcut(std::string_view url, std::string_view target) {
    IniFile ini;
    ini.Parse({}, target);
    ini.SetString("InternetShortcut", "URL", url);
    return ini.Save();
}

std::optional<std::string> ReadInternetShortcut(std::string_view path) {
    IniFile ini;
    if (!ini.Load(path) || !ini.HasKey("InternetShortcut", "URL")) return std::nullopt;
    return sjis::CutBytes(ini.GetString("InternetShortcut", "URL"), 259);
}

bool ExportDataFile(std::string_view data_path, std::string_view target) {
    return fs::CopyFile(data_path, target, true);
}

std::string ProposedFileName(std::string_view title) {
    static constexpr std::string_view kRemoved = "\\/:;*?\"<>|\n\r";
    std::string out;
    for (std::size_t i = 0; i < title.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        if (sjis::IsLeadByte(c) && i + 1 < title.size()) {
            out += title.substr(i, 2);
            ++i;
        } else if (kRemoved.find(static_cast<char>(c)) == std::string_view::npos) {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace sorvanto
