#include "sim_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "irda/irlap_station.h"

namespace sorvanto::irda::test {

class SimLine::End : public FramePort {
public:
    End(SimLine* line, int index) : line_(line), index_(index) {}
    bool SendFrame(const std::uint8_t* frame, std::size_t length, int xbofs) override {
        line_->Transmit(index_, frame, length, xbofs);
        return true;
    }
    bool SetSpeed(int baud) override {
        line_->SetSpeed(index_, baud);
        return true;
    }
    std::uint16_t SpeedMask() const override { return kBaudSirMask; }

private:
    SimLine* line_;
    int index_;
};

SimLine::SimLine(std::uint32_t seed) : seed_(seed), rng_(seed) {
    for (int i = 0; i < 2; ++i) ends_[i] = std::make_unique<End>(this, i);
}

SimLine::~SimLine() = default;

FramePort* SimLine::Port(int end) { return ends_[end].get(); }

int SimLine::Speed(int end) const { return rx_speed_[end]; }

void SimLine::Attach(int end, IrlapStation* station) {
    stations_[end] = station;
    decoders_[end] = std::make_unique<SirDecoder>(
        station->MaxFrameIn(), [this, station](const std::uint8_t* f, std::size_t n) { station->OnFrame(f, n, now_); },
        [this, station] { station->OnMediaBusy(now_); });
}

void SimLine::AddTimer(std::function<Micros()> next_deadline, std::function<void(Micros)> on_timer) {
    timers_.push_back(Timer{std::move(next_deadline), std::move(on_timer)});
}

bool SimLine::Chance(double p) { return p > 0 && std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

void SimLine::Transmit(int from, const std::uint8_t* frame, std::size_t length, int xbofs) {
    Transmission t;
    t.from = from;
    t.baud = tx_speed_[from];
    t.wire = SirEncode(frame, length, xbofs);
    t.start = std::max(now_, tx_free_[from]);
    t.end = t.start + static_cast<Micros>(t.wire.size()) * 10 * 1000000 / static_cast<Micros>(t.baud);
    tx_free_[from] = t.end;
    // Half duplex: whatever the other end has on the air at the same time is lost, and so is this.
    for (Transmission& other : in_flight_) {
        if (other.from != from && other.start < t.end && t.start < other.end) {
            other.collided = true;
            t.collided = true;
        }
    }
    t.log_index = log_.size();
    log_.push_back(Sent{t.start, t.end, from, t.baud, std::vector<std::uint8_t>(frame, frame + length), false});
    in_flight_.push_back(std::move(t));
}

void SimLine::SetSpeed(int end, int baud) {
    tx_speed_[end] = baud;
    if (tx_free_[end] <= now_) {
        rx_speed_[end] = baud;
        if (decoders_[end]) decoders_[end]->Reset();
    } else {
        speed_changes_.push_back(SpeedChange{tx_free_[end], end, baud});
    }
}

void SimLine::Garbage(int to, std::size_t n) {
    std::vector<std::uint8_t> g(std::max<std::size_t>(n, 1));
    for (std::uint8_t& b : g) b = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 0xFE)(rng_));
    if (decoders_[to]) decoders_[to]->Feed(g.data(), g.size());
}

void SimLine::Deliver(const Transmission& t) {
    const int to = 1 - t.from;
    if (cut || !decoders_[to]) return;
    if (Chance(noise_chance)) Garbage(to, std::uniform_int_distribution<std::size_t>(1, 6)(rng_));
    if (t.collided) {
        Garbage(to, 3);
        return;
    }
    if (rx_speed_[to] != t.baud) {
        // Bytes at the wrong speed come out as a few wrong bytes.
        Garbage(to, t.wire.size() * static_cast<std::size_t>(rx_speed_[to]) / static_cast<std::size_t>(t.baud));
        return;
    }
    if (Chance(frame_loss) || (drop && drop(t.from, log_[t.log_index].frame))) return;
    std::vector<std::uint8_t> bytes = t.wire;
    bool damaged = false;
    if (bit_error_rate > 0) {
        std::geometric_distribution<std::size_t> gap(bit_error_rate);
        for (std::size_t bit = gap(rng_); bit < bytes.size() * 8; bit += 1 + gap(rng_)) {
            bytes[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
            damaged = true;
        }
    }
    log_[t.log_index].delivered = !damaged;
    decoders_[to]->Feed(bytes.data(), bytes.size());
}

bool SimLine::RunUntil(const std::function<bool()>& done, Micros limit) {
    int spins = 0;
    while (true) {
        if (done()) return true;
        Micros next = ~Micros{0};
        for (const Transmission& t : in_flight_) next = std::min(next, t.end);
        for (const SpeedChange& s : speed_changes_) next = std::min(next, s.at);
        for (IrlapStation* s : stations_)
            if (s && s->NextDeadline() != 0) next = std::min(next, s->NextDeadline());
        for (const Timer& t : timers_)
            if (const Micros d = t.next(); d != 0) next = std::min(next, d);
        if (next == ~Micros{0} || next > limit) {
            now_ = std::max(now_, limit);
            return done();
        }
        if (next <= now_) {
            next = now_;
            if (++spins > 10000) {
                ADD_FAILURE() << "no progress at " << now_ << " us (seed " << seed_ << ")";
                return false;
            }
        } else {
            spins = 0;
        }
        now_ = next;
        // Speed changes, then arrivals, then timers, each in time order.
        std::stable_sort(speed_changes_.begin(), speed_changes_.end(),
                         [](const SpeedChange& a, const SpeedChange& b) { return a.at < b.at; });
        while (!speed_changes_.empty() && speed_changes_.front().at <= now_) {
            const SpeedChange s = speed_changes_.front();
            speed_changes_.erase(speed_changes_.begin());
            rx_speed_[s.end] = s.baud;
            if (decoders_[s.end]) decoders_[s.end]->Reset();
        }
        while (true) {
            auto first = std::min_element(in_flight_.begin(), in_flight_.end(),
                                          [](const Transmission& a, const Transmission& b) { return a.end < b.end; });
            if (first == in_flight_.end() || first->end > now_) break;
            const Transmission t = std::move(*first);
            in_flight_.erase(first);
            Deliver(t);
        }
        for (int end = 0; end < 2; ++end) {
            IrlapStation* s = stations_[end];
            if (!s || s->NextDeadline() == 0 || s->NextDeadline() > now_) continue;
            bool receiving = false;
            for (const Transmission& t : in_flight_) receiving |= t.from != end && t.start <= now_;
            s->OnTimer(now_, receiving);
        }
        for (const Timer& t : timers_)
            if (const Micros d = t.next(); d != 0 && d <= now_) t.fire(now_);
    }
}

void SimLine::RunFor(Micros duration) {
    const Micros until = now_ + duration;
    RunUntil([] { return false; }, until);
}

}  // namespace sorvanto::irda::test
