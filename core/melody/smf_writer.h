#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/midi_out_recorder.h"

namespace sorvanto {

// A Standard MIDI File (format 1) of recorded player output. One file tick is one 5 ms period
// (division 100 per quarter at 500000 us per quarter). Track 0 holds the tempo; then one track
// per group of 16 slots that sends anything, on MIDI port = group, channel = slot mod 16.
// Notes still on at end_period are released there.
std::string BuildStandardMidiFile(const std::vector<TimedMidiMessage>& messages, std::uint64_t end_period);

}  // namespace sorvanto
