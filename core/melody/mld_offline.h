#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "melody/mld_data.h"
#include "platform/midi_out.h"
#include "platform/midi_out_recorder.h"

namespace sorvanto {

// Ten minutes of 5 ms periods: a damaged tempo can stretch a melody to hours, and an offline
// conversion must end.
constexpr std::uint64_t kMaxOfflinePeriods = 10 * 60 * 200;

struct MldRecording {
    std::vector<TimedMidiMessage> messages;
    std::uint64_t periods = 0;  // periods played, up to the last note's release
    bool cut = false;           // stopped at the period limit
};

// Plays the melody through the player's own tick, without a clock, until every track has
// ended and every note is released. after_period runs after each period (render audio there).
// False when the player does not start (no track).
bool RunMelodyOffline(const MldData& melody, const std::shared_ptr<MidiOut>& out, int master_volume,
                      std::uint64_t max_periods, const std::function<void(std::uint64_t period)>& after_period,
                      std::uint64_t* periods, bool* cut);

// The messages the player sends for the melody, each with its period.
bool RecordMelody(const MldData& melody, MldRecording& recording, int master_volume = 127,
                  std::uint64_t max_periods = kMaxOfflinePeriods);

// Renders the melody through FluidSynth into a 48 kHz 16-bit stereo WAV file, with a second of
// release after the last note. False (reason in error) when nothing could be rendered.
bool RenderMelodyWav(const MldData& melody, const std::string& sound_font, std::string_view out_path,
                     std::string* error, int master_volume = 127);

}  // namespace sorvanto
