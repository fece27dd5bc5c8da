#include "irda/sir_frame_port.h"

#include "irda/sir_codec.h"

namespace sorvanto::irda {

bool SirFramePort::SendFrame(const std::uint8_t* frame, std::size_t length, int xbofs) {
    const std::vector<std::uint8_t> bytes = SirEncode(frame, length, xbofs);
    return line_->Write(bytes.data(), bytes.size());
}

bool SirFramePort::SetSpeed(int baud) {
    if (!line_->SetSpeed(baud)) return false;
    speed_ = baud;
    if (on_speed_) on_speed_(baud);
    return true;
}

}  // namespace sorvanto::irda
