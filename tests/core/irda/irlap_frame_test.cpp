#include "irda/irlap_frame.h"

#include <gtest/gtest.h>

#include "hex_bytes.h"
#include "irda/qos.h"
#include "irda/sir_codec.h"

namespace sorvanto::irda {
namespace {

using test::Hex;
using test::ToHex;

constexpr std::uint32_t kPc = 0x11223344;
constexpr std::uint32_t kHandset = 0xA1B2C3D4;

Qos OfferedQos() {
    Qos q;
    q.baud = 0x3E;
    q.max_turnaround = 0x01;
    q.data_size = 0x3F;
    q.window = 0x7F;
    q.additional_bofs = 0xFF;
    q.min_turnaround = 0xFF;
    q.link_disconnect = 0x07;
    return q;
}

// The frames of the checked example session, built by the encoders.
TEST(IrlapFrame, ExampleSessionBytes) {
    XidBody cmd;
    cmd.source = kPc;
    cmd.slots = 6;
    cmd.slot = 0;
    EXPECT_EQ(ToHex(EncodeUFrame(kBroadcastConnection, true, kXidCommand, true, cmd.Encode())),
              ToHex(Hex("FF 3F 01 44332211 FFFFFFFF 01 00 00")));

    XidBody rsp;
    rsp.source = kHandset;
    rsp.destination = kPc;
    rsp.slots = 6;
    rsp.has_info = true;
    rsp.hints = {0x82, 0x21};
    rsp.charset = 0;
    rsp.nickname = "P504i";
    const auto rsp_bytes = EncodeUFrame(kBroadcastConnection, false, kXidResponse, true, rsp.Encode());
    EXPECT_EQ(ToHex(rsp_bytes), ToHex(Hex("FE BF 01 D4C3B2A1 44332211 01 00 00 82 21 00 \"P504i\"")));

    SnrmBody snrm;
    snrm.source = kPc;
    snrm.destination = kHandset;
    snrm.connection = 0x52;
    snrm.qos = OfferedQos();
    EXPECT_EQ(ToHex(EncodeUFrame(kBroadcastConnection, true, kSnrm, true, snrm.Encode())),
              ToHex(Hex("FF 93 44332211 D4C3B2A1 A4 01013E 820101 83013F 84017F 8501FF 8601FF 080107")));

    UaBody ua;
    ua.source = kHandset;
    ua.destination = kPc;
    ua.qos = OfferedQos();
    const auto ua_bytes = EncodeUFrame(0x52, false, kUa, true, ua.Encode());
    EXPECT_EQ(ToHex(std::vector<std::uint8_t>(ua_bytes.begin(), ua_bytes.begin() + 10)), ToHex(Hex("A4 73 D4C3B2A1 44332211")));

    EXPECT_EQ(ToHex(EncodeSFrame(0x52, true, kRr, 0, true)), "a5 11");
    EXPECT_EQ(ToHex(EncodeSFrame(0x52, false, kRr, 0, true)), "a4 11");
    const auto lm = Hex("80 10 01 00");
    EXPECT_EQ(ToHex(EncodeIFrame(0x52, true, 0, 0, true, lm.data(), lm.size())), "a5 10 80 10 01 00");
    EXPECT_EQ(EncodeIFrame(0x52, true, 1, 1, true, nullptr, 0)[1], 0x32);
    EXPECT_EQ(EncodeIFrame(0x52, false, 1, 2, true, nullptr, 0)[1], 0x52);
    EXPECT_EQ(EncodeIFrame(0x52, true, 3, 2, true, nullptr, 0)[1], 0x56);
    EXPECT_EQ(EncodeIFrame(0x52, false, 2, 4, true, nullptr, 0)[1], 0x94);
    EXPECT_EQ(EncodeIFrame(0x52, true, 4, 3, true, nullptr, 0)[1], 0x78);
    EXPECT_EQ(ToHex(EncodeUFrame(0x52, true, kDisc, true)), "a5 53");
    EXPECT_EQ(ToHex(EncodeUFrame(kBroadcastConnection, false, kDm, true)), "fe 1f");

    // And back.
    IrlapFrame f;
    ASSERT_TRUE(IrlapFrame::Decode(rsp_bytes.data(), rsp_bytes.size(), &f));
    EXPECT_EQ(f.kind, IrlapFrame::Kind::kU);
    EXPECT_EQ(f.type, kXidResponse);
    EXPECT_FALSE(f.command);
    XidBody back;
    ASSERT_TRUE(XidBody::Decode(f.info, f.info_length, &back));
    EXPECT_EQ(back.source, kHandset);
    EXPECT_EQ(back.hints, (std::vector<std::uint8_t>{0x82, 0x21}));
    EXPECT_EQ(back.nickname, "P504i");
    EXPECT_EQ(back.slots, 6);

    ASSERT_TRUE(IrlapFrame::Decode(ua_bytes.data(), ua_bytes.size(), &f));
    UaBody ua_back;
    ASSERT_TRUE(UaBody::Decode(f.info, f.info_length, &ua_back));
    EXPECT_EQ(ua_back.qos, OfferedQos());
    EXPECT_EQ(ua_back.source, kHandset);

    const auto i = Hex("A4 94 91 05");
    ASSERT_TRUE(IrlapFrame::Decode(i.data(), i.size(), &f));
    EXPECT_EQ(f.kind, IrlapFrame::Kind::kI);
    EXPECT_EQ(f.connection, 0x52);
    EXPECT_EQ(f.ns, 2);
    EXPECT_EQ(f.nr, 4);
    EXPECT_TRUE(f.pf);
    EXPECT_EQ(f.info_length, 2u);

    FrmrBody frmr{0x56, 3, 2, true, kFrmrInvalidNr};
    FrmrBody frmr_back;
    const auto fb = frmr.Encode();
    ASSERT_TRUE(FrmrBody::Decode(fb.data(), fb.size(), &frmr_back));
    EXPECT_EQ(frmr_back.vs, 3);
    EXPECT_EQ(frmr_back.vr, 2);
    EXPECT_EQ(frmr_back.reasons, kFrmrInvalidNr);
}

TEST(IrlapFrame, BrokenBodiesAreRefused) {
    XidBody x;
    EXPECT_FALSE(XidBody::Decode(Hex("01 44332211 FFFFFFFF 01 00").data(), 11, &x));
    const auto other_format = Hex("02 44332211 FFFFFFFF 01 00 00");
    EXPECT_FALSE(XidBody::Decode(other_format.data(), other_format.size(), &x));
    // Hint bytes that promise another one and end.
    const auto runaway = Hex("01 44332211 FFFFFFFF 01 00 00 82 81");
    EXPECT_FALSE(XidBody::Decode(runaway.data(), runaway.size(), &x));
    // A nickname longer than 21 bytes is cut.
    const auto longname = Hex("01 44332211 FFFFFFFF 01 FF 00 84 20 00 \"0123456789012345678901234\"");
    ASSERT_TRUE(XidBody::Decode(longname.data(), longname.size(), &x));
    EXPECT_EQ(x.nickname, "012345678901234567890");
    EXPECT_EQ(x.slot, kXidFinalSlot);

    SnrmBody s;
    const auto short_snrm = Hex("44332211 D4C3B2A1");
    EXPECT_FALSE(SnrmBody::Decode(short_snrm.data(), short_snrm.size(), &s));
    const auto pl_past_end = Hex("44332211 D4C3B2A1 A4 01013E 8302");
    EXPECT_FALSE(SnrmBody::Decode(pl_past_end.data(), pl_past_end.size(), &s));
    const auto dangling_pi = Hex("44332211 D4C3B2A1 A4 01013E 83");
    EXPECT_FALSE(SnrmBody::Decode(dangling_pi.data(), dangling_pi.size(), &s));
    UaBody u;
    EXPECT_FALSE(UaBody::Decode(short_snrm.data(), 7, &u));
    FrmrBody fr;
    EXPECT_FALSE(FrmrBody::Decode(short_snrm.data(), 2, &fr));
    IrlapFrame f;
    EXPECT_FALSE(IrlapFrame::Decode(short_snrm.data(), 1, &f));
}

TEST(Qos, DecodeSkipsUnknownAndEmptyParametersAndReadsTwoByteValues) {
    Qos q;
    // An unknown PI with three bytes, a zero-length data size, a 2-byte baud mask, window 1..3.
    const auto list = Hex("77 03 aa bb cc 83 00 01 02 3E 01 84 01 07");
    ASSERT_TRUE(Qos::Decode(list.data(), list.size(), &q));
    EXPECT_EQ(q.baud, 0x013E);
    EXPECT_EQ(q.window, 0x07);
    EXPECT_EQ(q.data_size, Qos{}.data_size);
    EXPECT_EQ(q.link_disconnect, Qos{}.link_disconnect);

    Qos two;
    two.baud = 0x01FE;
    EXPECT_EQ(ToHex(two.Encode()).substr(0, 11), "01 02 fe 01");
    Qos back;
    const auto e = OfferedQos().Encode();
    ASSERT_TRUE(Qos::Decode(e.data(), e.size(), &back));
    EXPECT_EQ(back, OfferedQos());
}

TEST(Qos, ValuesBehindTheBits) {
    EXPECT_EQ(BaudFromBits(0x3E), 115200);
    EXPECT_EQ(BaudFromBits(0x0E), 38400);
    EXPECT_EQ(BaudFromBits(0x100), 4000000);
    EXPECT_EQ(DataSizeFromBits(0x3F), 2048);
    EXPECT_EQ(DataSizeFromBits(0x07), 256);
    EXPECT_EQ(WindowFromBits(0x7F), 7);
    EXPECT_EQ(WindowFromBits(0x00), 1);
    EXPECT_EQ(AdditionalBofsFromBits(0x04), 12);
    EXPECT_EQ(AdditionalBofsFromBits(0xFF), 0);
    EXPECT_EQ(MinTurnaroundUsFromBits(0x07), 1000);
    EXPECT_EQ(MinTurnaroundUsFromBits(0xFF), 0);
    EXPECT_EQ(LinkDisconnectSFromBits(0x07), 12);
    EXPECT_EQ(MaxTurnaroundMsFromBits(0x0F), 50);
    EXPECT_EQ(BaudBit(38400), 0x08);
    EXPECT_EQ(BaudBit(12345), 0);
    EXPECT_EQ(LineCapacity(9600, 500), 400);
    EXPECT_EQ(LineCapacity(19200, 500), 800);
    EXPECT_EQ(LineCapacity(38400, 500), 1600);
    EXPECT_EQ(LineCapacity(57600, 500), 2360);
    EXPECT_EQ(LineCapacity(115200, 500), 4800);
    EXPECT_EQ(LineCapacity(9600, 100), 0);
}

Qos Station(std::uint16_t baud, std::uint8_t data, std::uint8_t window, std::uint8_t min_turn = 0x07) {
    Qos q;
    q.baud = baud;
    q.data_size = data;
    q.window = window;
    q.additional_bofs = 0xFF;
    q.min_turnaround = min_turn;
    q.link_disconnect = 0x07;
    return q;
}

TEST(Qos, NegotiationProfiles) {
    const Qos pc = OfferedQos();
    struct Case {
        Qos handset;
        int baud, data, window;
    } cases[] = {
        {Station(0x02, 0x01, 0x01), 9600, 64, 1},
        {Station(0x02, 0x07, 0x01), 9600, 256, 1},
        {Station(0x0E, 0x1F, 0x01), 38400, 1024, 1},
        // The line carries only two 2 KB frames within 500 ms.
        {Station(0x3E, 0x3F, 0x7F), 115200, 2048, 2},
        {Station(0x3E, 0x0F, 0x7F), 115200, 512, 7},
        // A handset taking 2 KB at 9600: the window is already 1, so the data size shrinks.
        {Station(0x02, 0x3F, 0x01), 9600, 256, 1},
    };
    for (const Case& c : cases) {
        const LinkParameters p = Negotiate(pc, c.handset);
        EXPECT_EQ(p.baud, c.baud);
        EXPECT_EQ(p.tx_data_size, c.data) << c.baud;
        EXPECT_EQ(p.tx_window, c.window) << c.baud;
        EXPECT_EQ(p.rx_data_size, 2048);
        EXPECT_EQ(p.tx_min_turnaround_us, 1000);
        EXPECT_EQ(p.link_disconnect_s, 12);
        EXPECT_LE(p.tx_window * (p.tx_data_size + 6 + p.tx_additional_bofs) + SirTurnaroundXbofs(p.baud, p.tx_min_turnaround_us),
                  LineCapacity(p.baud, p.tx_max_turnaround_ms));
        // Both ends agree on the type 0 parameters.
        const LinkParameters other = Negotiate(c.handset, pc);
        EXPECT_EQ(other.baud, p.baud);
        EXPECT_EQ(other.link_disconnect_s, p.link_disconnect_s);
    }
}

TEST(Qos, NegotiationRules) {
    // Nothing in common: 9600 and 3 s.
    Qos a = Station(0x04, 0x01, 0x01);
    Qos b = Station(0x08, 0x01, 0x01);
    a.link_disconnect = 0x80;
    b.link_disconnect = 0x40;
    LinkParameters p = Negotiate(a, b);
    EXPECT_EQ(p.baud, 9600);
    EXPECT_EQ(p.link_disconnect_s, 3);

    // A short max turnaround is not allowed below 115200, and is kept at 115200.
    Qos fast = Station(0x3E, 0x3F, 0x7F);
    fast.max_turnaround = 0x0F;
    p = Negotiate(Station(0x0E, 0x3F, 0x7F), fast);
    EXPECT_EQ(p.baud, 38400);
    EXPECT_EQ(p.tx_max_turnaround_ms, 500);
    EXPECT_EQ(p.tx_window * (p.tx_data_size + 6), 1030 * 1);
    p = Negotiate(Station(0x3E, 0x3F, 0x7F), fast);
    EXPECT_EQ(p.tx_max_turnaround_ms, 50);
    EXPECT_LE(p.tx_window * (p.tx_data_size + 6), 480);

    // The peer's 12 extra BOFs and 10 ms count against the line too; 0 ms is raised to 10 µs.
    Qos slow = Station(0x3E, 0x3F, 0x7F, 0x01);
    slow.additional_bofs = 0x07;
    p = Negotiate(OfferedQos(), slow);
    EXPECT_EQ(p.tx_additional_bofs, 12);
    EXPECT_EQ(p.tx_min_turnaround_us, 10000);
    EXPECT_EQ(p.tx_window, 2);  // 2×2066+115 = 4247
    p = Negotiate(OfferedQos(), OfferedQos());
    EXPECT_EQ(p.tx_min_turnaround_us, 10);
}

}  // namespace
}  // namespace sorvanto::irda
