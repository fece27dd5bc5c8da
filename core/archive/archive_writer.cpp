#include "archive/archive_writer.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "archive/bookmark_file.h"
#include "archive/html_text.h"
#include "archive/index_page.h"
#include "archive/mime_mail.h"
#include "archive/safe_file_names.h"
#include "archive/sha256.h"
#include "common/sjis.h"
#include "formats/base64.h"
#include "melody/mld_data.h"
#include "melody/mld_info.h"
#include "melody/mld_offline.h"
#include "melody/smf_writer.h"
#include "pictograph/pictograph_text.h"
#include "platform/fs.h"
#include "platform/image_info.h"
#include "platform/ini_file.h"
#include "platform/midi_out.h"
#include "platform/midi_out_fluidsynth.h"
#include "store/address_entry_file.h"
#include "store/mail_text_file.h"

namespace sorvanto {

namespace {

namespace stdfs = std::filesystem;
using pictograph_text::ToUtf8;

constexpr std::string_view kLongBoundary = "\r\n--B:M\r\n";
constexpr std::string_view kShortBoundary = "--B:M\r\n";
// Mail bodies read by older builds may have lost their CR.
constexpr std::string_view kLongBoundaryLf = "\n--B:M\n";
constexpr std::string_view kShortBoundaryLf = "--B:M\n";
// A stored attachment is at most a composer's worth of Base64; more is no attachment.
constexpr std::size_t kMaxAttachmentText = 4096;

// The text of a mail body and its attached melody's Base64, when the mail has one.
struct SplitBody {
    std::string text;
    std::string attachment;
    bool attached = false;
};

SplitBody Split(const std::string& body, bool flagged) {
    SplitBody out{body, {}, false};
    if (!flagged) return out;
    for (auto [long_b, short_b] :
         {std::pair{kLongBoundary, kShortBoundary}, std::pair{kLongBoundaryLf, kShortBoundaryLf}}) {
        std::size_t text_end = std::string::npos, start = std::string::npos;
        if (body.compare(0, short_b.size(), short_b) == 0) {
            text_end = 0;
            start = short_b.size();
        } else if (const auto first = body.find(long_b); first != std::string::npos) {
            text_end = first;
            start = body.rfind(long_b) + long_b.size();
        }
        if (text_end == std::string::npos || body.size() - start > kMaxAttachmentText) continue;
        out.text = body.substr(0, text_end);
        out.attachment = body.substr(start);
        out.attached = true;
        return out;
    }
    return out;
}

// The melody's title chunk, for the attachment's file name.
std::string MelodyTitle(const MldData& mld) {
    return mld.ChunkText(MldChunkId::kTitle);
}

std::string SectionValue(const std::string& index_path, const std::string& section, const char* key) {
    IniFile index;
    if (!index.Load(index_path)) return {};
    return index.GetString(section, key);
}

std::string Pad4(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", n);
    return buf;
}

}  // namespace

struct ArchiveWriter::Impl {
    const CategoryStores& stores;
    ArchiveOptions options;
    stdfs::path root;
    std::vector<std::pair<std::string, std::string>> sums;  // relative path, digest
    std::vector<std::string> report;                        // UTF-8 lines
    IndexPage page;
    Progress progress;
    int done = 0;
    int total = 0;
    bool cancelled = false;
    std::string failure;

    Impl(const CategoryStores& s, ArchiveOptions o) : stores(s), options(std::move(o)) {}

    bool Tick() {
        ++done;
        if (progress && !progress(done, total)) cancelled = true;
        return !cancelled;
    }

    // Writes DIR/relative (relative in UTF-8, '/' separated, made of safe names only).
    bool Put(const std::string& relative, std::string_view bytes) {
        if (!failure.empty()) return false;
        const stdfs::path target = root / stdfs::path(std::u8string(relative.begin(), relative.end()));
        if (!fs::WriteFileRenamed(target.string(), bytes)) {
            failure = "cannot write " + target.string();
            return false;
        }
        sums.emplace_back(relative, Sha256::Hex(bytes));
        return true;
    }

    bool MakeFolder(const std::string& relative) {
        std::error_code ec;
        stdfs::create_directories(root / stdfs::path(std::u8string(relative.begin(), relative.end())), ec);
        if (ec) failure = "cannot create " + (root / relative).string() + ": " + ec.message();
        return !ec;
    }

    void Skip(std::string_view what, const std::string& title, std::string_view reason) {
        report.push_back(std::string(what) + "\t" + title + "\t" + std::string(reason));
    }

    void ReportUnloaded(const CategoryStoreBase& store, std::string_view what, const char* key) {
        for (const std::string& section : store.UnloadedSections()) {
            const std::string path = SectionValue(store.IndexPath(), section, key);
            Skip(what, section, "data file missing or unreadable: " + ToUtf8(path));
        }
    }

    void Contacts() {
        std::string vcf;
        stores.address.Items().ForEach([&](const auto& node) {
            if (cancelled) return;
            const AddressItem& item = *node.data;
            const auto entry = ReadAddressEntry(".\\" + item.path);
            if (!entry) {
                Skip("contacts", ToUtf8(item.name), "data file missing or damaged: " + ToUtf8(item.path));
            } else {
                vcf += VCardOf(*entry, options.vcard);
                page.AddContact(*entry);
            }
            Tick();
        });
        ReportUnloaded(stores.address, "contacts", "File");
        if (!cancelled) Put("contacts.vcf", vcf);
    }

    void MailBox(const MailStore& store, const std::string& box, std::string_view title, int want_status) {
        if (!MakeFolder("mail/" + box)) return;
        std::string mbox;
        int n = 0;
        const bool received = store.IsReceived();
        page.BeginMailBox(title, "mail/" + box + ".mbox");
        store.Items().ForEach([&](const auto& node) {
            if (cancelled || !failure.empty()) return;
            const MailItem& listed = *node.data;
            if (want_status >= 0 && (listed.status != 0) != (want_status != 0)) return;
            MailItem item;
            const MailFileRead read = ReadMailItem(listed.path, received, item);
            if (read != MailFileRead::kOk) {
                Skip("mail/" + box, ToUtf8(listed.subject),
                     read == MailFileRead::kShort ? "mail file damaged: it ends before its header lines"
                                                  : "data file missing: " + ToUtf8(listed.path));
                Tick();
                return;
            }
            const std::string number = Pad4(++n);
            const SplitBody body = Split(item.body, item.attachment != 0);
            MimeMail mail;
            (received ? mail.from : mail.to) = ToUtf8(item.from_or_to);
            mail.subject = ToUtf8(item.subject);
            mail.date = item.mail_date;
            mail.body = ToUtf8(body.text);
            mail.message_id = box + "." + number + "." + Sha256::Hex(item.body).substr(0, 16);
            if (body.attached) {
                const std::string mld = base64::Decode(body.attachment, body.attachment.size());
                MldData melody;
                const bool parsed = melody.Parse(mld) > 0;
                std::string stem = parsed ? ToUtf8(MelodyTitle(melody)) : std::string();
                stem = SafeFileNames::Clean(stem, "melody");
                mail.attachments.push_back({stem + ".mld", "application/octet-stream", mld});
                MldRecording rec;
                if (parsed && RecordMelody(melody, rec)) {
                    mail.attachments.push_back(
                        {stem + ".mid", "audio/midi", BuildStandardMidiFile(rec.messages, rec.periods)});
                } else {
                    Skip("mail/" + box, ToUtf8(item.subject),
                         "attached melody does not parse: no .mid attached");
                }
            }
            const std::string message = BuildMimeMessage(mail);
            const std::string eml = "mail/" + box + "/" + number + ".eml";
            if (!Put(eml, message)) return;
            // The attachments also lie beside the mail, so the page can link them.
            std::vector<std::string> links;
            for (const MimeAttachment& a : mail.attachments) {
                links.push_back("mail/" + box + "/" + number + "-" + a.file_name);
                if (!Put(links.back(), a.bytes)) return;
            }
            mbox += MboxrdEntry(message, received ? ToUtf8(item.from_or_to) : std::string(), item.mail_date);
            page.AddMail(mail, eml, links);
            Tick();
        });
        if (!cancelled) Put("mail/" + box + ".mbox", mbox);
    }

    void Mail() {
        if (!MakeFolder("mail")) return;
        MailBox(stores.in_mail, "inbox", "受信メール", -1);
        if (!cancelled) MailBox(stores.out_mail, "sent", "送信済みメール", 1);
        if (!cancelled) MailBox(stores.out_mail, "outbox", "未送信メール", 0);
        ReportUnloaded(stores.in_mail, "mail/inbox", "File");
        ReportUnloaded(stores.out_mail, "mail/sent+outbox", "File");
    }

    void Bookmarks() {
        std::vector<ArchiveBookmark> list;
        stores.bookmark.Items().ForEach([&](const auto& node) {
            if (cancelled) return;
            const BookmarkItem& item = *node.data;
            list.push_back({ToUtf8(item.title), ToUtf8(item.url), item.entry_time});
            Tick();
        });
        if (cancelled) return;
        page.SetBookmarks(list);
        Put("bookmarks.html", BookmarkFileOf("i-mode", list));
    }

    void Melodies() {
        if (!MakeFolder("melodies")) return;
        SafeFileNames names;
        // A build without FluidSynth (the Windows one) says so once, not once per melody.
        const bool can_render = FluidSynthMidiOut::Built();
        std::string font = options.wav && can_render ? FindSoundFont(options.sound_font) : std::string();
        if (options.wav && !can_render)
            report.push_back("melodies\t\tthis build has no FluidSynth to render with: no .wav written");
        else if (options.wav && font.empty())
            report.push_back("melodies\t\tno sound font found: no .wav written");
        stores.melody.Items().ForEach([&](const auto& node) {
            if (cancelled || !failure.empty()) return;
            const MelodyItem& item = *node.data;
            const std::string title = ToUtf8(item.title);
            const auto bytes = item.path.empty() ? std::nullopt : fs::ReadFile(item.path);
            if (!bytes) {
                Skip("melodies", title, "data file missing: " + ToUtf8(item.path));
                Tick();
                return;
            }
            // One stem for the three files, so .mld, .mid and .wav stay together.
            const std::string stem = names.Take(title, "", "melody");
            names.Reserve(stem + ".mld"), names.Reserve(stem + ".mid"), names.Reserve(stem + ".wav");
            IndexPage::Melody entry{title, "melodies/" + stem + ".mld", {}, {}, {}};
            if (!Put(entry.mld, *bytes)) return;
            MldData melody;
            MldRecording rec;
            if (melody.Parse(*bytes) == 0 || !RecordMelody(melody, rec)) {
                Skip("melodies", title, "the MLD data does not parse: only the original .mld written");
            } else {
                entry.mid = "melodies/" + stem + ".mid";
                if (!Put(entry.mid, BuildStandardMidiFile(rec.messages, rec.periods))) return;
                for (const std::string& line : MldInfoLines(melody)) entry.info.push_back(ToUtf8(line));
                if (!font.empty()) {
                    const std::string wav_rel = "melodies/" + stem + ".wav";
                    const stdfs::path wav_path =
                        root / stdfs::path(std::u8string(wav_rel.begin(), wav_rel.end()));
                    std::string error;
                    const auto wav_native = wav_path.string();
                    if (RenderMelodyWav(melody, font, wav_native, &error)) {
                        const auto wav = fs::ReadFile(wav_native);
                        if (wav) sums.emplace_back(wav_rel, Sha256::Hex(*wav));
                        entry.wav = wav_rel;
                    } else {
                        Skip("melodies", title, "no .wav: " + error);
                    }
                }
            }
            page.AddMelody(entry);
            Tick();
        });
        ReportUnloaded(stores.melody, "melodies", "Path");
    }

    void Pictures(const PictureStore& store, const std::string& folder, std::string_view heading) {
        if (!MakeFolder(folder)) return;
        SafeFileNames names;
        page.BeginPictures(heading);
        store.Items().ForEach([&](const auto& node) {
            if (cancelled || !failure.empty()) return;
            const PictureItem& item = *node.data;
            const std::string title = ToUtf8(item.title);
            const auto bytes = item.path.empty() ? std::nullopt : fs::ReadFile(item.path);
            // The signature names the format; the size needs a header that reads whole. A picture
            // whose header is damaged past its signature is still copied: its bytes are the user's.
            const auto info = bytes ? ImageInfo::FromBytes(*bytes) : std::nullopt;
            std::string ext;
            if (bytes && bytes->compare(0, 2, "BM") == 0)
                ext = "bmp";
            else if (bytes && bytes->compare(0, 3, "\xFF\xD8\xFF") == 0)
                ext = "jpg";
            else if (bytes && bytes->compare(0, 4, "GIF8") == 0)
                ext = "gif";
            if (!bytes) {
                Skip(folder, title, "data file missing: " + ToUtf8(item.path));
            } else if (ext.empty()) {
                Skip(folder, title, "not a BMP, JPEG or GIF picture: " + ToUtf8(item.path));
            } else {
                // A title that already ends in the extension ("MyPic.jpg") keeps it once.
                std::string stem = title;
                if (stem.size() > ext.size() + 1) {
                    std::string tail = stem.substr(stem.size() - ext.size() - 1);
                    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
                    if (tail == "." + ext || (ext == "jpg" && tail == "jpeg"))
                        stem.resize(stem.size() - ext.size() - 1);
                }
                const std::string rel = folder + "/" + names.Take(stem, ext, "picture");
                if (!Put(rel, *bytes)) return;
                page.AddPicture(title, rel, info ? info->width : 0, info ? info->height : 0);
            }
            Tick();
        });
        ReportUnloaded(store, folder, "Path");
    }
};

ArchiveWriter::ArchiveWriter(const CategoryStores& stores, ArchiveOptions options)
    : impl_(std::make_unique<Impl>(stores, std::move(options))) {}

ArchiveWriter::~ArchiveWriter() = default;

void ArchiveWriter::LoadReadOnly(CategoryStores& stores) {
    for (Category c : {Category::kMelody, Category::kPicture, Category::kBookmark, Category::kOutMail,
                       Category::kInMail, Category::kAddress, Category::kMyPic}) {
        stores.Of(c).SetReadOnly(true);
        stores.Of(c).Load();
    }
}

ArchiveResult ArchiveWriter::Run(const Progress& progress) {
    Impl& d = *impl_;
    ArchiveResult result;
    std::error_code ec;
    d.root = stdfs::absolute(fs::Utf8Path(d.options.dir), ec);
    if (d.options.dir.empty() || ec) {
        result.status = ArchiveResult::Status::kFailed;
        result.message = "no archive folder given";
        return result;
    }
    if (stdfs::exists(d.root, ec)) {
        if (!stdfs::is_directory(d.root, ec)) {
            result.status = ArchiveResult::Status::kRefused;
            result.message = d.root.string() + " exists and is not a folder";
            return result;
        }
        if (!stdfs::is_empty(d.root, ec) || ec) {
            result.status = ArchiveResult::Status::kRefused;
            result.message = d.root.string() + " is not empty: choose a new or empty folder";
            return result;
        }
    }
    stdfs::create_directories(d.root, ec);
    if (ec || !stdfs::is_directory(d.root)) {
        result.status = ArchiveResult::Status::kFailed;
        result.message = "cannot create " + d.root.string() + ": " + (ec ? ec.message() : "not a folder");
        return result;
    }
    d.progress = progress;
    d.total = d.stores.address.Count() + d.stores.in_mail.Count() + d.stores.out_mail.Count() +
              d.stores.bookmark.Count() + d.stores.melody.Count() + d.stores.picture.Count() +
              d.stores.my_pic.Count();
    auto going = [&] { return !d.cancelled && d.failure.empty(); };
    d.Contacts();
    if (going()) d.Mail();
    if (going()) d.Bookmarks();
    if (going()) d.Melodies();
    if (going()) d.Pictures(d.stores.picture, "pictures", "待受画像");
    if (going()) d.Pictures(d.stores.my_pic, "camera", "カメラ画像");
    if (going()) {
        d.page.SetSkipped(d.report);
        d.Put("index.html", d.page.Html(d.options.wav));
    }
    if (going() && !d.report.empty()) {
        std::string text = "Items left out of the archive (section, title, reason):\n";
        for (const std::string& line : d.report) text += line + "\n";
        d.Put("archive-report.txt", text);
    }
    if (going()) {
        std::string sums;
        for (const auto& [path, digest] : d.sums) sums += digest + "  " + path + "\n";
        d.Put("SHA256SUMS", sums);
    }
    result.files = static_cast<int>(d.sums.size());
    result.skipped = static_cast<int>(d.report.size());
    if (!d.failure.empty()) {
        result.status = ArchiveResult::Status::kFailed;
        result.message = d.failure;
    } else if (d.cancelled) {
        result.status = ArchiveResult::Status::kCancelled;
        result.message = "archive cancelled after " + std::to_string(result.files) + " files";
    } else if (!d.report.empty()) {
        result.status = ArchiveResult::Status::kSkipped;
        result.message = std::to_string(result.files) + " files written to " + d.root.string() + "; " +
                         std::to_string(result.skipped) + " items skipped, see archive-report.txt";
    } else {
        result.message = std::to_string(result.files) + " files written to " + d.root.string();
    }
    return result;
}

}  // namespace sorvanto
