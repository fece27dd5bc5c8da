#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// SIR framing (IrPHY up to 115200 bit/s): XBOF* BOF data FCS EOF, with BOF, EOF and the escape
// byte escaped inside the frame, and the PPP-style FCS over the unescaped bytes.
namespace sorvanto::irda {

inline constexpr std::uint8_t kSirXbof = 0xFF;
inline constexpr std::uint8_t kSirBof = 0xC0;
inline constexpr std::uint8_t kSirEof = 0xC1;
inline constexpr std::uint8_t kSirEscape = 0x7D;
inline constexpr std::uint8_t kSirTransparency = 0x20;
// What the FCS register holds after a good frame including its two FCS bytes.
inline constexpr std::uint16_t kFcsGoodResidue = 0xF0B8;
// More XBOFs than this are never sent: the largest min-turnaround delay at 115200 plus 48
// additional BOFs.
inline constexpr int kSirMaxXbofs = 163;

// CRC-16-CCITT, reflected, continued from fcs. The frame carries ~result, low byte first.
std::uint16_t Fcs16(const std::uint8_t* data, std::size_t n, std::uint16_t fcs = 0xFFFF);

// XBOFs that fill the minimum turnaround time at a line speed (10 bit times per byte).
int SirTurnaroundXbofs(int baud, int min_turnaround_us);

// The wire bytes of one frame (address byte onwards, no FCS): xbofs (capped) 0xFF bytes, BOF,
// the escaped frame and FCS, EOF.
std::vector<std::uint8_t> SirEncode(const std::uint8_t* frame, std::size_t length, int xbofs);
// How many bytes SirEncode would produce, without building them.
std::size_t SirWireSize(const std::uint8_t* frame, std::size_t length, int xbofs);

// Turns received bytes back into frames. Good frames (FCS checked and removed) go to on_frame;
// stray bytes between frames, an EOF outside a frame, an aborted, overlong or damaged frame go
// to on_busy, since they all mean someone else is using the medium.
class SirDecoder {
public:
    using FrameHandler = std::function<void(const std::uint8_t* frame, std::size_t length)>;
    using BusyHandler = std::function<void()>;

    // max_frame: the longest frame (address byte onwards, no FCS) accepted; longer ones are
    // dropped as soon as they pass it.
    SirDecoder(std::size_t max_frame, FrameHandler on_frame, BusyHandler on_busy);

    void Feed(const std::uint8_t* data, std::size_t n);
    void SetMaxFrame(std::size_t max_frame) { max_frame_ = max_frame; }
    // Forgets a partial frame (after a speed change the bytes in flight are garbage).
    void Reset();
    // True while a frame has begun but not ended.
    bool InFrame() const { return state_ != State::kOutside; }

    std::size_t GoodFrames() const { return good_; }
    std::size_t BadFrames() const { return bad_; }

private:
    enum class State { kOutside, kInside, kEscaped };
    void Busy();
    void EndFrame();

    std::size_t max_frame_;
    FrameHandler on_frame_;
    BusyHandler on_busy_;
    State state_ = State::kOutside;
    std::vector<std::uint8_t> buffer_;
    std::size_t good_ = 0;
    std::size_t bad_ = 0;
};

}  // namespace sorvanto::irda
