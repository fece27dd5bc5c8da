// The serial port over a pseudo-terminal: the controlling side stands in for the adapter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/link/pseudo_terminal.h"
#include "platform/link/serial_port.h"

namespace sorvanto {
namespace {

// Reads until n bytes have come or the far end stays silent for a few seconds.
std::vector<std::uint8_t> ReadAll(PseudoTerminal& pty, std::size_t n) {
    std::vector<std::uint8_t> out;
    std::uint8_t buf[256];
    for (int quiet = 0; out.size() < n && quiet < 50;) {
        const int got = pty.Read(buf, sizeof buf, 100);
        if (got > 0) out.insert(out.end(), buf, buf + got);
        else ++quiet;
    }
    return out;
}

std::vector<std::uint8_t> ReadAll(SerialPort& port, std::size_t n) {
    std::vector<std::uint8_t> out;
    std::uint8_t buf[256];
    for (int quiet = 0; out.size() < n && quiet < 50;) {
        const int got = port.Read(buf, sizeof buf, 100);
        if (got < 0) break;
        if (got > 0) out.insert(out.end(), buf, buf + got);
        else ++quiet;
    }
    return out;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pty_.Open()) GTEST_SKIP() << "this system has no pseudo-terminals";
        std::string error;
        ASSERT_TRUE(port_.Open(pty_.TerminalPath(), 9600, &error)) << error;
    }
    PseudoTerminal pty_;
    SerialPort port_;
};

TEST_F(SerialPortTest, CarriesEveryByteValueBothWaysUntranslated) {
    // Raw mode matters: CR, LF, XON/XOFF, ^C and 0xFF must all pass as they are.
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(port_.Write(all.data(), all.size()));
    EXPECT_EQ(ReadAll(pty_, all.size()), all);

    ASSERT_TRUE(pty_.Write(all.data(), all.size()));
    EXPECT_EQ(ReadAll(port_, all.size()), all);
}

TEST_F(SerialPortTest, SetsTheLineSpeedAndRefusesOthers) {
    EXPECT_EQ(pty_.LineSpeed(), 9600);
    for (int baud : {2400, 19200, 38400, 57600, 115200}) {
        EXPECT_TRUE(port_.SetBaud(baud));
        EXPECT_EQ(pty_.LineSpeed(), baud);
        EXPECT_EQ(port_.Baud(), baud);
    }
    EXPECT_FALSE(port_.SetBaud(4800));
    EXPECT_FALSE(port_.SetBaud(0));
    EXPECT_EQ(pty_.LineSpeed(), 115200);
    // Bytes written before a change still arrive.
    const std::uint8_t frame[] = {0xC0, 0xFF, 0x3F, 0xC1};
    ASSERT_TRUE(port_.Write(frame, sizeof frame));
    EXPECT_TRUE(port_.SetBaud(9600));
    EXPECT_EQ(ReadAll(pty_, sizeof frame), std::vector<std::uint8_t>(frame, frame + sizeof frame));
}

TEST_F(SerialPortTest, ReadTimesOutWithNothingThenReportsTheClosedPeerAsLost) {
    std::uint8_t buf[16];
    EXPECT_EQ(port_.Read(buf, sizeof buf, 20), 0);
    EXPECT_EQ(port_.Read(buf, sizeof buf, 0), 0);
    // A pseudo-terminal has no modem lines; asking for them must fail cleanly, not break the port.
    port_.SetModemLines(false, true);
    const std::uint8_t one = 0x55;
    ASSERT_TRUE(pty_.Write(&one, 1));
    EXPECT_EQ(ReadAll(port_, 1), std::vector<std::uint8_t>{0x55});
    pty_.Close();
    EXPECT_EQ(port_.Read(buf, sizeof buf, 1000), -1);
}

TEST(SerialPortOpen, NamesThePortAndTheReasonOnOneLine) {
    SerialPort port;
    std::string error;
    EXPECT_FALSE(port.Open("/dev/ttyNoSuchPort7", 9600, &error));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NE(error.find("/dev/ttyNoSuchPort7"), std::string::npos) << error;
    EXPECT_NE(error.find("ありません"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);

    PseudoTerminal pty;
    if (!pty.Open()) GTEST_SKIP() << "this system has no pseudo-terminals";
    EXPECT_FALSE(port.Open(pty.TerminalPath(), 12345, &error));
    EXPECT_NE(error.find("12345"), std::string::npos) << error;
    // One program per adapter: a second open of the same line is refused.
    ASSERT_TRUE(port.Open(pty.TerminalPath(), 115200, &error)) << error;
    SerialPort second;
    EXPECT_FALSE(second.Open(pty.TerminalPath(), 115200, &error));
    EXPECT_NE(error.find("使用中"), std::string::npos) << error;
    port.Close();
    EXPECT_TRUE(second.Open(pty.TerminalPath(), 115200, &error)) << error;
}

TEST(SerialPortNames, ComPortsOpenThroughTheDeviceNamespaceOnWindows) {
#ifdef _WIN32
    EXPECT_EQ(SerialDevicePath("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(SerialDevicePath("COM12"), "\\\\.\\COM12");
#else
    EXPECT_EQ(SerialDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
#endif
    for (const std::string& p : ListSerialPorts()) {
#ifdef _WIN32
        EXPECT_EQ(p.rfind("COM", 0), 0u) << p;
#else
        EXPECT_EQ(p.rfind("/dev/tty", 0), 0u) << p;
#endif
    }
}

}  // namespace
}  // namespace sorvanto
