#include "irda/sir_codec.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "hex_bytes.h"

namespace sorvanto::irda {
namespace {

using test::Hex;
using test::ToHex;

struct Collected {
    std::vector<std::vector<std::uint8_t>> frames;
    int busy = 0;
};

SirDecoder DecoderInto(Collected* c, std::size_t max_frame = 2050) {
    return SirDecoder(
        max_frame, [c](const std::uint8_t* f, std::size_t n) { c->frames.emplace_back(f, f + n); }, [c] { ++c->busy; });
}

TEST(SirCodec, FcsAndWireBytesOfTheKnownVectors) {
    const auto payload = Hex("00 c0 c1 7d ff 55 aa");
    EXPECT_EQ(static_cast<std::uint16_t>(~Fcs16(payload.data(), payload.size())), 0x7B16);
    EXPECT_EQ(ToHex(SirEncode(payload.data(), payload.size(), 10)),
              ToHex(Hex("ff ff ff ff ff ff ff ff ff ff c0 00 7d e0 7d e1 7d 5d ff 55 aa 16 7b c1")));
    EXPECT_EQ(SirWireSize(payload.data(), payload.size(), 10), 24u);

    const auto snrm = Hex("FF 93 44332211 D4C3B2A1 A4 01013E 820101 83013F 84017F 8501FF 8601FF 080107");
    EXPECT_EQ(static_cast<std::uint16_t>(~Fcs16(snrm.data(), snrm.size())), 0x0A8E);
    const auto wire = SirEncode(snrm.data(), snrm.size(), 0);
    EXPECT_EQ(wire[wire.size() - 3], 0x8e);
    EXPECT_EQ(wire[wire.size() - 2], 0x0a);

    // The residue over a frame and its FCS.
    std::vector<std::uint8_t> with_fcs = payload;
    with_fcs.push_back(0x16);
    with_fcs.push_back(0x7b);
    EXPECT_EQ(Fcs16(with_fcs.data(), with_fcs.size()), kFcsGoodResidue);
}

TEST(SirCodec, EscapesOnlyTheThreeControlBytesAndCapsXbofs) {
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    const auto wire = SirEncode(all.data(), all.size(), 500);
    EXPECT_EQ(std::count(wire.begin(), wire.begin() + kSirMaxXbofs, 0xFF), kSirMaxXbofs);
    EXPECT_EQ(wire[kSirMaxXbofs], kSirBof);
    // Inside the frame no BOF or EOF appears unescaped, and exactly three data bytes (plus any
    // FCS byte that needs it) are escaped.
    const std::vector<std::uint8_t> body(wire.begin() + kSirMaxXbofs + 1, wire.end() - 1);
    EXPECT_EQ(std::count(body.begin(), body.end(), kSirBof), 0);
    EXPECT_EQ(std::count(body.begin(), body.end(), kSirEof), 0);
    EXPECT_GE(std::count(body.begin(), body.end(), kSirEscape), 3);
    EXPECT_LE(body.size(), 256u + 2 + 5);
    EXPECT_EQ(wire.size(), SirWireSize(all.data(), all.size(), 500));

    Collected c;
    auto d = DecoderInto(&c);
    d.Feed(wire.data(), wire.size());
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], all);
    EXPECT_EQ(c.busy, 0);
}

TEST(SirCodec, TurnaroundXbofsFillTheTimeAtTenBitsPerByte) {
    EXPECT_EQ(SirTurnaroundXbofs(115200, 10000), 115);  // 10 ms
    EXPECT_EQ(SirTurnaroundXbofs(9600, 10000), 9);
    EXPECT_EQ(SirTurnaroundXbofs(9600, 1000), 0);
    EXPECT_EQ(SirTurnaroundXbofs(38400, 5000), 19);
    EXPECT_EQ(SirTurnaroundXbofs(115200, 0), 0);
}

TEST(SirCodec, DecoderRecoversFromBrokenInput) {
    const auto a = Hex("ff 93 01 02");
    const auto b = Hex("a4 11");
    const auto wa = SirEncode(a.data(), a.size(), 3);
    const auto wb = SirEncode(b.data(), b.size(), 0);

    // A frame cut off by a BOF: the first is dropped, the second arrives.
    {
        Collected c;
        auto d = DecoderInto(&c);
        std::vector<std::uint8_t> in(wa.begin(), wa.end() - 3);
        in.insert(in.end(), wb.begin(), wb.end());
        d.Feed(in.data(), in.size());
        ASSERT_EQ(c.frames.size(), 1u);
        EXPECT_EQ(c.frames[0], b);
        EXPECT_EQ(c.busy, 1);
    }
    // Repeated BOFs at the start are fine; fed one byte at a time.
    {
        Collected c;
        auto d = DecoderInto(&c);
        std::vector<std::uint8_t> in{kSirBof, kSirBof};
        in.insert(in.end(), wb.begin(), wb.end());
        for (std::uint8_t x : in) d.Feed(&x, 1);
        ASSERT_EQ(c.frames.size(), 1u);
        EXPECT_EQ(c.busy, 0);
    }
    // EOF outside a frame, stray bytes, a damaged FCS, a frame too short: busy, no frame.
    {
        Collected c;
        auto d = DecoderInto(&c);
        std::vector<std::uint8_t> bad = wa;
        bad[5] ^= 0x01;
        std::vector<std::uint8_t> in{kSirEof, 0x12, 0xFF};
        in.insert(in.end(), bad.begin(), bad.end());
        for (std::uint8_t x : {kSirBof, std::uint8_t{0x01}, std::uint8_t{0x02}, kSirEof}) in.push_back(x);
        d.Feed(in.data(), in.size());
        EXPECT_TRUE(c.frames.empty());
        EXPECT_EQ(c.busy, 4);
        EXPECT_FALSE(d.InFrame());
    }
    // An escaped byte is always taken back, even one that never needed escaping.
    {
        Collected c;
        auto d = DecoderInto(&c);
        auto w = SirEncode(b.data(), b.size(), 0);
        // a4 -> 7d 84
        w.erase(w.begin() + 1);
        w.insert(w.begin() + 1, {kSirEscape, 0x84});
        d.Feed(w.data(), w.size());
        ASSERT_EQ(c.frames.size(), 1u);
        EXPECT_EQ(c.frames[0], b);
    }
}

TEST(SirCodec, DecoderDropsFramesPastTheLengthCap) {
    std::vector<std::uint8_t> big(66, 0x42);
    std::vector<std::uint8_t> fits(64, 0x42);
    const auto wbig = SirEncode(big.data(), big.size(), 0);
    const auto wfit = SirEncode(fits.data(), fits.size(), 0);
    Collected c;
    auto d = DecoderInto(&c, 64);
    d.Feed(wbig.data(), wbig.size());
    EXPECT_TRUE(c.frames.empty());
    EXPECT_GE(c.busy, 1);
    d.Feed(wfit.data(), wfit.size());
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], fits);
}

}  // namespace
}  // namespace sorvanto::irda
