// The programs over the infrared stack on a serial line, in real time: two pseudo-terminals
// joined by a relay stand for the air between the PC's adapter and the handset's. What lands
// in the store, and what the handset receives, must be what the TCP link gives.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/link/pseudo_terminal.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

const stdfs::path kSamples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples";
const char* const kCategories[] = {"melody", "picture", "bookmark", "outmail", "inmail", "address", "mypic"};

// Copies every byte from one pseudo-terminal's far end to the other's, both ways.
class Relay {
public:
    bool Open() {
        if (!a_.Open() || !b_.Open()) return false;
        thread_ = std::thread([this] { Run(); });
        return true;
    }
    ~Relay() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::string A() const { return a_.TerminalPath(); }
    std::string B() const { return b_.TerminalPath(); }

private:
    void Run() {
        std::uint8_t buffer[4096];
        while (!stop_) {
            bool moved = false;
            for (auto [from, to] : {std::pair{&a_, &b_}, std::pair{&b_, &a_}}) {
                const int n = from->Read(buffer, sizeof buffer, 5);
                if (n > 0) {
                    to->Write(buffer, static_cast<std::size_t>(n));
                    moved = true;
                }
            }
            // A side nobody has open reads as nothing at once; do not spin on it.
            if (!moved) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    PseudoTerminal a_, b_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Reaper {
    test::Pid pid;
    ~Reaper() {
        if (pid > 0) KillProcess(pid);
    }
};

class SirLinkTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        if (!relay_.Open()) GTEST_SKIP() << "this system has no pseudo-terminals";
    }

    static std::string Cli(const stdfs::path& home, std::vector<std::string> args) {
        std::vector<std::string> argv = {SORVANTO_CLI, "--home", home.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto r = test::Run(argv, 60000);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return r.out;
    }
    // Every list's rows without their last column, the time each item was registered.
    static std::string Rows(const stdfs::path& home) {
        std::string all;
        for (const char* c : kCategories) {
            all += std::string("[") + c + "]\n";
            const std::string rows = Cli(home, {"list", c});
            for (std::size_t at = 0; at < rows.size();) {
                std::size_t end = rows.find('\n', at);
                if (end == std::string::npos) end = rows.size();
                const std::string row = rows.substr(at, end - at);
                all += row.substr(0, row.rfind('\t')) + "\n";
                at = end + 1;
            }
        }
        return all;
    }
    // A program on the search path, or empty.
    static std::string OnPath(const std::string& name) {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "";
        for (std::size_t at = 0; at <= dirs.size();) {
            std::size_t end = dirs.find(':', at);
            if (end == std::string::npos) end = dirs.size();
            const stdfs::path candidate = stdfs::path(dirs.substr(at, end - at)) / name;
            std::error_code ec;
            if (end > at && stdfs::is_regular_file(candidate, ec)) return candidate.string();
            at = end + 1;
        }
        return {};
    }

    // `receive` with the link settings given while the handset pushes the family's samples.
    void ReceiveSamples(const stdfs::path& home, int model, const std::string& link, const std::vector<std::string>& push) {
        stdfs::create_directories(home);
        WriteFileBytes(home / "Sorvanto.ini", "[System]\r\nModel=" + std::to_string(model) + "\r\n[Link]\r\n" + link);
        const stdfs::path err = home.string() + ".err";
        const test::Pid receiver =
            test::Spawn({SORVANTO_CLI, "--home", home.string(), "receive", "--timeout", "240"}, home.string() + ".out", err);
        ASSERT_GT(receiver, 0);
        Reaper reaper{receiver};
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (ReadFileBytes(err).find("listening") == std::string::npos) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << ReadFileBytes(err);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::vector<std::string> argv = {SORVANTO_HANDSET, "push-sample"};
        argv.insert(argv.end(), push.begin(), push.end());
        const auto pushed = test::Run(argv, 300000);
        ASSERT_EQ(pushed.exit_code, 0) << pushed.out << pushed.err;
        // Imports run once a second; give the last tick time, then stop the receiver cleanly.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        RequestStop(receiver);
        const int exit_code = test::WaitExit(receiver, 20000);
        reaper.pid = -1;
        ASSERT_EQ(exit_code, 0) << ReadFileBytes(err);
    }

    Relay relay_;
};

TEST_F(SirLinkTest, PushedSamplesGiveTheRowsTheTcpLinkGives) {
    const int model = 1;
    const std::string family = "family1";
    const int port = test::FreePort();
    ReceiveSamples(Home() / "tcp", model, "Transport=tcp\r\nListenPort=" + std::to_string(port) + "\r\n",
                   {family, "--to", "127.0.0.1:" + std::to_string(port), "--dir", kSamples.string()});
    const stdfs::path capture = Home() / "receive.pcap";
    ReceiveSamples(Home() / "sir", model,
                   "Transport=sir\r\nPort=" + relay_.B() + "\r\nDeviceName=SorvantoPC\r\nCapture=" + capture.string() + "\r\n",
                   {family, "--port", relay_.A(), "--dir", kSamples.string()});
    const std::string rows = Rows(Home() / "tcp");
    EXPECT_NE(rows.size(), std::string("[melody]\n[picture]\n[bookmark]\n[outmail]\n[inmail]\n[address]\n[mypic]\n").size());
    EXPECT_EQ(Rows(Home() / "sir"), rows);

    // The capture reads as a clean IrDA session, every layer there.
    const std::string tshark = OnPath("tshark");
    if (tshark.empty()) GTEST_SKIP() << "tshark is not installed";
    const auto bad = test::Run({tshark, "-r", capture.string(), "-Y", "_ws.malformed || _ws.expert"});
    EXPECT_EQ(bad.exit_code, 0) << bad.err;
    EXPECT_EQ(bad.out, "");
    const auto all = test::Run({tshark, "-r", capture.string()});
    for (const char* seen : {"XID", "SNRM", "UA", "IrLMP", "GetValueByClass: \"OBEX\""}) EXPECT_NE(all.out.find(seen), std::string::npos) << seen << "\n" << all.out;
}

TEST_F(SirLinkTest, SentAddressArrivesAsBuilt) {
    const stdfs::path home = Home() / "home";
    const stdfs::path out = Home() / "handset";
    stdfs::create_directories(home);
    WriteFileBytes(home / "Sorvanto.ini", "[System]\r\nModel=0\r\n[Link]\r\nTransport=sir\r\nPort=" + relay_.B() + "\r\n");
    WriteFileBytes(home / "Address/0000000006", ReadFileBytes(test::DataPath("send/input/full.adr")));
    WriteFileBytes(home / "address.ini", "[System]\r\nCount=1\r\n[Item0]\r\nFile=Address\\0000000006\r\nSetTime=0\r\n"
                                         "EntryTime=1073001907\r\nFlag=1\r\n");
    const stdfs::path built = Home() / "address.built";
    Cli(home, {"send", "address", "0", "--out", built.string()});
    ASSERT_GT(stdfs::file_size(built), 0u);

    const stdfs::path log = Home() / "handset.log";
    const test::Pid handset =
        test::Spawn({SORVANTO_HANDSET, "serve", "--port", relay_.A(), "--out", out.string(), "--once"}, log);
    ASSERT_GT(handset, 0);
    Reaper reaper{handset};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ReadFileBytes(log).find("LISTENING") == std::string::npos) {
        ASSERT_LT(std::chrono::steady_clock::now(), end) << "the emulator did not start";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(Cli(home, {"send", "address", "0"}), "アドレス帳を送信しました (Handset)\n");
    EXPECT_EQ(test::WaitExit(handset, 60000), 0) << ReadFileBytes(log);
    reaper.pid = -1;
    EXPECT_EQ(ReadFileBytes(out / "pb.vcf"), ReadFileBytes(built));
}

TEST_F(SirLinkTest, APortThatWillNotOpenIsNamed) {
    const stdfs::path home = Home() / "home";
    stdfs::create_directories(home);
    const std::string missing = (Home() / "no-such-tty").string();
    WriteFileBytes(home / "Sorvanto.ini", "[System]\r\nModel=1\r\n[Link]\r\nTransport=sir\r\nPort=" + missing + "\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"receive", "--timeout", "5"}, {"devices"}, {"send", "bookmark", "0"}}) {
        std::vector<std::string> argv = {SORVANTO_CLI, "--home", home.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto r = test::Run(argv);
        EXPECT_EQ(r.exit_code, 1) << args[0] << r.out << r.err;
        EXPECT_NE(r.err.find(missing), std::string::npos) << args[0] << r.err;
    }
}

}  // namespace
}  // namespace sorvanto
