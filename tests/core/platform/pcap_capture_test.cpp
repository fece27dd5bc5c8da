// A capture of a whole discovery, connect and IAS query, read back byte for byte and by tshark.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/link/pcap_capture.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Frame {
    bool sent;
    Bytes bytes;
};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// PC 0x11223344 discovers handset 0xA1B2C3D4 "P504i", connects (address 0x52), asks IAS for
// the OBEX LsapSel, connects TinyTP to it and sends an OBEX CONNECT.
std::vector<Frame> Session() {
    const Bytes pc = {0x44, 0x33, 0x22, 0x11}, phone = {0xD4, 0xC3, 0xB2, 0xA1}, all = {0xFF, 0xFF, 0xFF, 0xFF};
    const Bytes qos = {0x01, 0x01, 0x3E, 0x82, 0x01, 0x01, 0x83, 0x01, 0x3F, 0x84, 0x01, 0x7F,
                       0x85, 0x01, 0xFF, 0x86, 0x01, 0xFF, 0x08, 0x01, 0x07};
    const Bytes phone_qos = {0x01, 0x01, 0x3E, 0x82, 0x01, 0x01, 0x83, 0x01, 0x3F, 0x84, 0x01, 0x07,
                             0x85, 0x01, 0x80, 0x86, 0x01, 0x03, 0x08, 0x01, 0x07};
    return {
        {true, Cat({{0xFF, 0x3F, 0x01}, pc, all, {0x01, 0x00, 0x00}})},
        {false, Cat({{0xFE, 0xBF, 0x01}, phone, pc, {0x01, 0x00, 0x00, 0x82, 0x21, 0x00}, Text("P504i")})},
        {true, Cat({{0xFF, 0x3F, 0x01}, pc, all, {0x01, 0xFF, 0x00, 0x84, 0x20, 0x00}, Text("Sorvanto")})},
        {true, Cat({{0xFF, 0x93}, pc, phone, {0xA4}, qos})},
        {false, Cat({{0xA4, 0x73}, phone, pc, phone_qos})},
        {true, {0xA5, 0x11}},
        {false, {0xA4, 0x11}},
        {true, {0xA5, 0x10, 0x80, 0x10, 0x01, 0x00}},
        {false, {0xA4, 0x30, 0x90, 0x00, 0x81, 0x00}},
        {true, Cat({{0xA5, 0x32, 0x00, 0x10, 0x84, 0x04}, Text("OBEX"), {0x13}, Text("IrDA:TinyTP:LsapSel")})},
        {false, {0xA4, 0x52, 0x10, 0x00, 0x84, 0x00, 0x00, 0x01, 0x12, 0x34, 0x01, 0x00, 0x00, 0x00, 0x05}},
        {true, {0xA5, 0x54, 0x80, 0x10, 0x02, 0x01}},
        {true, {0xA5, 0x56, 0x85, 0x11, 0x01, 0x00, 0x0E}},
        {false, {0xA4, 0x94, 0x91, 0x05, 0x81, 0x00, 0x87, 0x04, 0x01, 0x02, 0x00, 0x00}},
        {true, {0xA5, 0x78, 0x05, 0x11, 0x00, 0x80, 0x00, 0x07, 0x10, 0x00, 0x08, 0x00}},
    };
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

class PcapCaptureTest : public test::TempHome {
protected:
    std::string WriteSession() {
        const std::string path = (Home() / "session.pcap").string();
        PcapCapture capture;
        EXPECT_TRUE(capture.Open(path));
        std::int64_t t = 1700000000LL * 1000000 + 250;
        for (const Frame& f : Session()) EXPECT_TRUE(capture.WriteAt(f.sent, f.bytes.data(), f.bytes.size(), t += 20000));
        return path;
    }
};

TEST_F(PcapCaptureTest, EachRecordIsTheDirectionHeaderAndTheFrameWithoutFcs) {
    const std::string path = WriteSession();
    const std::string file = test::ReadFileBytes(path);
    ASSERT_GE(file.size(), 24u);
    EXPECT_EQ(Le32(file, 0), 0xa1b2c3d4u);
    EXPECT_EQ(file.substr(4, 4), std::string("\x02\x00\x04\x00", 4));
    EXPECT_EQ(Le32(file, 16), PcapCapture::kSnapLength);
    EXPECT_EQ(Le32(file, 20), 144u);
    std::size_t at = 24;
    for (const Frame& f : Session()) {
        ASSERT_LE(at + 16 + 16, file.size());
        EXPECT_EQ(Le32(file, at + 8), 16 + f.bytes.size());
        EXPECT_EQ(Le32(file, at + 12), 16 + f.bytes.size());
        const std::string pseudo = file.substr(at + 16, 16);
        EXPECT_EQ(pseudo, std::string(f.sent ? "\x00\x04" : "\x00\x00", 2) + std::string(12, '\0') + std::string("\x00\x17", 2));
        EXPECT_EQ(file.substr(at + 32, f.bytes.size()), std::string(f.bytes.begin(), f.bytes.end()));
        at += 32 + f.bytes.size();
    }
    EXPECT_EQ(at, file.size());  // every record already in the file, nothing after the last

    // Opening again starts a new capture.
    PcapCapture again;
    ASSERT_TRUE(again.Open(path));
    EXPECT_EQ(test::ReadFileBytes(path).size(), 24u);
    const std::uint8_t rr[] = {0xA5, 0x11};
    EXPECT_TRUE(again.Write(true, rr, sizeof rr));
    EXPECT_EQ(test::ReadFileBytes(path).size(), 24u + 16 + 16 + 2);
    again.Close();
    EXPECT_FALSE(again.Write(true, rr, sizeof rr));
    EXPECT_FALSE(again.Open((Home() / "no such folder" / "x.pcap").string()));
}

std::string FindTshark() {
    const char* env = std::getenv("PATH");
    std::stringstream dirs(env ? env : "/usr/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && stdfs::exists(stdfs::path(dir) / "tshark")) return (stdfs::path(dir) / "tshark").string();
    return {};
}

TEST_F(PcapCaptureTest, TsharkDecodesTheSessionWithoutComplaint) {
    if (SORVANTO_TARGET_WINDOWS) GTEST_SKIP() << "tshark is checked on the Linux build";
    const std::string tshark = FindTshark();
    if (tshark.empty()) GTEST_SKIP() << "tshark is not installed (scripts/install-deps installs it)";
    const std::string path = WriteSession();

    // Its warning about running as root goes to stderr, which Run keeps apart.
    const auto bad = test::Run({tshark, "-n", "-r", path, "-Y", "_ws.malformed || _ws.expert"});
    ASSERT_EQ(bad.exit_code, 0) << bad.err;
    EXPECT_EQ(bad.out, "");

    // Per frame: encapsulation, U-frame command and response, nickname, hints, QoS parameters,
    // LMP opcode, IAS class, attribute and integer.
    const auto fields = test::Run({tshark, "-n", "-r", path, "-T", "fields", "-E", "separator=|", "-e",
                                   "frame.encap_type", "-e", "irlap.c.u_modifier_cmd", "-e", "irlap.c.u_modifier_resp",
                                   "-e", "irlmp.xid.name", "-e", "irlmp.xid.hints", "-e", "irlap.pi", "-e",
                                   "irlmp.opcode", "-e", "iap.classname", "-e", "iap.attrname", "-e", "iap.int"});
    ASSERT_EQ(fields.exit_code, 0) << fields.err;
    const std::string qos = "0x01,0x82,0x83,0x84,0x85,0x86,0x08";
    const std::vector<std::string> expected = {
        "44|0x0b||||||||",                        // XID command
        "44||0x2b|P504i|8221|||||",               // XID response: nickname, PDA/Telephony/OBEX
        "44|0x0b||Sorvanto|8420|||||",            // the final XID command with our own name
        "44|0x20||||" + qos + "||||",             // SNRM
        "44||0x18|||" + qos + "||||",             // UA
        "44|||||||||",                            // RR
        "44|||||||||",                            // RR
        "44||||||0x01|||",                        // LM connect to IAS
        "44||||||0x81|||",                        // LM connect confirm
        "44|||||||OBEX|IrDA:TinyTP:LsapSel|",     // GetValueByClass
        "44|||||||||5",                           // the answer: LsapSel 5
        "44||||||0x02|||",                        // LM disconnect
        "44||||||0x01|||",                        // LM connect carrying TinyTP
        "44||||||0x81|||",                        // its confirm
        "44|||||||||",                            // OBEX data
    };
    std::vector<std::string> lines;
    std::stringstream in(fields.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, expected) << fields.out;
}

}  // namespace
}  // namespace sorvanto
