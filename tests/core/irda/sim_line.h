#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "irda/frame_port.h"
#include "irda/ir_clock.h"
#include "irda/sir_codec.h"

namespace sorvanto::irda {
class IrlapStation;
}

namespace sorvanto::irda::test {

// Two SIR stations facing each other across a simulated beam, in virtual time. Every frame is
// SIR-encoded and takes 10 bit times per byte at its sender's speed; the line is half duplex,
// so frames from both ends that overlap in time destroy each other; a receiver at another
// speed hears garbage. Impairments are drawn from the seeded generator.
class SimLine {
public:
    // One frame as it went over the line.
    struct Sent {
        Micros start = 0;
        Micros end = 0;
        int from = 0;
        int baud = 0;
        std::vector<std::uint8_t> frame;  // address byte onwards, no FCS
        bool delivered = false;           // reached the other end's decoder unharmed
    };

    explicit SimLine(std::uint32_t seed);
    ~SimLine();

    // The frame port of end 0 or 1, for the station on that end.
    FramePort* Port(int end);
    // Frames and busy events that reach end go to station (and its deadlines are run).
    void Attach(int end, IrlapStation* station);
    // More deadlines to run (layers above a station).
    void AddTimer(std::function<Micros()> next_deadline, std::function<void(Micros)> on_timer);

    // Runs events in time order until done() holds (true) or time passes limit (false).
    bool RunUntil(const std::function<bool()>& done, Micros limit);
    // Runs until the given time.
    void RunFor(Micros duration);
    Micros Now() const { return now_; }
    std::uint32_t Seed() const { return seed_; }
    const std::vector<Sent>& Log() const { return log_; }
    int Speed(int end) const;

    // Impairments, all off at first.
    double frame_loss = 0;      // a whole frame lost
    double bit_error_rate = 0;  // each bit of a frame flipped
    double noise_chance = 0;    // a few noise bytes arrive before a frame
    bool cut = false;           // the beam is blocked
    // Frames for which this returns true never arrive (a lost UA, say).
    std::function<bool(int from, const std::vector<std::uint8_t>& frame)> drop;

private:
    class End;
    struct Transmission {
        std::size_t log_index;
        int from;
        Micros start, end;
        int baud;
        std::vector<std::uint8_t> wire;
        bool collided = false;
    };
    struct SpeedChange {
        Micros at;
        int end;
        int baud;
    };
    struct Timer {
        std::function<Micros()> next;
        std::function<void(Micros)> fire;
    };

    void Transmit(int from, const std::uint8_t* frame, std::size_t length, int xbofs);
    void SetSpeed(int end, int baud);
    void Deliver(const Transmission& t);
    void Garbage(int to, std::size_t n);
    bool Chance(double p);

    std::uint32_t seed_;
    std::mt19937 rng_;
    Micros now_ = 0;
    std::unique_ptr<End> ends_[2];
    IrlapStation* stations_[2] = {nullptr, nullptr};
    std::unique_ptr<SirDecoder> decoders_[2];
    int rx_speed_[2] = {9600, 9600};
    int tx_speed_[2] = {9600, 9600};
    Micros tx_free_[2] = {0, 0};
    std::deque<Transmission> in_flight_;
    std::vector<SpeedChange> speed_changes_;
    std::vector<Timer> timers_;
    std::vector<Sent> log_;
};

}  // namespace sorvanto::irda::test
