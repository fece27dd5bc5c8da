// sorvanto-cli archive DIR [--wav] [--vcard 3.0|4.0]: the whole store copied into DIR in open
// formats. Ctrl+C stops it between files; every file written so far is whole.
#include <atomic>
#include <iostream>

#include "archive/archive_writer.h"
#include "command.h"
#include "platform/midi_out.h"
#include "platform/stop_request.h"

namespace sorvanto::cli {
namespace {

std::atomic<bool> stop{false};

void OnStop() { stop = true; }

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
    const StopRequest stop_request(OnStop, true);
    ArchiveWriter writer(stores, options);
    const ArchiveResult result = writer.Run([](int, int) { return !stop.load(); });
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
