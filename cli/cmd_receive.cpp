// `receive` runs the OBEX server of the configured model as the main window would: objects the
// handset pushes are imported into the store once a second. `import` takes PC files the way a
// dropped file is taken.
#include <atomic>
#include <iostream>
#include <chrono>
#include <memory>
#include <thread>

#include "command.h"
#include "common/settings_file.h"
#include "common/time_text.h"
#include "formats/importer_for_model.h"
#include "irlink/obex_server_session.h"
#include "platform/stop_request.h"
#include "platform/clock.h"
#include "search/duplicate_skipping_sink.h"
#include "platform/fs.h"
#include "platform/link_api.h"
#include "platform/link_settings.h"
#include "store/category_stores.h"
#include "store/receive_pump.h"
#include "store/store_import_sink.h"

namespace sorvanto::cli {
namespace {

std::atomic<bool> g_stop{false};
void OnStop() { g_stop = true; }

// Prints the store's log lines as the log window shows them.
class PrintingObserver : public StoreObserver {
public:
    void LogLine(const std::string& text) override { PrintLine(LogPrefix(clock::Now()) + text); }
    void LogLines(const std::vector<std::string>& lines) override { PrintLines(LogPrefix(clock::Now()), lines); }
    void Failure(const std::string& message, const std::string&) override {
        PrintLine(LogPrefix(clock::Now()) + message);
        failures_++;
    }
    int failures_ = 0;
};

int ModelOf(const GlobalOptions& options) {
    return options.has_model ? options.model : SettingsFile::Get().GetInt("System", "Model", -1);
}

// Whether an incoming item identical to a stored one is left out: "--skip-duplicates", or
// "SkipDuplicates" in section "System".
bool SkipDuplicates(std::vector<std::string>& args) {
    const bool flag = TakeFlag(args, "--skip-duplicates");
    return flag || SettingsFile::Get().GetInt("System", "SkipDuplicates", 0) != 0;
}

// The stores and the importer of the model, as the main window holds them.
struct Receiver {
    Receiver(int model, bool skip_duplicates) {
        stores.SetObserver(&printer);
        stores.LoadAll();
        if (skip_duplicates) importer = ImporterForModel(model, skipping);
        else importer = ImporterForModel(model, sink);
    }
    void Import(const std::string& stored_path) {
        if (!importer) return;
        sink.BeginBatch();  // a whole received file is written to the indexes once
        importer->Import(stored_path);
        sink.EndBatch();
    }

    PrintingObserver printer;
    CategoryStores stores;
    StoreImportSink sink{stores};
    DuplicateSkippingSink skipping{[this] { return StoreRefs::Of(stores); }, sink};
    std::unique_ptr<ObjectImporter> importer;
};

bool ParseSeconds(const std::string& text, int& out) {
    if (text.empty() || text.size() > 7) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    out = std::stoi(text);
    return true;
}

int Receive(const GlobalOptions& options, std::vector<std::string>& args) {
    bool ok = true;
    const bool once = TakeFlag(args, "--once");
    const bool skip = SkipDuplicates(args);
    std::string timeout_text;
    int timeout = 0;
    if (TakeOption(args, "--timeout", timeout_text, ok) && !ParseSeconds(timeout_text, timeout)) ok = false;
    if (!ok || !args.empty()) {
        PrintError("usage: receive [--once] [--timeout S] [--skip-duplicates]");
        return kUsage;
    }
    const int model = ModelOf(options);
    Receiver receiver(model, skip);
    if (!receiver.importer)
        PrintError("model " + std::to_string(model) + " imports nothing: objects stay in TmpFiles");
    if (!fs::CreateFolder("TmpFiles\\")) {
        PrintError("cannot create TmpFiles");
        return kFailure;
    }

    const LinkSettings settings = LinkSettings::Load();
    std::string link_error;
    std::unique_ptr<LinkApi> link = MakeLink(settings, &link_error);
    if (!link && !link_error.empty()) {
        PrintError(link_error);
        return kFailure;
    }
    ByteList queue;
    ObexServerSession server(std::move(link), &queue);
    server.SetPasscode(settings.passcode);
    server.SetLockout(AuthLockout::FromSettings(settings.auth_tries, settings.auth_lock_seconds));
    const bool irda = settings.UsesTransport(LinkSettings::kIrda);
    const bool sir = settings.UsesTransport(LinkSettings::kSir);
    const std::string where = irda  ? std::string("the IrDA service OBEX")
                              : sir ? "the IrDA service OBEX on " + settings.port
                                    : settings.listen_address + ":" + std::to_string(settings.listen_port);
    const int opened = server.Open();
    if (opened != 0 || server.StartWorker() != 1) {
        PrintError(
            irda && opened == -1
                ? std::string("IrDA is not available on this system (no adapter, or no IrDA module loaded)")
                : "cannot listen on " + where);
        return kFailure;
    }
    const StopRequest stop(OnStop, true);
    std::cerr << "sorvanto-cli: listening on " << where << std::endl;

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(timeout);
    auto next_tick = Clock::now() + std::chrono::seconds(1);
    int received = 0;
    auto import = [&](const std::string& p) { receiver.Import(p); };
    auto log = [&](const std::string& text) { receiver.printer.LogLine(text); };
    while (!g_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto now = Clock::now();
        if (now >= next_tick) {
            received += ReceivePump::Drain(queue, import, log);
            next_tick = now + std::chrono::seconds(1);
        }
        if (once && received > 0) break;
        if (timeout > 0 && now >= deadline) break;
    }
    server.Stop(1);
    ReceivePump::Drain(queue, import, log);  // what arrived in the last moment is not lost
    return kOk;
}

int Import(const GlobalOptions& options, std::vector<std::string>& args) {
    const bool skip = SkipDuplicates(args);
    if (args.empty()) {
        PrintError("usage: import [--skip-duplicates] FILE...");
        return kUsage;
    }
    Receiver receiver(ModelOf(options), skip);
    if (!receiver.importer) {
        PrintError("the configured model imports nothing; choose one with --model or \"Model\" in Sorvanto.ini");
        return kFailure;
    }
    int result = kOk;
    for (const std::string& file : args) {
        const auto stored = ReceivePump::CopyIntoTmpFiles(UserPath(file));
        if (!stored) {
            PrintError("cannot take " + file);
            result = kFailure;
            continue;
        }
        receiver.Import(*stored);
    }
    return receiver.printer.failures_ > 0 ? kFailure : result;
}

Registrar receive_command({"receive",
                           "receive [--once] [--timeout S] [--skip-duplicates]   receive pushed objects into the store",
                           Receive});
Registrar import_command({"import", "import [--skip-duplicates] FILE...   take PC files like received objects",
                          Import});

}  // namespace
}  // namespace sorvanto::cli
