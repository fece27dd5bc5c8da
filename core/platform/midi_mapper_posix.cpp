#include "platform/midi_mapper.h"

namespace sorvanto {

std::string SystemMidiOutKind() { return "fluidsynth"; }

std::unique_ptr<MidiOut> OpenMidiMapper(std::string* error) {
    if (error) *error = "このシステムには MIDI マッパーがありません (MidiOut=fluidsynth か alsa:CLIENT:PORT を指定してください)";
    return nullptr;
}

}  // namespace sorvanto
