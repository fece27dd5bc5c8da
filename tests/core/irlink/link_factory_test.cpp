#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "irda/serial_sir_line.h"
#include "platform/ini_file.h"
#include "platform/link/pseudo_terminal.h"
#include "platform/link_api.h"
#include "platform/link_settings.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

LinkSettings FromText(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return LinkSettings::FromIni(ini);
}

TEST(LinkFactoryTest, UnknownTransportGivesNoLink) {
    LinkSettings s;
#ifndef _WIN32
    // Linux's IrDA sockets are the module's; the link exists either way and tells at its
    // first socket whether the family is there.
    EXPECT_EQ(LinkSettings().transport, "tcp");
    s.transport = "irda";
    EXPECT_NE(MakeLink(s), nullptr);
#else
    EXPECT_EQ(LinkSettings().transport, "irda");
    s.transport = "IrDA";
    EXPECT_NE(MakeLink(s), nullptr);
#endif
    EXPECT_TRUE(FromText("[Link]\r\nTransport=IrDA\r\n").UsesTransport(LinkSettings::kIrda));
    s.transport = "bluetooth";
    EXPECT_EQ(MakeLink(s), nullptr);
    s.transport = "TCP";
    EXPECT_NE(MakeLink(s), nullptr);
}

TEST(LinkFactoryTest, SerialLinkTellsWhyItsPortWillNotOpen) {
    LinkSettings s;
    s.transport = "SIR";
    s.port = (test::ScratchRoot() / "no-such-tty").string();
    std::string why;
    EXPECT_EQ(MakeLink(s, &why), nullptr);
    EXPECT_NE(why.find(s.port), std::string::npos) << why;
    EXPECT_EQ(MakeLink(s), nullptr);
}

TEST(LinkFactoryTest, SerialSpeedsAreCutToTheConfiguredHighest) {
    irda::SerialSirLine slow(std::make_unique<IrSerialLine>(std::make_unique<SerialPort>(), FindIrAdapter("plain"), 38400));
    EXPECT_EQ(slow.SpeedMask(), 0x000E);  // 9600, 19200, 38400
    irda::SerialSirLine fast(std::make_unique<IrSerialLine>(std::make_unique<SerialPort>(), FindIrAdapter("plain"), 115200));
    EXPECT_EQ(fast.SpeedMask() & 0x0002, 0x0002);
    EXPECT_EQ(fast.SpeedMask() & ~0x003E, 0);
}

TEST(LinkFactoryTest, SerialLinkOverAPseudoTerminalStartsItsCapture) {
    PseudoTerminal pty;
    if (!pty.Open()) GTEST_SKIP() << "this system has no pseudo-terminals";
    const std::filesystem::path capture = test::ScratchRoot() / "factory.pcap";
    std::filesystem::remove(capture);
    LinkSettings s = FromText("[Link]\r\nTransport=sir\r\nCapture=" + capture.string() + "\r\n");
    s.port = pty.TerminalPath();
    std::string why;
    auto link = MakeLink(s, &why);
    ASSERT_NE(link, nullptr) << why;
    EXPECT_TRUE(link->Startup());
    link.reset();
    // The pcap header at least, whatever the stack said on its way out.
    EXPECT_GE(std::filesystem::file_size(capture), 24u);
}

}  // namespace
}  // namespace sorvanto
