// sorvanto-cli mld: the information lines of a melody, playing it, and converting it to a
// Standard MIDI File or a WAV file through the player's own tick.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "command.h"
#include "melody/mld_info.h"
#include "melody/mld_offline.h"
#include "melody/mld_player.h"
#include "melody/smf_writer.h"
#include "platform/stop_request.h"
#include "platform/fs.h"
#include "platform/midi_out.h"

namespace sorvanto::cli {
namespace {

std::atomic<bool> interrupted{false};

void OnInterrupt() { interrupted = true; }

bool LoadMelody(const std::string& path, MldData& melody) {
    if (melody.Load(path) == 0) {
        PrintError("not an MLD file: " + path);
        return false;
    }
    return true;
}

int Info(std::vector<std::string>& args) {
    if (args.size() != 1) return kUsage;
    const auto lines = MldInfoLines(args[0]);
    for (const auto& l : lines) PrintLine(l);
    MldData m;
    return m.Load(args[0]) ? kOk : kFailure;
}

int Play(std::vector<std::string>& args) {
    if (args.size() != 1) return kUsage;
    MldPlayer player;
    if (!LoadMelody(args[0], player.Melody())) return kFailure;
    if (player.Melody().TrackCount() == 0) {
        PrintError("the melody has no track to play");
        return kFailure;
    }
    StopRequest stop(OnInterrupt, true);
    if (player.Play() == 0) {
        PrintError("cannot play: " + player.LastError());
        return kFailure;
    }
    // Let the last notes ring out to their gates; a damaged tempo cannot keep us here longer
    // than the offline limit.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMaxOfflinePeriods * 5);
    while (!interrupted && !(player.Finished() && !player.Sounding()) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    player.Stop();  // cuts whatever still sounds
    if (interrupted) PrintError("stopped");
    return kOk;
}

int ToMidi(std::vector<std::string>& args) {
    if (args.size() != 2) return kUsage;
    MldData melody;
    if (!LoadMelody(args[0], melody)) return kFailure;
    MldRecording rec;
    if (!RecordMelody(melody, rec)) {
        PrintError("the melody has no track to play");
        return kFailure;
    }
    if (rec.cut) PrintError("the melody is longer than ten minutes: cut there");
    if (!fs::WriteFileAtomic(args[1], BuildStandardMidiFile(rec.messages, rec.periods))) {
        PrintError("cannot write " + args[1]);
        return kFailure;
    }
    return kOk;
}

int ToWav(std::vector<std::string>& args) {
    if (args.size() != 2) return kUsage;
    MldData melody;
    if (!LoadMelody(args[0], melody)) return kFailure;
    const std::string font = FindSoundFont(ReadMidiOutSettings().sound_font);
    if (font.empty()) {
        PrintError("no sound font found (set SoundFont in section Melody)");
        return kFailure;
    }
    std::string error;
    if (!RenderMelodyWav(melody, font, args[1], &error)) {
        PrintError(error);
        return kFailure;
    }
    return kOk;
}

int Run(const GlobalOptions&, std::vector<std::string>& args) {
    if (args.empty()) return kUsage;
    const std::string sub = args[0];
    args.erase(args.begin());
    for (auto& a : args) a = UserPath(a);
    int rc = kUsage;
    if (sub == "info") rc = Info(args);
    else if (sub == "play") rc = Play(args);
    else if (sub == "to-midi") rc = ToMidi(args);
    else if (sub == "to-wav") rc = ToWav(args);
    if (rc == kUsage) PrintError("usage: mld info FILE | mld play FILE | mld to-midi FILE OUT.mid | mld to-wav FILE OUT.wav");
    return rc;
}

const Registrar registrar({"mld", "mld info FILE | play FILE | to-midi FILE OUT.mid | to-wav FILE OUT.wav", Run});

}  // namespace
}  // namespace sorvanto::cli
