#pragma once

#include <memory>
#include <string>

#include "platform/midi_out.h"

namespace sorvanto {

// An ALSA sequencer port connected to CLIENT:PORT (a number or a client name). A port has 16
// channels: slot s goes to channel s mod 16.
class AlsaMidiOut : public MidiOut {
public:
    static std::unique_ptr<AlsaMidiOut> Open(const std::string& address, std::string* error);
    ~AlsaMidiOut() override;

    void Send(const MidiMessage& message) override;
    void Silence() override;

private:
    AlsaMidiOut() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sorvanto
