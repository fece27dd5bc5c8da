#include "archive/mime_mail.h"

#include <cstdio>
#include <ctime>

#include "archive/sha256.h"
#include "common/time_text.h"
#include "formats/base64.h"

namespace sorvanto {

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool PlainAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
    return s.find("=?") == std::string_view::npos;
}

std::size_t Utf8Length(unsigned char c) {
    return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

std::string Base64Of(std::string_view bytes) {
    return base64::Encode(bytes, bytes.size() / 3 * 4 + 8);
}

std::string Base64Lines(std::string_view bytes) {
    const std::string text = Base64Of(bytes);
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 76) out += text.substr(i, 76) + "\r\n";
    return out;
}

bool IsAtext(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-/=?^_`{|}~").find(c) != std::string_view::npos;
}

bool IsDotAtom(std::string_view s) {
    if (s.empty() || s.front() == '.' || s.back() == '.' || s.find("..") != std::string_view::npos)
        return false;
    for (char c : s)
        if (c != '.' && !IsAtext(c)) return false;
    return true;
}

std::string Quoted(std::string_view ascii) {
    std::string out = "\"";
    for (char c : ascii) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// One address, or nothing when it is none.
std::string AddrSpec(std::string_view s) {
    const std::size_t at = s.rfind('@');
    if (at == std::string_view::npos || at == 0) return {};
    const std::string_view local = s.substr(0, at);
    const std::string_view domain = s.substr(at + 1);
    if (!IsDotAtom(domain) || !PlainAscii(local) || local.find(' ') != std::string_view::npos) return {};
    return (IsDotAtom(local) ? std::string(local) : Quoted(local)) + "@" + std::string(domain);
}

std::string Trimmed(std::string_view s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string_view::npos) return {};
    const std::size_t b = s.find_last_not_of(" \t");
    return std::string(s.substr(a, b - a + 1));
}

// A file name parameter: plain when it is simple ASCII, RFC 2231 otherwise.
std::string FileNameParam(std::string_view param, std::string_view utf8) {
    bool simple = !utf8.empty();
    for (char c : utf8)
        if (!(IsAtext(c) || c == '.' || c == ' ' || c == '(' || c == ')') || c == '\'' || c == '%' ||
            c == '*')
            simple = false;
    if (simple) return std::string(param) + "=\"" + std::string(utf8) + "\"";
    std::string out = std::string(param) + "*=UTF-8''";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
            c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace

std::string Rfc5322Date(std::int64_t seconds) {
    std::tm tm{};
    if (!LocalTime(seconds, tm)) return "Thu, 01 Jan 1970 00:00:00 +0000";
    const std::int64_t local = DaysFromCivil(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                                             static_cast<unsigned>(tm.tm_mday)) *
                                   86400 +
                               tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
    const std::int64_t offset_min = (local - seconds) / 60;
    const std::int64_t abs_min = offset_min < 0 ? -offset_min : offset_min;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d",
                  kDays[(tm.tm_wday % 7 + 7) % 7], tm.tm_mday, kMonths[(tm.tm_mon % 12 + 12) % 12],
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec, offset_min < 0 ? '-' : '+',
                  static_cast<int>(abs_min / 60), static_cast<int>(abs_min % 60));
    return buf;
}

std::string EncodedHeaderText(std::string_view utf8) {
    if (PlainAscii(utf8)) return std::string(utf8);
    // 45 bytes give 60 Base64 characters: with "=?UTF-8?B?" and "?=" 72, inside the 75 allowed.
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t end = i;
        while (end < utf8.size()) {
            const std::size_t n =
                std::min(Utf8Length(static_cast<unsigned char>(utf8[end])), utf8.size() - end);
            if (end + n - i > 45) break;
            end += n;
        }
        if (end == i) end = i + 1;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + Base64Of(utf8.substr(i, end - i)) + "?=";
        i = end;
    }
    return out;
}

std::string AddressListHeader(std::string_view utf8) {
    std::string out;
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t end = utf8.find_first_of(",;", start);
        if (end == std::string_view::npos) end = utf8.size();
        const std::string piece = Trimmed(utf8.substr(start, end - start));
        start = end + 1;
        if (piece.empty()) continue;
        std::string entry;
        const std::size_t lt = piece.rfind('<');
        if (lt != std::string::npos && piece.back() == '>') {
            const std::string spec = AddrSpec(piece.substr(lt + 1, piece.size() - lt - 2));
            const std::string name = Trimmed(piece.substr(0, lt));
            if (!spec.empty())
                entry =
                    (name.empty() ? "" : (PlainAscii(name) ? Quoted(name) : EncodedHeaderText(name)) + " ") +
                    "<" + spec + ">";
        } else {
            entry = AddrSpec(piece);
        }
        // Not an address (a phone number, a damaged line): readable as the name of an empty group.
        if (entry.empty()) entry = (PlainAscii(piece) ? Quoted(piece) : EncodedHeaderText(piece)) + ":;";
        out += (out.empty() ? "" : ",\r\n ") + entry;
    }
    return out;
}

std::string QuotedPrintableBody(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t i = 0;
    while (true) {
        std::size_t end = utf8.find_first_of("\r\n", i);
        const std::string_view line =
            utf8.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
        std::string encoded_line;
        std::size_t width = 0;
        for (std::size_t k = 0; k < line.size(); ++k) {
            const auto c = static_cast<unsigned char>(line[k]);
            const bool last = k + 1 == line.size();
            std::string unit;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last)) {
                unit = std::string(1, static_cast<char>(c));
            } else {
                unit = {'=', kHex[c >> 4], kHex[c & 15]};
            }
            // A soft break keeps every line at 76 characters, "=" included.
            if (width + unit.size() > 75) {
                encoded_line += "=\r\n";
                width = 0;
            }
            encoded_line += unit;
            width += unit.size();
        }
        out += encoded_line;
        if (end == std::string_view::npos) break;
        out += "\r\n";
        i = end + ((utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n') ? 2 : 1);
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

std::string BuildMimeMessage(const MimeMail& mail) {
    std::string m;
    if (!Trimmed(mail.from).empty()) m += "From: " + AddressListHeader(mail.from) + "\r\n";
    if (!Trimmed(mail.to).empty()) m += "To: " + AddressListHeader(mail.to) + "\r\n";
    m += "Subject: " + EncodedHeaderText(mail.subject) + "\r\n";
    m += "Date: " + Rfc5322Date(mail.date) + "\r\n";
    if (!mail.message_id.empty()) m += "Message-ID: <" + mail.message_id + "@sorvanto.invalid>\r\n";
    m += "MIME-Version: 1.0\r\n";
    const std::string text_headers =
        "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
    if (mail.attachments.empty()) return m + text_headers + "\r\n" + QuotedPrintableBody(mail.body);
    // Neither quoted-printable (which escapes '=') nor Base64 can hold "=_" at a line start.
    const std::string boundary = "=_sorvanto_" + Sha256::Hex(mail.body + mail.subject).substr(0, 24);
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    m += "--" + boundary + "\r\n" + text_headers + "\r\n" + QuotedPrintableBody(mail.body);
    for (const MimeAttachment& a : mail.attachments) {
        m += "--" + boundary + "\r\n";
        m += "Content-Type: " + a.content_type + "; " + FileNameParam("name", a.file_name) + "\r\n";
        m += "Content-Disposition: attachment; " + FileNameParam("filename", a.file_name) + "\r\n";
        m += "Content-Transfer-Encoding: base64\r\n\r\n";
        m += Base64Lines(a.bytes);
    }
    m += "--" + boundary + "--\r\n";
    return m;
}

std::string MboxrdEntry(std::string_view message, std::string_view envelope_sender, std::int64_t date) {
    std::string sender;
    for (char c : envelope_sender)
        if (static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F) sender += c;
    if (sender.empty()) sender = "MAILER-DAEMON";
    // The envelope date is UTC, in the form of asctime.
    const std::int64_t days = date >= 0 ? date / 86400 : (date - 86399) / 86400;
    const std::int64_t secs = date - days * 86400;
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const std::int64_t year = yoe + era * 400 + (month <= 2);
    const int weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    char buf[80];
    std::snprintf(buf, sizeof buf, " %s %s %2d %02d:%02d:%02d %04lld\n", kDays[weekday], kMonths[month - 1],
                  day, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
                  static_cast<int>(secs % 60), static_cast<long long>(year));
    std::string out = "From " + sender + buf;
    std::size_t i = 0;
    while (i < message.size()) {
        std::size_t end = message.find('\n', i);
        std::string_view line =
            message.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t gt = line.find_first_not_of('>');
        if (gt != std::string_view::npos && line.substr(gt, 5) == "From ") out += '>';
        out.append(line);
        out += '\n';
        if (end == std::string_view::npos) break;
        i = end + 1;
    }
    return out + "\n";
}

}  // namespace sorvanto
