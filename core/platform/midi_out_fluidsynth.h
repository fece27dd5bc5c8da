#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi_out.h"

namespace sorvanto {

// A FluidSynth synthesiser with 64 channels, one per melody slot. In audio mode it sounds
// through the system's audio driver; in render mode nothing plays and the owner pulls the
// samples with Render, in step with the events it sends.
class FluidSynthMidiOut : public MidiOut {
public:
    enum class Mode { kAudio, kRender };
    static constexpr int kSampleRate = 48000;  // 240 frames per 5 ms period, no remainder

    // Whether this build has FluidSynth at all (the Windows build has not: it plays through the
    // system's MIDI mapper and renders no WAV files).
    static bool Built();
    static std::unique_ptr<FluidSynthMidiOut> Open(const std::string& sound_font, Mode mode, std::string* error);
    ~FluidSynthMidiOut() override;

    void Send(const MidiMessage& message) override;
    void Silence() override;
    // Writes frames of interleaved 16-bit stereo; false in audio mode or on failure.
    bool Render(std::int16_t* stereo, int frames);

private:
    FluidSynthMidiOut() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sorvanto
