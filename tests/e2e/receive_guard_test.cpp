// `sorvanto-cli receive` against pushes it must not take: an object that never ends, and
// pushes from the network without the passcode.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kSamples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples";

class ReceiveGuardTest : public test::TempHome {
protected:
    void TearDown() override {
        Stop();
        TempHome::TearDown();
    }
    // Starts the receiver of model 0 listening on address:port and waits until it listens;
    // pushes go to the loopback address, which the wildcard address also serves.
    void Start(const std::string& address, const std::string& passcode) {
        home_ = Home() / "home";
        stdfs::create_directories(home_);
        port_ = test::FreePort();
        to_ = "127.0.0.1:" + std::to_string(port_);
        test::WriteFileBytes(home_ / "Sorvanto.ini", "[System]\r\nModel=0\r\n[Link]\r\nTransport=tcp\r\nListenAddress=" + address +
                                                          "\r\nListenPort=" + std::to_string(port_) +
                                                          "\r\nPasscode=" + passcode + "\r\n");
        receiver_ = test::Spawn({SORVANTO_CLI, "--home", home_.string(), "receive", "--timeout", "120"},
                                Home() / "receive.out", Home() / "receive.err");
        ASSERT_GT(receiver_, 0);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (test::ReadFileBytes(Home() / "receive.err").find("listening on") == std::string::npos) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "the receiver did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    // Stops the receiver after its last import tick; what it printed.
    std::string Stop() {
        if (receiver_ <= 0) return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        RequestStop(receiver_);
        test::WaitExit(receiver_, 10000);
        receiver_ = -1;
        return test::ReadFileBytes(Home() / "receive.out");
    }
    test::RunResult Push(const std::string& file, std::vector<std::string> extra = {}) {
        std::vector<std::string> argv = {SORVANTO_HANDSET, "push", file, "--to", to_};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return test::Run(argv);
    }
    int Stored(const char* index) const { return IniFile((home_ / index).string()).GetInt("System", "Count", 0); }

    stdfs::path home_;
    int port_ = 0;
    std::string to_;
    test::Pid receiver_ = -1;
};

TEST_F(ReceiveGuardTest, AnObjectPastTheLimitIsDroppedAndTheNextPushIsServed) {
    Start("127.0.0.1", "0000");
    const stdfs::path big = Home() / "big.vcf";
    test::WriteFileBytes(big, std::string((16u << 20) + 1000, 'x'));
    const auto refused = Push(big.string(), {"--packet-size", "32768"});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("answered 0xCD"), std::string::npos) << refused.err;
    const auto pushed = Push((kSamples / "family0" / "pb.vcf").string(), {"--name", "telecom/pb.vcf"});
    EXPECT_EQ(pushed.exit_code, 0) << pushed.err;
    const std::string log = Stop();
    EXPECT_NE(log.find("受信データが大きすぎるため破棄しました"), std::string::npos) << log;
    EXPECT_FALSE(stdfs::exists(home_ / "rdata.txt"));
    EXPECT_GT(Stored("address.ini"), 0);
}

TEST_F(ReceiveGuardTest, OnANetworkAddressOnlyThePasscodeLetsAPushIn) {
    // Listening on every address opens the server to the network; the test's own pushes still
    // travel over loopback only.
    Start("0.0.0.0", "4821");
    const std::string book = (kSamples / "family0" / "pb.vcf").string();
    const auto without = Push(book, {"--name", "telecom/pb.vcf"});
    EXPECT_EQ(without.exit_code, 1);
    EXPECT_NE(without.err.find("--passcode"), std::string::npos) << without.err;
    const auto wrong = Push(book, {"--name", "telecom/pb.vcf", "--passcode", "1234"});
    EXPECT_EQ(wrong.exit_code, 1);
    EXPECT_NE(wrong.err.find("answered 0xC3"), std::string::npos) << wrong.err;
    const auto right = Push(book, {"--name", "telecom/pb.vcf", "--passcode", "4821"});
    EXPECT_EQ(right.exit_code, 0) << right.err;

    const std::string log = Stop();
    // The wrong answer is refused and named with the address it came from; the emulator
    // without a passcode gave up by itself after the challenge.
    const std::string refused = "認証できない接続を拒否しました (127.0.0.1:";
    const auto first = log.find(refused);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(refused, first + 1), std::string::npos) << log;
    EXPECT_GT(Stored("address.ini"), 0);
}

}  // namespace
}  // namespace sorvanto
