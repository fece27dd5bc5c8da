// sorvanto-cli archive DIR [--wav] [--vcard 3.0|4.0]: the whole store copied into DIR in open
// formats. Ctrl+C stops it between files; every file written so far is whole.
#include <atomic>
#include <csignal>
#include <iostream>

#include "archive/archive_writer.h"
#include "command.h"
#include "platform/midi_out.h"

namespace sorvanto::cli {
namespace {

std::atomic<bool> stop{false};

extern "C" void OnStop(int) {
    stop = true;
}

int Archive(const GlobalOptions&, std::vector<std::string>& args) {
    bool ok = true;
    ArchiveOptions options;
    options.wav = TakeFlag(args, "--wav");
    std::string vcard = "3.0";
    TakeOption(args, "--vcard", vcard, ok);
    if (!ok || args.size() != 1 || (vcard != "3.0" && vcard != "4.0")) {
        PrintError("usage: archive DIR [--wav] [--vcard 3.0|4.0]");
        return kUsage;
    }
    options.vcard = vcard == "4.0" ? VCardVersion::k40 : VCardVersion::k30;
    options.dir = UserPath(args[0]);
    if (options.wav) options.sound_font = ReadMidiOutSettings().sound_font;
    CategoryStores stores;
    ArchiveWriter::LoadReadOnly(stores);
    struct sigaction sa {};
    sa.sa_handler = OnStop;
    sigemptyset(&sa.sa_mask);
    struct sigaction old_int {
    }, old_term{};
    sigaction(SIGINT, &sa, &old_int);
    sigaction(SIGTERM, &sa, &old_term);
    ArchiveWriter writer(stores, options);
    const ArchiveResult result = writer.Run([](int, int) { return !stop.load(); });
    sigaction(SIGINT, &old_int, nullptr);
    sigaction(SIGTERM, &old_term, nullptr);
    if (result.status == ArchiveResult::Status::kDone) {
        std::cout << result.message << '\n';
        return kOk;
    }
    PrintError(result.message);
    return kFailure;
}

Registrar archive_command({"archive",
                           "archive DIR [--wav] [--vcard 3.0|4.0]  the whole store in open formats",
                           Archive});

}  // namespace
}  // namespace sorvanto::cli
