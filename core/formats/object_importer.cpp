#include "formats/object_importer.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "common/sjis.h"
#include "formats/base64.h"
#include "formats/byte_source.h"
#include "formats/encoded_word.h"
#include "formats/mail_date.h"
#include "formats/quoted_printable.h"
#include "formats/text_lines.h"
#include "platform/fs.h"
#include "platform/text_file.h"

namespace sorvanto {

namespace {

// fgets buffer sizes of the handsets' line formats.
constexpr std::size_t kSplitBuffer = 512;     // 511 bytes per read; long lines go piece by piece
constexpr std::size_t kPropertyBuffer = 519;  // vCard and bookmark lines: 518 bytes with line end
constexpr std::size_t kMailBuffer = 1559;     // vMessage header lines: 1,558 bytes with line end
constexpr std::size_t kMailTailBytes = 1560;  // what is read of a mail after its header
// The closing lines of a mail as the handset sends them, read as text:
// LF "END:VBODY" LF "END:VENV" LF "END:VENV" LF "END:VMSG" LF.
constexpr std::size_t kMailClosingBytes = 38;
constexpr std::size_t kQuotedBodyBuffer = 779;  // a quoted-printable body keeps 778 bytes
constexpr std::size_t kEightBitBodyBytes = 780;
// The store keeps 518 bytes of From/To and 258 of the subject per line; a value must fit with
// its LF whichever way a reader counts the line end, so one byte less.
constexpr std::size_t kAddressListBytes = 517;
constexpr std::size_t kSubjectBytes = 257;
// A handset entry holds a few numbers and addresses; a card with more than this is no handset
// object (and would only fill ".\addr.ini" with keys).
constexpr int kMaxCardEntries = 100;

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// A text cut at a byte limit (fgets did it) may end with half a double-byte character.
std::string_view WholeCharacters(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size()) {
        if (sjis::IsLeadByte(static_cast<unsigned char>(v[i]))) {
            if (i + 1 >= v.size()) return v.substr(0, i);
            i += 2;
        } else {
            ++i;
        }
    }
    return v;
}

// The value after a prefix without its line end. A piece of an over-long line has no line end
// to lose; its last character is kept unless it was cut in half.
std::string ValueOf(std::string_view line, std::size_t prefix_length) {
    std::string_view v = line.substr(std::min(prefix_length, line.size()));
    if (!v.empty() && v.back() == '\n') v.remove_suffix(1);
    else v = WholeCharacters(v);
    return std::string(v);
}

// A vCard name field: the handsets send the name and four empty fields (";;;;").
std::string NameValueOf(std::string_view line, std::size_t prefix_length) {
    std::string v = ValueOf(line, prefix_length);
    while (!v.empty() && v.back() == ';') v.pop_back();
    return v;
}

// The value of a line that begins with the prefix, or nullopt.
std::optional<std::string> Value(std::string_view line, std::string_view prefix) {
    if (!StartsWith(line, prefix)) return std::nullopt;
    return ValueOf(line, prefix.size());
}

std::optional<std::string> NameValue(std::string_view line, std::string_view prefix) {
    if (!StartsWith(line, prefix)) return std::nullopt;
    return NameValueOf(line, prefix.size());
}

// Reads lines as fgets does with a fixed buffer, except that an over-long line yields only its
// first piece: the rest is skipped, so that text inside a long value is never taken for a
// property of its own.
class PropertyLines {
public:
    PropertyLines(std::string_view text, std::size_t buffer) : reader_(text), buffer_(buffer) {}
    bool Next(std::string& line) {
        if (!reader_.ReadLine(line, buffer_)) return false;
        if (line.back() != '\n') {
            std::string rest;
            while (reader_.ReadLine(rest, buffer_) && rest.back() != '\n') {
            }
        }
        return true;
    }
    TextLines& Reader() { return reader_; }

private:
    TextLines reader_;
    std::size_t buffer_;
};

// The whole object untranslated; nullopt when it cannot be read completely or is too large.
std::optional<std::string> ReadObject(const std::string& file) {
    const std::int64_t size = fs::FileSize(file);
    if (size < 0 || static_cast<std::uint64_t>(size) > ObjectImporter::kMaxObjectBytes) return std::nullopt;
    auto data = fs::ReadFile(file, static_cast<std::size_t>(size));
    if (!data || data->size() < static_cast<std::size_t>(size)) return std::nullopt;
    return data;
}

bool DecodeBase64(std::string_view text, std::string& out) {
    MemoryByteSource source(text);
    out.clear();
    StringSink sink(out);
    return base64::DecodeTo(source, sink) > 0;
}

// Several "From: " or "To: " lines make one list. Addresses that no longer fit the stored line
// are left out whole rather than cut in the middle.
void AppendAddress(std::string& list, std::string_view value) {
    if (value.empty()) return;
    if (list.empty()) {
        list = sjis::CutBytes(value, kAddressListBytes);
    } else if (list.size() + 1 + value.size() <= kAddressListBytes) {
        list += ';';
        list += value;
    }
}

// The subject is one line of the mail text file: a decoded CR or LF would break the file into
// wrong lines, and a NUL ended the text for every reader of it.
std::string SubjectLine(std::string subject) {
    const auto nul = subject.find('\0');
    if (nul != std::string::npos) subject.resize(nul);
    for (char& c : subject)
        if (c == '\r' || c == '\n') c = ' ';
    return sjis::CutBytes(subject, kSubjectBytes);
}

// Where the body of a mail's rest ends: at the last "END:VBODY", or, in a mail cut short
// without it, at the closing lines of the envelope and the message that a box still holds, or
// at the end of what arrived.
std::size_t BodyEnd(std::string_view rest) {
    const std::size_t end = rest.rfind("END:VBODY");
    if (end != std::string_view::npos) return end;
    for (std::size_t at = 0; at < rest.size();) {
        if (StartsWith(rest.substr(at), "END:VENV") || StartsWith(rest.substr(at), "END:VMSG")) return at;
        const std::size_t lf = rest.find('\n', at);
        if (lf == std::string_view::npos) break;
        at = lf + 1;
    }
    return rest.size();
}

// 1 when the body carries a melody the mail composer attached after its "B:M" boundary.
int AttachmentFlag(std::string_view body) {
    if (StartsWith(body, "--B:M\r\nbWV")) return 1;
    constexpr std::string_view kMark = "\r\n--B:M\r\nbWV";
    if (body.size() < 14) return 0;
    for (std::size_t i = 0; i < body.size() - 13; ++i)
        if (body.compare(i, kMark.size(), kMark) == 0) return 1;
    return 0;
}

std::string MailFile(const std::string& from, const std::string& to, const std::string& subject,
                     std::int64_t date, std::string_view body) {
    std::string out;
    out.reserve(from.size() + to.size() + subject.size() + body.size() + 32);
    out += from + "\n" + to + "\n" + SubjectLine(subject) + "\n";
    out += std::to_string(date) + "\n";
    out += std::to_string(AttachmentFlag(body)) + "\n";
    out.append(body);
    return out;
}

// The keys of one address entry on their way to ".\addr.ini", with its number and mail counts.
// The address entry file as a profile write of each key into an empty file would leave it:
// "[System]", then one "Key=Value" line per key in the order keys first came (a key put again
// keeps its place and takes the new value), CR and LF in values written as blanks. Built as
// text, since an INI object per card cost more than the rest of its conversion.
struct AddressCard {
    std::vector<std::pair<std::string, std::string>> keys;
    int tels = 0;
    int mails = 0;

    void Put(std::string key, std::string_view value) {
        // From the back: a repeated key is nearly always the icon of the number just read.
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
            if (k->first == key) {
                k->second.assign(value);
                return;
            }
        }
        keys.emplace_back(std::move(key), std::string(value));
    }
    bool TooLarge() const { return tels > kMaxCardEntries || mails > kMaxCardEntries; }
    std::string Finish() {
        Put("TelCnt", std::to_string(tels));
        Put("MailCnt", std::to_string(mails));
        std::size_t size = 10;
        for (const auto& [key, value] : keys) size += key.size() + value.size() + 3;
        std::string out;
        out.reserve(size);
        out += "[System]\r\n";
        for (const auto& [key, value] : keys) {
            out += key;
            out += '=';
            const std::size_t at = out.size();
            out += value;
            std::replace_if(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(),
                            [](char c) { return c == '\r' || c == '\n'; }, ' ');
            out += "\r\n";
        }
        return out;
    }
};

struct SplitRule {
    std::string_view end_marker;
    ObjectImporter::Action single;
};

bool IsMail(ObjectImporter::Action action) {
    using A = ObjectImporter::Action;
    return action == A::kReceivedMail || action == A::kSentMail || action == A::kOutboxMail;
}

std::optional<SplitRule> SplitRuleOf(ObjectImporter::Action action) {
    using A = ObjectImporter::Action;
    switch (action) {
        case A::kSplitAddresses: return SplitRule{"END:VCARD", A::kAddress};
        case A::kSplitReceivedMails: return SplitRule{"END:VMSG", A::kReceivedMail};
        case A::kSplitSentMails: return SplitRule{"END:VMSG", A::kSentMail};
        case A::kSplitOutboxMails: return SplitRule{"END:VMSG", A::kOutboxMail};
        case A::kSplitBookmarks: return SplitRule{"END:VBKM", A::kBookmark};
        default: return std::nullopt;
    }
}

// "TmpFiles\4a1b2c3d pb.vcf" -> "TmpFiles\4a1b2c3d" and "pb.vcf", split at white space as
// sscanf("%s %s") would, so a name that itself holds a space is cut there.
std::pair<std::string, std::string> SplitQueuedPath(std::string_view path) {
    auto is_space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    std::string words[2];
    std::size_t i = 0;
    for (auto& word : words) {
        while (i < path.size() && is_space(path[i])) ++i;
        while (i < path.size() && !is_space(path[i])) word.push_back(path[i++]);
    }
    return {words[0], words[1]};
}

}  // namespace

int ObjectImporter::Import(const std::string& path) {
    const auto [first_word, name] = SplitQueuedPath(path);
    if (name.empty()) return 2;
    const NameRow* row = nullptr;
    for (const NameRow& r : NameTable()) {
        if (r.name == name) {
            row = &r;
            break;
        }
    }
    if (!row) return 2;
    if (row->action == Action::kNotImported) return 1;
    if (SplitRuleOf(row->action))
        Split(row->action, path);
    else
        ImportSingle(row->action, path);
    return 2;
}

void ObjectImporter::ImportSingle(Action action, const std::string& file) {
    // Larger than any handset object: not read whole, and left where it is.
    auto bytes = ReadObject(file);
    if (!bytes) return;
    if (ConvertAndAdd(action, ReceivedObject::FromFileBytes(std::move(*bytes)))) fs::DeleteFile(file);
}

void ObjectImporter::Split(Action action, const std::string& file) {
    const SplitRule rule = *SplitRuleOf(action);
    TextReader in(file);
    if (!in.IsOpen()) return;
    // The lines of the object being cut out, as a split file would have held them. An object
    // that grows past any handset object is not kept: it is skipped when its end comes.
    std::string object;
    bool oversized = false;
    std::string piece;
    bool at_line_start = true;
    bool pending = false;  // lines of an object not yet ended
    while (in.ReadLine(piece, kSplitBuffer)) {
        if (!oversized && object.size() + piece.size() > kMaxObjectBytes) {
            oversized = true;
            object.clear();
            object.shrink_to_fit();
        }
        if (!oversized) object += piece;
        pending = true;
        // Only a real line start counts: the tail of an over-long line that happens to begin
        // with the marker must not end the object in the middle of a value.
        const bool is_end = at_line_start && StartsWith(piece, rule.end_marker);
        at_line_start = piece.back() == '\n';
        if (!is_end) continue;
        if (!oversized) ConvertAndAdd(rule.single, ReceivedObject::FromText(std::move(object)));
        object.clear();
        oversized = false;
        pending = false;
    }
    // A box cut short ends in a mail without its end marker; the received file goes away, so
    // that mail is taken as far as it arrived (it still needs its whole header). A card or a
    // bookmark cut short stays unregistered.
    if (pending && !oversized && IsMail(rule.single)) ConvertAndAdd(rule.single, ReceivedObject::FromText(std::move(object)));
    in.Close();
    fs::DeleteFile(file);
}

bool ObjectImporter::ConvertAndAdd(Action action, const ReceivedObject& object) {
    std::string title, text, out;
    switch (action) {
        case Action::kAddress:
            return ConvertAddress(object, out) && sink_.AddAddressBytes({kAddressFile, out});
        case Action::kMelody:
            return ConvertMelody(object, out) && sink_.AddMelodyBytes({kMelodyFile, out});
        case Action::kStandbyBitmap:
            return ConvertPicture(object, out) && sink_.AddStandbyPictureBytes(sjis::Lit("From携帯"), {kBitmapFile, out});
        case Action::kStandbyNote:
            return ConvertCameraPicture(object, title, text, out) &&
                   sink_.AddStandbyPictureBytes(sjis::Lit("From携帯"), {kPictureFile, out});
        case Action::kCameraPicture:
            return ConvertCameraPicture(object, title, text, out) &&
                   sink_.AddCameraPictureBytes(title, {kPictureFile, out}, text);
        case Action::kBookmarkNote:
        case Action::kBookmark: {
            const bool ok = action == Action::kBookmark ? ParseBookmark(object, title, text)
                                                        : ParseBookmarkNote(object, title, text);
            if (ok) sink_.AddBookmark(title, text);
            return ok;
        }
        case Action::kOutboxMail:
        case Action::kSentMail:
        case Action::kReceivedMail:
            return ConvertMail(object, out) && AddMail(action, out);
        default:
            return false;
    }
}

bool ObjectImporter::AddMail(Action action, std::string_view mail) {
    const ImportSink::WorkObject object{kMailFile, mail};
    if (action == Action::kOutboxMail) return sink_.AddOutboxMailBytes(object);
    if (action == Action::kSentMail) return sink_.AddSentMailBytes(object);
    return sink_.AddReceivedMailBytes(object);
}

bool ObjectImporter::ConvertPicture(const ReceivedObject&, std::string&) { return false; }

bool ObjectImporter::ConvertCameraPicture(const ReceivedObject&, std::string&, std::string&, std::string&) {
    return false;
}


// ---- bookmarks ----

namespace {

bool ParseBookmarkLines(const ReceivedObject& object, std::string_view title_prefix,
                        std::string_view url_prefix, std::string& title, std::string& url) {
    PropertyLines lines(object.Text(), kPropertyBuffer);
    bool have_title = false, have_url = false;
    std::string line;
    while (lines.Next(line)) {
        if (StartsWith(line, title_prefix)) {
            title = ValueOf(line, title_prefix.size());
            have_title = true;
        }
        if (StartsWith(line, url_prefix)) {
            url = ValueOf(line, url_prefix.size());
            have_url = true;
        }
    }
    return have_title && have_url;
}

}  // namespace

bool ObjectImporter::ParseBookmark(const ReceivedObject& object, std::string& title, std::string& url) {
    return ParseBookmarkLines(object, "TITLE;CHARSET=SHIFT_JIS:", "URL:", title, url);
}

bool ObjectImporter::ParseNoteBookmark(const ReceivedObject& object, std::string& title, std::string& url) {
    return ParseBookmarkLines(object, "X-SUMMARY;CHARSET=SHIFT_JIS:", "X-BODY:", title, url);
}

// ---- addresses ----

bool ObjectImporter::ConvertIconAddress(const ReceivedObject& object, std::string& entry) {
    PropertyLines lines(object.Text(), kPropertyBuffer);
    AddressCard card;
    std::string line;
    while (lines.Next(line)) {
        if (auto v = NameValue(line, "N;CHARSET=SHIFT_JIS:")) card.Put("Name", *v);
        if (auto v = NameValue(line, "SOUND;CHARSET=SHIFT_JIS;X-IRMC-N:")) card.Put("Kana", *v);
        if (auto v = Value(line, "TEL;")) card.Put("Tel" + std::to_string(card.tels++), *v);
        // The icon belongs to the number read just before it; the handsets never send one
        // first, and if one does it lands under index -1 where no reader looks.
        if (auto v = Value(line, "X-DIF:")) card.Put("TelIcon" + std::to_string(card.tels - 1), *v);
        if (auto v = Value(line, "EMAIL;")) card.Put("Mail" + std::to_string(card.mails++), *v);
        if (auto v = Value(line, "X-MIF:")) card.Put("MailIcon" + std::to_string(card.mails - 1), *v);
        if (auto v = Value(line, "X-NOTE;CHARSET=SHIFT_JIS:")) card.Put("Note", *v);
        if (StartsWith(line, "END:VCARD")) {
            entry = card.Finish();
            return true;
        }
        if (card.TooLarge()) return false;
    }
    // A vCard cut short would be stored without its counts, its numbers never shown or sent.
    return false;
}

bool ObjectImporter::ConvertPlainAddress(const ReceivedObject& object, std::string& entry) {
    PropertyLines lines(object.Text(), kPropertyBuffer);
    AddressCard card;
    auto add_tel = [&](std::string_view value) {
        const std::string n = std::to_string(card.tels++);
        card.Put("Tel" + n, value);
        card.Put("TelIcon" + n, "0000");
    };
    auto add_mail = [&](std::string_view value) {
        const std::string n = std::to_string(card.mails++);
        card.Put("Mail" + n, value);
        card.Put("MailIcon" + n, "00");
    };
    constexpr std::string_view kAdr = "ADR;CHARSET=SHIFT_JIS;HOME:;;";
    std::string line;
    while (lines.Next(line)) {
        if (auto v = NameValue(line, "N;CHARSET=SHIFT_JIS:")) card.Put("Name", *v);
        if (auto v = NameValue(line, "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:")) card.Put("Kana", *v);
        if (auto v = Value(line, "TEL;")) add_tel(*v);
        // A number without type parameters is kept as a mobile number.
        if (auto v = Value(line, "TEL:"); v && !v->empty()) add_tel("CELL:" + *v);
        if (auto v = Value(line, "EMAIL;")) add_mail(*v);
        if (auto v = Value(line, "EMAIL:"); v && !v->empty()) add_mail("INTERNET:" + *v);
        if (auto v = Value(line, "NOTE;CHARSET=SHIFT_JIS:")) card.Put("Note", *v);
        if (StartsWith(line, kAdr)) {
            // street;locality;region;postal code;country: the store keeps the street and the
            // postal code.
            const std::string rest = ValueOf(line, kAdr.size());
            std::vector<std::string_view> fields;
            std::string_view r = rest;
            for (std::size_t semi; (semi = r.find(';')) != std::string_view::npos; r.remove_prefix(semi + 1))
                fields.push_back(r.substr(0, semi));
            fields.push_back(r);
            card.Put("Adr", fields.front());
            if (fields.size() >= 2) card.Put("AdrNo", fields[fields.size() - 2]);
        }
        if (StartsWith(line, "END:VCARD")) {
            entry = card.Finish();
            return true;
        }
        if (card.TooLarge()) return false;
    }
    return false;
}

// ---- melodies ----

bool ObjectImporter::ConvertQuotedPrintableMelody(const ReceivedObject& object, std::string& mld) {
    const std::string_view data = object.Raw();
    constexpr std::string_view kBody = "X-BODY;ENCODING=QUOTED-PRINTABLE:";
    constexpr std::string_view kEnd = "END:VNOTE";
    const std::size_t size = data.size();
    const std::size_t p = data.find(kBody);
    if (p == std::string::npos || size < 35 || p >= size - 34) return false;
    // The body runs up to the line end in front of "END:VNOTE".
    const std::size_t start = p + kBody.size();
    std::size_t pos = start;
    while (pos < size - 10 && data.compare(pos + 2, kEnd.size(), kEnd) != 0) ++pos;
    if (pos >= size - 10) return false;
    // The encoded text is decoded as a text-mode read of it gives it (CR LF as LF).
    const std::string text = TextLines::FromTextMode(data.substr(start, pos - start));
    MemoryByteSource source(text);
    mld.clear();
    StringSink sink(mld);
    QuotedPrintableCodec::Decode(source, sink);
    return !mld.empty();
}

bool ObjectImporter::ConvertBase64Melody(const ReceivedObject& object, std::string& mld) {
    const std::string_view data = object.Raw();
    constexpr std::string_view kBody = "BODY;ENCODING=BASE64:";  // also inside "X-BODY;..."
    const std::size_t size = data.size();
    const std::size_t p = data.find(kBody);
    if (p == std::string::npos || size < 23 || p >= size - 22) return false;
    const std::size_t start = p + kBody.size();
    // What ends the text, by preference: the NEC properties, an empty line, the end of the note.
    std::size_t end = std::string::npos;
    for (std::string_view stop : {"\r\nX-NEC-", "\r\n\r\n", "\r\nEND:VNOTE"}) {
        end = data.find(stop, start);
        if (end != std::string::npos) break;
    }
    if (end == std::string::npos) return false;
    const std::string_view text = data.substr(start, end - start);
    if (!IsCleanBase64(text)) return false;
    return DecodeBase64(TextLines::FromTextMode(text), mld);
}

// ---- pictures ----

bool ObjectImporter::IsCleanBase64(std::string_view text) {
    auto is_alphabet = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
    };
    auto is_line_end = [](char c) { return c == '\r' || c == '\n'; };
    std::size_t i = 0, digits = 0;
    for (; i < text.size() && (is_alphabet(text[i]) || is_line_end(text[i])); ++i)
        if (is_alphabet(text[i])) ++digits;
    for (int pads = 0; i < text.size() && pads < 2 && text[i] == '='; ++pads) {
        ++i;
        while (i < text.size() && is_line_end(text[i])) ++i;
    }
    for (; i < text.size(); ++i)
        if (text[i] != ' ' && text[i] != '\t' && !is_line_end(text[i])) return false;
    return digits >= 2;
}

bool ObjectImporter::ReadPictureNote(const ReceivedObject& object,
                                     const std::function<bool(std::string_view, bool)>& on_line,
                                     std::string& body) {
    body.clear();
    const std::string_view text = object.Text();
    constexpr std::string_view kBody = "BODY;ENCODING=BASE64:";
    enum { kBefore, kInBody, kAfter } state = kBefore;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        const std::size_t len = lf == std::string_view::npos ? rest.size() : lf + 1;
        const std::string_view line = rest.substr(0, len);
        rest.remove_prefix(len);
        if (state == kInBody) {
            const bool blank = line.find_first_not_of(" \n") == std::string_view::npos;
            if (!blank && !StartsWith(line, "X-NEC-") && !StartsWith(line, "END:VNOTE")) {
                body.append(line);
                continue;
            }
            state = kAfter;
        } else if (state == kBefore) {
            const std::size_t at = line.find(kBody);
            if (at != std::string_view::npos) {
                body.append(line.substr(at + kBody.size()));
                state = kInBody;
                continue;
            }
        }
        if (!on_line(line, state != kBefore)) break;
    }
    return state != kBefore;
}

bool ObjectImporter::ConvertPictureNote(const ReceivedObject& object, std::string& title, std::string& file_name,
                                        std::string& picture) {
    title = std::string(kCameraTitle);
    file_name.clear();
    bool have_name = false, have_title = false;
    // The value is the text after the colon that follows the property.
    auto value_after = [](std::string_view line, std::size_t at) {
        const std::size_t colon = line.find(':', at);
        return colon == std::string_view::npos ? std::string() : ValueOf(line, colon + 1);
    };
    std::string body;
    const bool found = ReadPictureNote(
        object,
        [&](std::string_view line, bool have_body) {
            const std::size_t name_at = line.find("-FILENAME");
            if (!have_name && name_at != std::string_view::npos) {
                file_name = value_after(line, name_at);
                have_name = true;
            }
            const std::size_t title_at = line.find("SUMMARY;CHARSET=SHIFT_JIS");
            if (!have_title && title_at != std::string_view::npos) {
                title = value_after(line, title_at);
                have_title = true;
            }
            // Once the name and the body are there without a title, the picture has none: a
            // summary further on is not taken for it.
            return !(have_name && have_body && !have_title);
        },
        body);
    if (!found || !IsCleanBase64(body)) return false;
    return DecodeBase64(body, picture);
}

// ---- mail ----

bool ObjectImporter::ConvertQuotedPrintableMail(const ReceivedObject& object, std::string& mail) {
    PropertyLines lines(object.Text(), kMailBuffer);
    std::string from, to, subject, line;
    std::int64_t date = 0;
    bool have_from = false, have_to = false, have_date = false;
    while (lines.Next(line)) {
        if (auto v = Value(line, "From:")) {
            from = sjis::CutBytes(*v, kAddressListBytes);
            have_from = true;
        }
        if (auto v = Value(line, "To:")) {
            to = sjis::CutBytes(*v, kAddressListBytes);
            have_to = true;
        }
        // Only the encoded word the handsets write; any other subject form stays empty.
        if (StartsWith(line, encoded_word::kSubjectPrefix))
            subject = encoded_word::DecodeSubject(line, encoded_word::kSubjectPrefix.size());
        if (StartsWith(line, "Date:")) {
            date = mail_date::ParseReceived(line);
            have_date = true;
        }
        if (!(StartsWith(line, "Content-Transfer-Encoding:quoted-printable") && have_from && have_to && have_date))
            continue;
        lines.Next(line);  // the empty line that ends the header
        const std::string tail = lines.Reader().Read(kMailTailBytes);
        std::string_view text = tail;
        if (tail.size() < kMailTailBytes) {
            // The whole rest was read. A mail cut short (no "END:VBODY") keeps what arrived of
            // its body: the header is whole, and a box would otherwise lose the mail for good.
            const std::size_t end = BodyEnd(tail);
            text = text.substr(0, end > 0 && tail[end - 1] == '\n' ? end - 1 : end);
        } else {
            // A long mail is cut: its closing lines lie beyond what is read.
            text = text.substr(0, tail.size() - kMailClosingBytes);
        }
        const std::string body = QuotedPrintableCodec::DecodeMemory(text, kQuotedBodyBuffer, false);
        mail = MailFile(from, to, subject, date, body);
        return true;
    }
    return false;
}

bool ObjectImporter::ConvertEightBitMail(const ReceivedObject& object, std::string& mail) {
    PropertyLines lines(object.Text(), kMailBuffer);
    std::string from, to, subject, line;
    std::int64_t date = 0;
    bool have_from = false, have_to = false, have_date = false;
    while (lines.Next(line)) {
        if (auto v = Value(line, "From: ")) {
            AppendAddress(from, *v);
            have_from = true;
        }
        if (auto v = Value(line, "To: ")) {
            AppendAddress(to, *v);
            have_to = true;
        }
        if (auto v = Value(line, "Subject: ")) {
            if (StartsWith(line, encoded_word::kSpacedSubjectPrefix))
                subject = encoded_word::DecodeSubject(line, encoded_word::kSpacedSubjectPrefix.size());
            else
                subject = *v;
        }
        if (StartsWith(line, "Date:")) {
            // These handsets may leave out the weekday: the date is read from its first digit.
            const std::size_t digit = line.find_first_of("0123456789");
            date = digit == std::string::npos
                       ? 0
                       : mail_date::ToTime(mail_date::ParseDateFromDay(std::string_view(line).substr(digit)));
            have_date = true;
        }
        if (!(StartsWith(line, "Content-Transfer-Encoding: 8bit") && have_from && have_to && have_date))
            continue;
        lines.Next(line);  // the empty line that ends the header
        const std::string tail = lines.Reader().Read(kMailTailBytes);
        std::string body;
        body.reserve(tail.size() * 2);
        for (char c : tail) {
            if (c == '\n') body += '\r';
            body += c;
        }
        // A body that never closes is kept as far as it arrived, as with quoted-printable mail.
        const std::size_t end = tail.size() < kMailTailBytes ? BodyEnd(body) : body.rfind("END:VBODY");
        if (end != std::string::npos) {
            body.resize(end);
            if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) body.resize(body.size() - 2);
        }
        // Cut a long body at the buffer's size, never inside a character or a CR LF.
        if (body.size() > kEightBitBodyBytes) {
            body = sjis::CutBytes(body, kEightBitBodyBytes);
            if (!body.empty() && body.back() == '\r') body.pop_back();
        }
        mail = MailFile(from, to, subject, date, body);
        return true;
    }
    return false;
}

}  // namespace sorvanto
