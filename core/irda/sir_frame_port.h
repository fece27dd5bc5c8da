#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "irda/frame_port.h"
#include "irda/sir_line.h"

namespace sorvanto::irda {

// Frames to a SIR adapter: wrapped (BOF, escapes, FCS, EOF) and written to the line.
class SirFramePort : public FramePort {
public:
    explicit SirFramePort(SirLine* line) : line_(line) {}

    bool SendFrame(const std::uint8_t* frame, std::size_t length, int xbofs) override;
    bool SetSpeed(int baud) override;
    std::uint16_t SpeedMask() const override { return line_->SpeedMask(); }

    // Called after each speed change (the receiver drops a half-read frame then).
    void OnSpeedChange(std::function<void(int baud)> f) { on_speed_ = std::move(f); }
    int Speed() const { return speed_; }

private:
    SirLine* line_;
    std::function<void(int)> on_speed_;
    int speed_ = 9600;
};

}  // namespace sorvanto::irda
