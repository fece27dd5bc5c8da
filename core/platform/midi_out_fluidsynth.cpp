#include "platform/midi_out_fluidsynth.h"

#include <mutex>

#ifdef SORVANTO_HAVE_FLUIDSYNTH
#include <fluidsynth.h>
#endif
#ifdef SORVANTO_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace sorvanto {

#ifdef SORVANTO_HAVE_FLUIDSYNTH

namespace {

// FluidSynth reports through a global log; keep its last error for our own message instead
// of letting it write to the terminal.
std::mutex log_mutex;
std::string last_log;

void KeepLog(int, const char* message, void*) {
    std::lock_guard lock(log_mutex);
    last_log = message ? message : "";
}

std::string TakeLog() {
    std::lock_guard lock(log_mutex);
    std::string s;
    s.swap(last_log);
    return s;
}

constexpr int kChannels = 64;

#ifdef SORVANTO_HAVE_ALSA
// FluidSynth's ALSA driver lets libasound print its configuration errors on a machine without
// a sound card; the failure reaches the user as our own message instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
#endif

}  // namespace

struct FluidSynthMidiOut::Impl {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    ~Impl() {
        if (driver) delete_fluid_audio_driver(driver);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

std::unique_ptr<FluidSynthMidiOut> FluidSynthMidiOut::Open(const std::string& sound_font, Mode mode,
                                                           std::string* error) {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, level <= FLUID_ERR ? KeepLog : nullptr, nullptr);
    TakeLog();
    auto fail = [&](const std::string& what) {
        if (error) {
            const std::string detail = TakeLog();
            *error = detail.empty() ? what : what + ": " + detail;
        }
        return nullptr;
    };
    std::unique_ptr<FluidSynthMidiOut> out(new FluidSynthMidiOut);
    out->impl_ = std::make_unique<Impl>();
    Impl& d = *out->impl_;
    d.settings = new_fluid_settings();
    if (!d.settings) return fail("cannot create FluidSynth settings");
    fluid_settings_setint(d.settings, "synth.midi-channels", kChannels);
    fluid_settings_setnum(d.settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(d.settings, "synth.gain", 0.5);
    fluid_settings_setint(d.settings, "synth.threadsafe-api", 1);
    d.synth = new_fluid_synth(d.settings);
    if (!d.synth) return fail("cannot create the FluidSynth synthesiser");
    if (fluid_synth_sfload(d.synth, sound_font.c_str(), 1) == FLUID_FAILED)
        return fail("cannot load the sound font " + sound_font);
    // A 16-channel device makes its tenth channel the drum kit; keep that per group of 16.
    for (int ch = 0; ch < kChannels; ++ch)
        fluid_synth_set_channel_type(d.synth, ch, ch % 16 == 9 ? CHANNEL_TYPE_DRUM : CHANNEL_TYPE_MELODIC);
    fluid_synth_system_reset(d.synth);
    if (mode == Mode::kAudio) {
#ifdef SORVANTO_HAVE_ALSA
        snd_lib_error_set_handler(QuietAlsa);
#endif
        d.driver = new_fluid_audio_driver(d.settings, d.synth);
        if (!d.driver) return fail("no audio output available");
    }
    return out;
}

FluidSynthMidiOut::~FluidSynthMidiOut() = default;

void FluidSynthMidiOut::Send(const MidiMessage& m) {
    fluid_synth_t* s = impl_->synth;
    const int ch = m.channel % kChannels;
    switch (m.status & 0xF0) {
        case 0x80: fluid_synth_noteoff(s, ch, m.data1 & 0x7F); break;
        case 0x90: fluid_synth_noteon(s, ch, m.data1 & 0x7F, m.data2 & 0x7F); break;
        case 0xC0: fluid_synth_program_change(s, ch, m.data1 & 0x7F); break;
        default: break;
    }
}

void FluidSynthMidiOut::Silence() {
    for (int ch = 0; ch < kChannels; ++ch) fluid_synth_all_notes_off(impl_->synth, ch);
}

bool FluidSynthMidiOut::Render(std::int16_t* stereo, int frames) {
    if (impl_->driver || frames < 0) return false;
    return fluid_synth_write_s16(impl_->synth, frames, stereo, 0, 2, stereo, 1, 2) == FLUID_OK;
}

bool FluidSynthMidiOut::Built() { return true; }

#else

struct FluidSynthMidiOut::Impl {};

bool FluidSynthMidiOut::Built() { return false; }

std::unique_ptr<FluidSynthMidiOut> FluidSynthMidiOut::Open(const std::string&, Mode, std::string* error) {
    if (error) *error = "this build has no FluidSynth";
    return nullptr;
}
FluidSynthMidiOut::~FluidSynthMidiOut() = default;
void FluidSynthMidiOut::Send(const MidiMessage&) {}
void FluidSynthMidiOut::Silence() {}
bool FluidSynthMidiOut::Render(std::int16_t*, int) { return false; }

#endif

}  // namespace sorvanto
