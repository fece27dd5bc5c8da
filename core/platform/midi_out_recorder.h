#pragma once

#include <cstdint>
#include <vector>

#include "platform/midi_out.h"

namespace sorvanto {

// A message and the timer period (counted from 1) in which it was sent.
struct TimedMidiMessage {
    std::uint64_t period = 0;
    MidiMessage message;
    bool operator==(const TimedMidiMessage&) const = default;
};

// Keeps every message with the time its driver sets: the output of tests and of the offline
// conversions.
class RecordingMidiOut : public MidiOut {
public:
    RecordingMidiOut() { messages_.reserve(4096); }
    void SetPeriod(std::uint64_t period) { period_ = period; }
    void Send(const MidiMessage& message) override { messages_.push_back({period_, message}); }
    void Silence() override { ++silenced_; }

    const std::vector<TimedMidiMessage>& Messages() const { return messages_; }
    int SilenceCount() const { return silenced_; }
    void Clear() { messages_.clear(); }

private:
    std::uint64_t period_ = 0;
    std::vector<TimedMidiMessage> messages_;
    int silenced_ = 0;
};

}  // namespace sorvanto
