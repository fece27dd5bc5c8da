#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "irda/ir_clock.h"
#include "irda/sir_line.h"

namespace sorvanto::irda::test {

// Two SIR lines facing each other across a half-duplex beam, in virtual time. Each write is
// one burst on air lasting 10 bit times per byte at the sender's speed, after whatever that
// side sent before. A burst that overlaps one from the other side is destroyed on both, a
// burst received at another speed arrives as garbage, and a burst may be hit by loss (one bit
// flipped, which the FCS catches). The owner advances time with Advance().
class VirtualAir : public IrClock {
public:
    explicit VirtualAir(std::uint32_t seed = 1) : rng_(seed) {}

    Micros Now() const override { return now_; }
    void SetLoss(double p) { loss_ = p; }

    std::unique_ptr<SirLine> Line(int side) { return std::make_unique<End>(this, side); }

    // The earliest time a burst arrives, or 0.
    Micros NextArrival() const {
        Micros next = 0;
        for (const auto& b : air_)
            if (!next || b.end < next) next = b.end;
        return next;
    }
    void AdvanceTo(Micros t) {
        if (t < now_) return;
        now_ = t;
        for (auto it = air_.begin(); it != air_.end();) {
            if (it->end > now_) {
                ++it;
                continue;
            }
            Deliver(*it);
            it = air_.erase(it);
        }
    }

    int Bursts() const { return bursts_; }
    int Damaged() const { return damaged_; }
    // Bursts the loss hit.
    int Hit() const { return hit_; }

private:
    struct Burst {
        int from;
        Micros start;
        Micros end;
        int speed;
        std::vector<std::uint8_t> bytes;
        bool damaged = false;
    };
    struct Side {
        Micros busy_until = 0;
        std::vector<std::pair<Micros, int>> speeds{{0, 9600}};
        std::deque<std::uint8_t> inbox;
        int SpeedAt(Micros t) const {
            int s = 9600;
            for (const auto& [when, baud] : speeds)
                if (when <= t) s = baud;
            return s;
        }
    };

    class End : public SirLine {
    public:
        End(VirtualAir* air, int side) : air_(air), side_(side) {}
        bool Write(const std::uint8_t* data, std::size_t n) override {
            air_->Send(side_, data, n);
            return true;
        }
        int Read(std::uint8_t* data, std::size_t n, int) override {
            auto& inbox = air_->sides_[side_].inbox;
            const std::size_t take = std::min(n, inbox.size());
            std::copy_n(inbox.begin(), take, data);
            inbox.erase(inbox.begin(), inbox.begin() + static_cast<std::ptrdiff_t>(take));
            return static_cast<int>(take);
        }
        bool SetSpeed(int baud) override {
            Side& s = air_->sides_[side_];
            s.speeds.emplace_back(std::max(s.busy_until, air_->now_), baud);
            return true;
        }
        std::uint16_t SpeedMask() const override { return 0x3E; }

    private:
        VirtualAir* air_;
        int side_;
    };

    void Send(int side, const std::uint8_t* data, std::size_t n) {
        Side& s = sides_[side];
        Burst b;
        b.from = side;
        b.start = std::max(s.busy_until, now_);
        b.speed = s.SpeedAt(b.start);
        b.end = b.start + static_cast<Micros>(n) * 10'000'000 / static_cast<Micros>(b.speed);
        b.bytes.assign(data, data + n);
        s.busy_until = b.end;
        for (auto& other : air_)
            if (other.from != side && other.start < b.end && b.start < other.end) other.damaged = b.damaged = true;
        if (loss_ > 0 && std::uniform_real_distribution<double>(0, 1)(rng_) < loss_) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
            b.bytes[at] ^= 0x10;
            ++hit_;
        }
        ++bursts_;
        air_.push_back(std::move(b));
    }

    void Deliver(const Burst& b) {
        Side& to = sides_[1 - b.from];
        if (b.damaged) ++damaged_;
        if (b.damaged || to.SpeedAt(b.end) != b.speed) {
            // What a receiver makes of a collision or the wrong speed: bytes that frame nothing.
            to.inbox.insert(to.inbox.end(), b.bytes.size() / 4 + 1, 0x00);
            return;
        }
        to.inbox.insert(to.inbox.end(), b.bytes.begin(), b.bytes.end());
    }

    Micros now_ = 0;
    double loss_ = 0;
    std::mt19937 rng_;
    Side sides_[2];
    std::vector<Burst> air_;
    int bursts_ = 0;
    int damaged_ = 0;
    int hit_ = 0;
};

}  // namespace sorvanto::irda::test
