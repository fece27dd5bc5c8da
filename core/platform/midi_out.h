#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace sorvanto {

// One MIDI short message. The channel is the melody slot (0..63); outputs with only 16
// channels fold it down themselves.
struct MidiMessage {
    std::uint8_t status = 0;  // 0x80 note off, 0x90 note on, 0xC0 program change (no channel bits)
    std::uint8_t channel = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    bool operator==(const MidiMessage&) const = default;
};

// Where the player's messages go. Send is called from the player's timer thread and must
// not block for long; errors are ignored, as a lost note is better than a stalled clock.
class MidiOut {
public:
    virtual ~MidiOut() = default;
    virtual void Send(const MidiMessage& message) = 0;
    // Cuts every sounding note (playback stopped before the melody's own note-offs).
    virtual void Silence() = 0;
};

// Section "Melody" of ".\Sorvanto.ini".
struct MidiOutSettings {
    std::string kind = "fluidsynth";  // "fluidsynth", "alsa:CLIENT:PORT", "mapper" (Windows) or "none"
    std::string sound_font;           // empty: the first General MIDI font of the system
};
MidiOutSettings ReadMidiOutSettings();

// The configured font, or the first .sf2 in /usr/share/sounds/sf2/ or /usr/share/soundfonts/
// (the General MIDI ones first); empty when there is none.
std::string FindSoundFont(const std::string& configured);

// Opens the output the settings name, sounding through the system's audio. nullptr (and the
// reason in error) when it cannot be opened or the output is switched off. Reasons are the
// program's Japanese, UTF-8, with the library's or system's own words after a colon where they
// tell more.
std::unique_ptr<MidiOut> OpenMidiOut(const MidiOutSettings& settings, std::string* error);

}  // namespace sorvanto
