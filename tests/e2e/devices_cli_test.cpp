// `sorvanto-cli devices` against the handset emulator on loopback, and its failures.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

class DevicesCliTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        home_ = Home() / "home";
        stdfs::create_directories(home_);
    }
    void TearDown() override {
        if (handset_ > 0) {
            RequestStop(handset_);
            test::WaitExit(handset_, 10000);
        }
        TempHome::TearDown();
    }
    void Settings(const std::string& link) { WriteFileBytes(home_ / "Sorvanto.ini", "[Link]\r\n" + link); }
    void StartHandset(int port) {
        const auto log = Home() / "handset.log";
        handset_ = test::Spawn({SORVANTO_HANDSET, "serve", "--listen", "127.0.0.1:" + std::to_string(port), "--out",
                                (Home() / "out").string()},
                               log);
        ASSERT_GT(handset_, 0);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ReadFileBytes(log).find("LISTENING") == std::string::npos) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "the emulator did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    test::RunResult Devices(std::vector<std::string> extra = {}) {
        std::vector<std::string> argv = {SORVANTO_CLI, "--home", home_.string(), "devices"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return test::Run(argv, 60000);
    }
    stdfs::path home_;
    test::Pid handset_ = -1;
};

TEST_F(DevicesCliTest, ListsTheHandsetsThatAnswerInOrder) {
    const int handset = test::FreePort(), nobody = test::FreePort();
    StartHandset(handset);
    // The first peer is not there; the other two are the same emulator under two names.
    Settings("Transport=tcp\r\nPeers=Gone@127.0.0.1:" + std::to_string(nobody) + ";P504i@127.0.0.1:" +
             std::to_string(handset) + ";Second@localhost:" + std::to_string(handset) + "\r\n");
    const auto r = Devices();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    // 127.0.0.1 goes on air as 7f 00 00 01; the TCP stand-in announces no hints.
    EXPECT_EQ(r.out, "0100007f\tP504i\t0000\n0100007f\tSecond\t0000\n");
}

TEST_F(DevicesCliTest, NothingFoundOrNoPortEndsWithOne) {
    Settings("Transport=tcp\r\nPeers=Gone@127.0.0.1:" + std::to_string(test::FreePort()) + "\r\n");
    auto r = Devices({"--timeout", "0"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");

    EXPECT_EQ(Devices({"--timeout", "soon"}).exit_code, 2);

    if (SORVANTO_TARGET_WINDOWS) return;  // no such device names there
    Settings("Transport=sir\r\nPort=/dev/ttyNoSuchPort3\r\n");
    r = Devices();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("/dev/ttyNoSuchPort3"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
}

}  // namespace
}  // namespace sorvanto
