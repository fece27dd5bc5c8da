// The adapter table over a port that records what it is asked to do.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/link/ir_adapter.h"
#include "platform/link/ir_serial_line.h"
#include "platform/link/pseudo_terminal.h"
#include "platform/link_settings.h"
#include "support/temp_home.h"
#include "platform/link/serial_port.h"

namespace sorvanto {
namespace {

class RecordingPort : public SerialPort {
public:
    bool Drain() override {
        calls.push_back("drain");
        return true;
    }
    bool SetBaud(int baud) override {
        calls.push_back("baud " + std::to_string(baud));
        return refuse_baud == 0 || baud != refuse_baud;
    }
    bool SetModemLines(bool dtr, bool rts) override {
        calls.push_back(std::string("dtr ") + (dtr ? "1" : "0") + " rts " + (rts ? "1" : "0"));
        return lines_work;
    }
    std::vector<std::string> calls;
    bool lines_work = true;
    int refuse_baud = 0;
};

using Calls = std::vector<std::string>;

TEST(IrAdapter, Esi9680SetsTheModemLinesAfterTheLastFrameThenTheUart) {
    const IrAdapter& esi = FindIrAdapter("esi9680");
    EXPECT_EQ(esi.name, "esi9680");
    EXPECT_EQ(esi.min_turnaround_us, 10000);
    RecordingPort port;
    EXPECT_TRUE(esi.SetSpeed(port, 9600));
    EXPECT_TRUE(esi.SetSpeed(port, 19200));
    EXPECT_TRUE(esi.SetSpeed(port, 115200));
    EXPECT_EQ(port.calls, (Calls{"drain", "dtr 0 rts 1", "baud 9600", "drain", "dtr 1 rts 0", "baud 19200", "drain",
                                 "dtr 1 rts 1", "baud 115200"}));
    // Speeds it cannot run are refused without touching the port.
    port.calls.clear();
    EXPECT_FALSE(esi.SetSpeed(port, 38400));
    EXPECT_FALSE(esi.SetSpeed(port, 57600));
    EXPECT_FALSE(esi.SetSpeed(port, 2400));
    EXPECT_TRUE(port.calls.empty());
    // Lines that cannot be set leave the adapter at another speed than the UART.
    port.lines_work = false;
    EXPECT_FALSE(esi.SetSpeed(port, 9600));
}

TEST(IrAdapter, PlainFollowsThePortSpeed) {
    const IrAdapter& plain = FindIrAdapter("plain");
    RecordingPort port;
    for (int baud : kIrSpeeds) EXPECT_TRUE(plain.SetSpeed(port, baud));
    EXPECT_EQ(port.calls, (Calls{"baud 2400", "baud 9600", "baud 19200", "baud 38400", "baud 57600", "baud 115200"}));
    port.refuse_baud = 57600;
    EXPECT_FALSE(plain.SetSpeed(port, 57600));
    EXPECT_FALSE(plain.SetSpeed(port, 4800));
}

TEST(IrAdapter, UnknownNamesArePlainAndCaseDoesNotMatter) {
    EXPECT_EQ(FindIrAdapter("ESI9680").name, "esi9680");
    EXPECT_EQ(FindIrAdapter("tekram").name, "plain");
    EXPECT_EQ(FindIrAdapter("").name, "plain");
    std::size_t n = 0;
    const IrAdapter* rows = IrAdapters(&n);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(rows[0].name, "plain");
}

TEST(IrAdapter, SpeedsOfferedUpToTheHighestAllowed) {
    const IrAdapter& esi = FindIrAdapter("esi9680");
    const IrAdapter& plain = FindIrAdapter("plain");
    EXPECT_EQ(esi.SpeedMask(115200), 0x26);  // 9600, 19200, 115200
    EXPECT_EQ(esi.SpeedMask(57600), 0x06);
    EXPECT_EQ(esi.SpeedMask(2400), 0x02);  // 9600 is always offered
    EXPECT_EQ(plain.SpeedMask(115200), 0x3F);
    EXPECT_EQ(plain.SpeedMask(38400), 0x0F);
    EXPECT_EQ(esi.SnapSpeed(57600), 19200);
    EXPECT_EQ(esi.SnapSpeed(115200), 115200);
    EXPECT_EQ(plain.SnapSpeed(50000), 38400);
    EXPECT_EQ(plain.SnapSpeed(1000), 9600);
}

TEST(IrSerialLine, OffersAndSwitchesOnlyTheSpeedsUpToTheHighestConfigured) {
    auto owned = std::make_unique<RecordingPort>();
    RecordingPort& port = *owned;
    IrSerialLine line(std::move(owned), FindIrAdapter("esi9680"), 19200);
    EXPECT_EQ(line.SpeedMask(), 0x06);
    EXPECT_EQ(line.MinTurnaroundUs(), 10000);
    EXPECT_TRUE(line.SetSpeed(19200));
    EXPECT_FALSE(line.SetSpeed(115200));
    EXPECT_TRUE(line.SetSpeed(9600));
    EXPECT_EQ(port.calls, (Calls{"drain", "dtr 1 rts 0", "baud 19200", "drain", "dtr 0 rts 1", "baud 9600"}));
}

class IrSerialLineOpen : public test::TempHome {};

TEST_F(IrSerialLineOpen, OpensTheConfiguredPortAtTheStartSpeedWithItsCapture) {
    PseudoTerminal pty;
    if (!pty.Open()) GTEST_SKIP() << "this system has no pseudo-terminals";
    LinkSettings settings;
    settings.port = pty.TerminalPath();
    settings.adapter = "plain";
    std::string error;
    auto line = IrSerialLine::OpenConfigured(settings, &error);
    ASSERT_NE(line, nullptr) << error;
    EXPECT_EQ(pty.LineSpeed(), 9600);
    EXPECT_TRUE(line->SetSpeed(115200));
    EXPECT_EQ(pty.LineSpeed(), 115200);
    EXPECT_EQ(line->Capture(), nullptr);
    line.reset();

    // A capture is made anew with every open.
    settings.capture = (Home() / "ir.pcap").string();
    line = IrSerialLine::OpenConfigured(settings, &error);
    ASSERT_NE(line, nullptr) << error;
    ASSERT_NE(line->Capture(), nullptr);
    const std::uint8_t rr[] = {0xA5, 0x11};
    EXPECT_TRUE(line->Capture()->Write(true, rr, sizeof rr));
    EXPECT_EQ(std::filesystem::file_size(settings.capture), 24u + 34u);
    line.reset();
    line = IrSerialLine::OpenConfigured(settings, &error);
    ASSERT_NE(line, nullptr) << error;
    EXPECT_EQ(std::filesystem::file_size(settings.capture), 24u);
    line.reset();
    settings.capture = (Home() / "no such folder" / "x.pcap").string();
    EXPECT_EQ(IrSerialLine::OpenConfigured(settings, &error), nullptr);
    EXPECT_NE(error.find("x.pcap"), std::string::npos) << error;
    settings.capture.clear();
    // An adapter switched by modem lines cannot work where there are none: one line says so.
    settings.adapter = "esi9680";
    EXPECT_EQ(IrSerialLine::OpenConfigured(settings, &error), nullptr);
    EXPECT_NE(error.find(settings.port), std::string::npos) << error;
    EXPECT_NE(error.find("esi9680"), std::string::npos) << error;
}

}  // namespace
}  // namespace sorvanto
