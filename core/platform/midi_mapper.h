#pragma once

#include <memory>
#include <string>

#include "platform/midi_out.h"

namespace sorvanto {

// The output a "MidiOut" setting of "" means: "mapper" (the system MIDI mapper) on Windows,
// "fluidsynth" elsewhere.
std::string SystemMidiOutKind();

// The system MIDI mapper (midiOutOpen on MIDI_MAPPER); nullptr and the reason in error where
// there is none. Slots 16 and above fold onto the 16 channels (slot mod 16).
std::unique_ptr<MidiOut> OpenMidiMapper(std::string* error);

// The 32-bit short message midiOutShortMsg takes for a message, the slot folded to its
// channel: status | channel in the low byte, then data1, then data2 (none for a program change).
unsigned ShortMessage(const MidiMessage& message);

}  // namespace sorvanto
