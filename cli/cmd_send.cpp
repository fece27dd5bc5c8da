// sorvanto-cli send: builds stored items into the object the list window would send and puts
// it to the handset through the configured link, or only writes the object with --out.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "command.h"
#include "common/window_requests.h"
#include "formats/address_send_job.h"
#include "formats/bookmark_send_job.h"
#include "formats/camera_picture_send_job.h"
#include "formats/mail_send_job.h"
#include "formats/melody_send_job.h"
#include "formats/send_request_table.h"
#include "formats/send_runner.h"
#include "formats/standby_picture_send_job.h"
#include "irlink/cancel_flag_monitor.h"
#include "platform/stop_request.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/link/serial_port.h"
#include "platform/link_settings.h"
#include "store/address_store.h"
#include "store/bookmark_store.h"
#include "store/mail_store.h"
#include "store/melody_store.h"
#include "store/picture_store.h"

namespace sorvanto::cli {
namespace {

using Kind = SendRequestTable::Kind;

// What one build gave: the request kind, the file it wrote and the name to put it under.
struct Built {
    int kind = 0;
    std::string file;
    std::string object_name;
    int result = 0;
};

std::string FileOf(int kind) { return SendRequestTable::Find(kind)->object_file; }

// Positions "0,2,5": digits only, each below the store's count. nullopt for bad syntax.
std::optional<std::vector<int>> ParsePositions(const std::string& text) {
    std::vector<int> out;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string part = text.substr(at, comma - at);
        if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        out.push_back(std::stoi(part));
        at = comma + 1;
    }
    return out;
}

template <class Store>
bool LoadStore(Store& store) {
    if (store.Load()) return true;
    PrintError("cannot read the index file " + store.IndexPath());
    return false;
}

template <class Item, class Store>
const Item* ItemAt(const Store& store, int position) {
    const Item* item = store.At(position);
    if (!item) PrintError("no item at position " + std::to_string(position));
    return item;
}

// Builds the items of a category at the given positions, as the list window does.
std::optional<Built> Build(const std::string& category, const std::vector<int>& positions, int model) {
    Built b;
    if (category == "melody") {
        MelodyStore store;
        if (!LoadStore(store)) return std::nullopt;
        const auto* item = ItemAt<MelodyItem>(store, positions[0]);
        if (!item) return std::nullopt;
        b.kind = Kind::kMelody;
        b.file = FileOf(b.kind);
        b.result = MelodySendJob(model).BuildMelody(item->path, item->title, b.file, b.object_name);
    } else if (category == "picture" || category == "mypic") {
        const bool camera = category == "mypic";
        PictureStore store(camera ? Category::kMyPic : Category::kPicture);
        if (!LoadStore(store)) return std::nullopt;
        const auto* item = ItemAt<PictureItem>(store, positions[0]);
        if (!item) return std::nullopt;
        b.kind = camera ? Kind::kCameraPicture : Kind::kStandbyPicture;
        b.file = FileOf(b.kind);
        b.result = camera ? CameraPictureSendJob(model).BuildCameraPicture(item->path, item->title, item->width,
                                                                           item->height, item->bytes, item->type,
                                                                           b.file, b.object_name)
                          : StandbyPictureSendJob(model).BuildStandbyPicture(item->path, item->title, item->type, 0,
                                                                             b.file, b.object_name);
    } else if (category == "bookmark") {
        BookmarkStore store;
        if (!LoadStore(store)) return std::nullopt;
        const auto* item = ItemAt<BookmarkItem>(store, positions[0]);
        if (!item) return std::nullopt;
        b.kind = Kind::kBookmark;
        b.file = FileOf(b.kind);
        b.result = BookmarkSendJob(model, 0).BuildBookmark(item->title, item->url, b.file, b.object_name);
    } else if (category == "outmail" || category == "inmail") {
        const bool received = category == "inmail";
        MailStore store(received ? Category::kInMail : Category::kOutMail);
        if (!LoadStore(store)) return std::nullopt;
        const auto* item = ItemAt<MailItem>(store, positions[0]);
        if (!item) return std::nullopt;
        int mailbox;
        if (received) {
            b.kind = Kind::kReceivedMail;
            mailbox = item->status != 0 ? 3 : 1;
        } else {
            b.kind = item->status != 0 ? Kind::kSentMail : Kind::kUnsentMail;
            mailbox = item->status != 0 ? 0 : 2;
        }
        b.file = FileOf(b.kind);
        MailSendJob job(model, mailbox, 0);
        b.result = received ? job.BuildMail(item->from_or_to, "", item->subject, item->body, item->mail_date, b.file,
                                            b.object_name)
                            : job.BuildMail("", item->from_or_to, item->subject, item->body, item->mail_date, b.file,
                                            b.object_name);
    } else if (category == "address") {
        AddressStore store;
        if (!LoadStore(store)) return std::nullopt;
        std::vector<const AddressItem*> items;
        for (int p : positions) {
            items.push_back(ItemAt<AddressItem>(store, p));
            if (!items.back()) return std::nullopt;
        }
        AddressSendJob job(model, 0);
        const std::string single = FileOf(Kind::kAddress);
        if (items.size() == 1) {
            b.kind = Kind::kAddress;
            b.file = single;
            b.result = job.BuildAddress(items[0]->path, single, b.object_name);
        } else {
            b.kind = Kind::kAddressBook;
            b.file = FileOf(b.kind);
            b.result = 1;
            for (std::size_t i = 0; i < items.size() && b.result == 1; ++i) {
                std::string entry_name;
                b.result = job.BuildAddress(items[i]->path, single, entry_name) == 1 &&
                                   job.AddToCollection(static_cast<int>(i), single, b.file, b.object_name) == 1
                               ? 1
                               : 0;
            }
            fs::DeleteFile(single);
        }
    }
    return b;
}

std::atomic<CancelFlagMonitor*> g_monitor{nullptr};
void OnSendInterrupt() {
    if (CancelFlagMonitor* m = g_monitor.load()) m->Cancel();
}

int RunSend(const GlobalOptions& options, std::vector<std::string>& args) {
    bool ok = true;
    std::string out;
    const bool to_file = TakeOption(args, "--out", out, ok);
    static const std::vector<std::string> kCategories = {"melody",  "picture", "bookmark", "outmail",
                                                         "inmail",  "address", "mypic"};
    if (!ok || args.size() != 2 || std::find(kCategories.begin(), kCategories.end(), args[0]) == kCategories.end()) {
        PrintError("usage: send CATEGORY INDEX[,INDEX...] [--out FILE]");
        return kUsage;
    }
    const auto positions = ParsePositions(args[1]);
    if (!positions || (positions->size() > 1 && args[0] != "address")) {
        PrintError(positions ? "only address entries can be sent several at once" : "bad index list: " + args[1]);
        return kUsage;
    }
    const int model =
        options.has_model ? options.model : IniFile(".\\Sorvanto.ini").GetInt("System", "Model", -1);

    if (!to_file) {
        // A port that cannot be opened is told once, by name, before anything is built for it.
        std::unique_ptr<SerialPort> port;
        if (!OpenSerialPortIfConfigured(LinkSettings::Load(), &port)) return kFailure;
    }
    const auto built = Build(args[0], *positions, model);
    if (!built) return kFailure;
    if (built->result != 1) {
        // Nothing half-built goes to the handset.
        if (!built->file.empty()) fs::DeleteFile(built->file);
        PrintLine(SendRequestTable::BuildFailedLine());
        return kFailure;
    }
    if (to_file) {
        const bool copied = fs::CopyFile(built->file, UserPath(out), true);
        fs::DeleteFile(built->file);
        if (!copied) {
            PrintError("cannot write " + out);
            return kFailure;
        }
        return kOk;
    }

    SendRequest request{};
    request.kind = built->kind;
    CopyField(request.title, SendRequestTable::Find(built->kind)->label);
    CopyField(request.local_path, built->file);
    CopyField(request.object_name, built->object_name);

    CancelFlagMonitor monitor;
    g_monitor = &monitor;
    const StopRequest stop(OnSendInterrupt, false);
    const auto outcome = SendRunner(model).Run(request, monitor, [&] { return monitor.KeepGoing() == 0; });
    g_monitor = nullptr;
    if (outcome.log_line) PrintLine(*outcome.log_line);
    return outcome.result == 0 ? kOk : kFailure;
}

const Registrar kSend({"send",
                       "send CATEGORY INDEX[,INDEX...] [--out FILE]\n"
                       "                              build stored items (0-based list positions) for the handset\n"
                       "                              and send them, or write the object to FILE",
                       RunSend});

}  // namespace
}  // namespace sorvanto::cli
