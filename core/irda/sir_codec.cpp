#include "irda/sir_codec.h"

#include <algorithm>
#include <array>

namespace sorvanto::irda {

namespace {

constexpr std::array<std::uint16_t, 256> MakeFcsTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t v = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) v = (v & 1) ? static_cast<std::uint16_t>((v >> 1) ^ 0x8408) : static_cast<std::uint16_t>(v >> 1);
        table[i] = v;
    }
    return table;
}
constexpr std::array<std::uint16_t, 256> kFcsTable = MakeFcsTable();

bool NeedsEscape(std::uint8_t b) { return b == kSirBof || b == kSirEof || b == kSirEscape; }

int ClampXbofs(int xbofs) { return std::clamp(xbofs, 0, kSirMaxXbofs); }

}  // namespace

std::uint16_t Fcs16(const std::uint8_t* data, std::size_t n, std::uint16_t fcs) {
    for (std::size_t i = 0; i < n; ++i) fcs = static_cast<std::uint16_t>((fcs >> 8) ^ kFcsTable[(fcs ^ data[i]) & 0xFF]);
    return fcs;
}

int SirTurnaroundXbofs(int baud, int min_turnaround_us) {
    if (baud <= 0 || min_turnaround_us <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(baud) * min_turnaround_us / 10000000);
}

std::vector<std::uint8_t> SirEncode(const std::uint8_t* frame, std::size_t length, int xbofs) {
    const std::uint16_t fcs = static_cast<std::uint16_t>(~Fcs16(frame, length));
    const std::uint8_t tail[2] = {static_cast<std::uint8_t>(fcs & 0xFF), static_cast<std::uint8_t>(fcs >> 8)};
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(ClampXbofs(xbofs)) + length + length / 16 + 8);
    out.insert(out.end(), static_cast<std::size_t>(ClampXbofs(xbofs)), kSirXbof);
    out.push_back(kSirBof);
    auto put = [&out](std::uint8_t b) {
        if (NeedsEscape(b)) {
            out.push_back(kSirEscape);
            out.push_back(b ^ kSirTransparency);
        } else {
            out.push_back(b);
        }
    };
    for (std::size_t i = 0; i < length; ++i) put(frame[i]);
    put(tail[0]);
    put(tail[1]);
    out.push_back(kSirEof);
    return out;
}

std::size_t SirWireSize(const std::uint8_t* frame, std::size_t length, int xbofs) {
    const std::uint16_t fcs = static_cast<std::uint16_t>(~Fcs16(frame, length));
    std::size_t n = static_cast<std::size_t>(ClampXbofs(xbofs)) + length + 4;
    for (std::size_t i = 0; i < length; ++i) n += NeedsEscape(frame[i]);
    n += NeedsEscape(static_cast<std::uint8_t>(fcs & 0xFF)) + NeedsEscape(static_cast<std::uint8_t>(fcs >> 8));
    return n;
}

SirDecoder::SirDecoder(std::size_t max_frame, FrameHandler on_frame, BusyHandler on_busy)
    : max_frame_(max_frame), on_frame_(std::move(on_frame)), on_busy_(std::move(on_busy)) {}

void SirDecoder::Reset() {
    state_ = State::kOutside;
    buffer_.clear();
}

void SirDecoder::Busy() {
    if (on_busy_) on_busy_();
}

void SirDecoder::EndFrame() {
    state_ = State::kOutside;
    // Address, control and the two FCS bytes at least.
    if (buffer_.size() >= 4 && Fcs16(buffer_.data(), buffer_.size()) == kFcsGoodResidue) {
        ++good_;
        if (on_frame_) on_frame_(buffer_.data(), buffer_.size() - 2);
    } else {
        ++bad_;
        Busy();
    }
    buffer_.clear();
}

void SirDecoder::Feed(const std::uint8_t* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = data[i];
        switch (state_) {
        case State::kOutside:
            if (b == kSirBof) {
                state_ = State::kInside;
                buffer_.clear();
            } else if (b != kSirXbof) {
                Busy();  // an EOF with no frame, or someone else's bytes
            }
            break;
        case State::kInside:
        case State::kEscaped:
            if (b == kSirBof) {
                // Repeated BOFs before the first byte are allowed; later, a BOF aborts the
                // partial frame and starts a new one.
                if (!buffer_.empty() || state_ == State::kEscaped) {
                    ++bad_;
                    Busy();
                }
                buffer_.clear();
                state_ = State::kInside;
            } else if (b == kSirEof) {
                if (state_ == State::kEscaped) {
                    ++bad_;
                    buffer_.clear();
                    state_ = State::kOutside;
                    Busy();
                } else {
                    EndFrame();
                }
            } else if (b == kSirEscape) {
                if (state_ == State::kEscaped) {
                    ++bad_;
                    buffer_.clear();
                    state_ = State::kOutside;
                    Busy();
                } else {
                    state_ = State::kEscaped;
                }
            } else {
                const std::uint8_t v = state_ == State::kEscaped ? static_cast<std::uint8_t>(b ^ kSirTransparency) : b;
                state_ = State::kInside;
                if (buffer_.size() >= max_frame_ + 2) {
                    // Longer than anything the link allows: drop it; its tail is stray bytes.
                    ++bad_;
                    buffer_.clear();
                    state_ = State::kOutside;
                    Busy();
                } else {
                    buffer_.push_back(v);
                }
            }
            break;
        }
    }
}

}  // namespace sorvanto::irda
