#include "melody/mld_offline.h"

#include "melody/mld_player.h"
#include "platform/fs.h"
#include "platform/midi_out_fluidsynth.h"

namespace sorvanto {

namespace {

void PutLe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

bool RunMelodyOffline(const MldData& melody, const std::shared_ptr<MidiOut>& out, int master_volume,
                      std::uint64_t max_periods, const std::function<void(std::uint64_t)>& after_period,
                      std::uint64_t* periods, bool* cut) {
    MldPlayer player(MldPlayer::Options{[out](std::string*) { return out; }, false});
    player.Melody() = melody;
    player.SetMasterVolume(master_volume);
    if (player.Play() == 0) return false;
    bool limited = true;
    while (player.Periods() < max_periods) {
        player.Tick();
        if (after_period) after_period(player.Periods());
        if (player.Finished() && !player.Sounding()) {
            limited = false;
            break;
        }
    }
    if (periods) *periods = player.Periods();
    if (cut) *cut = limited;
    player.Stop();
    return true;
}

bool RecordMelody(const MldData& melody, MldRecording& recording, int master_volume, std::uint64_t max_periods) {
    auto rec = std::make_shared<RecordingMidiOut>();
    rec->SetPeriod(1);
    const bool ok = RunMelodyOffline(
        melody, rec, master_volume, max_periods, [&rec](std::uint64_t p) { rec->SetPeriod(p + 1); },
        &recording.periods, &recording.cut);
    recording.messages = rec->Messages();
    return ok;
}

bool RenderMelodyWav(const MldData& melody, const std::string& sound_font, std::string_view out_path,
                     std::string* error, int master_volume) {
    std::string local;
    std::string& err = error ? *error : local;
    std::shared_ptr<FluidSynthMidiOut> synth =
        FluidSynthMidiOut::Open(sound_font, FluidSynthMidiOut::Mode::kRender, &err);
    if (!synth) return false;
    constexpr int kFramesPerPeriod = FluidSynthMidiOut::kSampleRate / 1000 * MldPlayer::kPeriodMs;
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(kFramesPerPeriod) * 2 * 2000);
    bool render_ok = true;
    auto render = [&](int frames) {
        const std::size_t at = samples.size();
        samples.resize(at + static_cast<std::size_t>(frames) * 2);
        render_ok = synth->Render(samples.data() + at, frames) && render_ok;
    };
    std::uint64_t periods = 0;
    bool cut = false;
    // The notes sounding at a period's start sound through it: render after each tick.
    if (!RunMelodyOffline(melody, synth, master_volume, kMaxOfflinePeriods,
                          [&](std::uint64_t) { render(kFramesPerPeriod); }, &periods, &cut)) {
        err = "着メロに再生できるトラックがありません";
        return false;
    }
    render(FluidSynthMidiOut::kSampleRate);  // release tail
    if (!render_ok) {
        err = "FluidSynth で音声を作成できませんでした";
        return false;
    }
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string wav = "RIFF";
    PutLe(wav, 36 + data_bytes, 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);  // PCM
    PutLe(wav, 2, 2);
    PutLe(wav, FluidSynthMidiOut::kSampleRate, 4);
    PutLe(wav, FluidSynthMidiOut::kSampleRate * 4, 4);
    PutLe(wav, 4, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, data_bytes, 4);
    wav.reserve(wav.size() + data_bytes);
    for (std::int16_t s : samples) PutLe(wav, static_cast<std::uint16_t>(s), 2);
    if (!fs::WriteFileAtomic(out_path, wav)) {
        err = "cannot write " + std::string(out_path);
        return false;
    }
    return true;
}

}  // namespace sorvanto
