#include "platform/midi_out_fluidsynth.h"

#include <mutex>

#ifdef SORVANTO_HAVE_FLUIDSYNTH
#include <dlfcn.h>
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

// FluidSynth is opened the first time a melody sounds or is rendered, not when the program
// starts: the library and the audio and media libraries it depends on take longer to map
// than a whole import of a phone book, and most runs of the command line play nothing.
struct FluidApi {
#define SORVANTO_FLUID_FUNCTIONS(X)                                                                  \
    X(fluid_set_log_function) X(new_fluid_settings) X(delete_fluid_settings) X(fluid_settings_setint) \
    X(fluid_settings_setnum) X(new_fluid_synth) X(delete_fluid_synth) X(fluid_synth_sfload)           \
    X(fluid_synth_set_channel_type) X(fluid_synth_system_reset) X(new_fluid_audio_driver)             \
    X(delete_fluid_audio_driver) X(fluid_synth_noteoff) X(fluid_synth_noteon)                         \
    X(fluid_synth_program_change) X(fluid_synth_all_notes_off) X(fluid_synth_write_s16)
#define SORVANTO_FLUID_POINTER(name) decltype(&::name) name = nullptr;
    SORVANTO_FLUID_FUNCTIONS(SORVANTO_FLUID_POINTER)
#undef SORVANTO_FLUID_POINTER
    bool loaded = false;
    std::string error;
};

const FluidApi& Fluid() {
    static const FluidApi api = [] {
        FluidApi a;
        void* lib = nullptr;
        for (const char* name : {"libfluidsynth.so.3", "libfluidsynth.so.2", "libfluidsynth.so"})
            if ((lib = ::dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
        if (!lib) {
            a.error = "FluidSynth がインストールされていません (libfluidsynth.so.3)";
            return a;
        }
        bool all = true;
#define SORVANTO_FLUID_RESOLVE(name)                                          \
    a.name = reinterpret_cast<decltype(a.name)>(::dlsym(lib, #name));  \
    all = all && a.name;
        SORVANTO_FLUID_FUNCTIONS(SORVANTO_FLUID_RESOLVE)
#undef SORVANTO_FLUID_RESOLVE
        // The library stays loaded for the rest of the run: its audio threads may outlive
        // any one synthesiser.
        a.loaded = all;
        if (!all) a.error = "インストールされている FluidSynth には必要な関数がありません";
        return a;
    }();
    return api;
}

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
        const FluidApi& f = Fluid();
        if (driver) f.delete_fluid_audio_driver(driver);
        if (synth) f.delete_fluid_synth(synth);
        if (settings) f.delete_fluid_settings(settings);
    }
};

std::unique_ptr<FluidSynthMidiOut> FluidSynthMidiOut::Open(const std::string& sound_font, Mode mode,
                                                           std::string* error) {
    const FluidApi& f = Fluid();
    if (!f.loaded) {
        if (error) *error = f.error;
        return nullptr;
    }
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        f.fluid_set_log_function(level, level <= FLUID_ERR ? KeepLog : nullptr, nullptr);
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
    d.settings = f.new_fluid_settings();
    if (!d.settings) return fail("FluidSynth の設定を作成できません");
    f.fluid_settings_setint(d.settings, "synth.midi-channels", kChannels);
    f.fluid_settings_setnum(d.settings, "synth.sample-rate", kSampleRate);
    f.fluid_settings_setnum(d.settings, "synth.gain", 0.5);
    f.fluid_settings_setint(d.settings, "synth.threadsafe-api", 1);
    d.synth = f.new_fluid_synth(d.settings);
    if (!d.synth) return fail("FluidSynth のシンセサイザーを作成できません");
    if (f.fluid_synth_sfload(d.synth, sound_font.c_str(), 1) == FLUID_FAILED)
        return fail("サウンドフォント " + sound_font + " を読み込めません");
    // A 16-channel device makes its tenth channel the drum kit; keep that per group of 16.
    for (int ch = 0; ch < kChannels; ++ch)
        f.fluid_synth_set_channel_type(d.synth, ch, ch % 16 == 9 ? CHANNEL_TYPE_DRUM : CHANNEL_TYPE_MELODIC);
    f.fluid_synth_system_reset(d.synth);
    if (mode == Mode::kAudio) {
#ifdef SORVANTO_HAVE_ALSA
        snd_lib_error_set_handler(QuietAlsa);
#endif
        d.driver = f.new_fluid_audio_driver(d.settings, d.synth);
        if (!d.driver) return fail("音声を出力できる装置がありません");
    }
    return out;
}

FluidSynthMidiOut::~FluidSynthMidiOut() = default;

void FluidSynthMidiOut::Send(const MidiMessage& m) {
    const FluidApi& f = Fluid();
    fluid_synth_t* s = impl_->synth;
    const int ch = m.channel % kChannels;
    switch (m.status & 0xF0) {
        case 0x80: f.fluid_synth_noteoff(s, ch, m.data1 & 0x7F); break;
        case 0x90: f.fluid_synth_noteon(s, ch, m.data1 & 0x7F, m.data2 & 0x7F); break;
        case 0xC0: f.fluid_synth_program_change(s, ch, m.data1 & 0x7F); break;
        default: break;
    }
}

void FluidSynthMidiOut::Silence() {
    const FluidApi& f = Fluid();
    for (int ch = 0; ch < kChannels; ++ch) f.fluid_synth_all_notes_off(impl_->synth, ch);
}

bool FluidSynthMidiOut::Render(std::int16_t* stereo, int frames) {
    if (impl_->driver || frames < 0) return false;
    const FluidApi& f = Fluid();
    return f.fluid_synth_write_s16(impl_->synth, frames, stereo, 0, 2, stereo, 1, 2) == FLUID_OK;
}

bool FluidSynthMidiOut::Built() { return true; }

#else

struct FluidSynthMidiOut::Impl {};

bool FluidSynthMidiOut::Built() { return false; }

std::unique_ptr<FluidSynthMidiOut> FluidSynthMidiOut::Open(const std::string&, Mode, std::string* error) {
    if (error) *error = "このプログラムは FluidSynth なしで作られています";
    return nullptr;
}
FluidSynthMidiOut::~FluidSynthMidiOut() = default;
void FluidSynthMidiOut::Send(const MidiMessage&) {}
void FluidSynthMidiOut::Silence() {}
bool FluidSynthMidiOut::Render(std::int16_t*, int) { return false; }

#endif

}  // namespace sorvanto
