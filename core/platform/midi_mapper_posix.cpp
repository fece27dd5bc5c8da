#include "platform/midi_mapper.h"

namespace sorvanto {

std::string SystemMidiOutKind() { return "fluidsynth"; }

std::unique_ptr<MidiOut> OpenMidiMapper(std::string* error) {
    if (error) *error = "this system has no MIDI mapper (use MidiOut=fluidsynth or alsa:CLIENT:PORT)";
    return nullptr;
}

}  // namespace sorvanto
