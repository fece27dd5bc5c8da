#include "platform/midi_mapper.h"

#include <windows.h>
#include <mmsystem.h>

namespace sorvanto {

namespace {

class MapperMidiOut : public MidiOut {
public:
    explicit MapperMidiOut(HMIDIOUT handle) : handle_(handle) {}
    ~MapperMidiOut() override {
        Silence();
        ::midiOutReset(handle_);
        ::midiOutClose(handle_);
    }
    void Send(const MidiMessage& message) override { ::midiOutShortMsg(handle_, ShortMessage(message)); }
    void Silence() override {
        for (unsigned ch = 0; ch < 16; ++ch) {
            ::midiOutShortMsg(handle_, 0xB0 | ch | (120u << 8));  // all sound off
            ::midiOutShortMsg(handle_, 0xB0 | ch | (123u << 8));  // all notes off
        }
    }

private:
    HMIDIOUT handle_;
};

}  // namespace

std::string SystemMidiOutKind() { return "mapper"; }

std::unique_ptr<MidiOut> OpenMidiMapper(std::string* error) {
    HMIDIOUT handle = nullptr;
    const MMRESULT r = ::midiOutOpen(&handle, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
    if (r != MMSYSERR_NOERROR) {
        if (error) {
            wchar_t text[MAXERRORLENGTH] = {};
            ::midiOutGetErrorTextW(r, text, MAXERRORLENGTH);
            char narrow[MAXERRORLENGTH * 3] = {};
            ::WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
            *error = std::string("MIDI マッパーを開けません: ") + narrow;
        }
        return nullptr;
    }
    return std::make_unique<MapperMidiOut>(handle);
}

}  // namespace sorvanto
