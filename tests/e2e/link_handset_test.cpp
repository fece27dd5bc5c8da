#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include "common/locked_list.h"
#include "irlink/cancel_flag_monitor.h"
#include "irlink/obex_put_client.h"
#include "irlink/obex_server_session.h"
#include "platform/link_api.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::FreePort;

// The emulator as a child process, its stdout in a file; killed when the test ends.
class Handset {
public:
    Handset(std::vector<std::string> args, const std::filesystem::path& log) : log_(log) {
        args.insert(args.begin(), SORVANTO_HANDSET);
        pid_ = test::Spawn(args, log);
    }
    ~Handset() {
        if (pid_ > 0 && !exited_) KillProcess(pid_);
    }
    // Exit status, or -1 when it has not ended within limit.
    int Wait(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto code = WaitProcess(pid_, static_cast<int>(limit.count()));
        if (!code) return -1;
        exited_ = true;
        return *code;
    }
    std::string Log() const { return test::ReadFileBytes(log_); }
    bool WaitForLog(const std::string& text) {
        for (int i = 0; i < 500; ++i) {
            if (Log().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    bool Started() const { return pid_ > 0; }

private:
    test::Pid pid_ = -1;
    bool exited_ = false;
    std::filesystem::path log_;
};

class FileJob : public ObexPutClient {
public:
    FileJob() : ObexPutClient(2, 0) {}
    int SendObject(const std::string* path, const std::string* name, TransferMonitor* monitor) override {
        if (!SetObjectName(*name) || !OpenObjectFile(*path)) return -1;
        return Transfer(monitor);
    }
};

class LinkHandsetTest : public test::TempHome {
protected:
    void WriteSettings(const std::string& extra) {
        test::WriteFileBytes(Home() / "Sorvanto.ini", "[Link]\r\nTransport=tcp\r\nListenPort=" + std::to_string(pc_port) + "\r\nPeers=Handset@127.0.0.1:" +
                                                          std::to_string(handset_port) + "\r\n" + extra);
    }
    int pc_port = FreePort();
    int handset_port = FreePort();
};

TEST_F(LinkHandsetTest, PushedPhoneBookLandsInTmpFilesWithOneNotice) {
    WriteSettings("");
    ByteList queue;
    ObexServerSession server(MakeConfiguredLink(), &queue);
    ASSERT_EQ(server.OpenServer(), 0);
    ASSERT_EQ(server.StartWorker(), 1);
    Handset push({"push", test::DataPath("obex/pb.vcf").string(), "--name", "telecom/pb.vcf", "--to",
                  "127.0.0.1:" + std::to_string(pc_port)},
                 Home() / "push.log");
    ASSERT_TRUE(push.Started());
    EXPECT_EQ(push.Wait(), 0) << push.Log();
    for (int i = 0; i < 300 && queue.Count() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server.Stop(1);
    ASSERT_EQ(queue.Count(), 1);
    const std::string path(reinterpret_cast<const char*>(queue.Head()->data->data()));
    EXPECT_TRUE(std::regex_match(path, std::regex(R"(TmpFiles\\[0-9a-f]{8} telecom_pb\.vcf)"))) << path;
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / path.substr(9)), test::ReadFileBytes(test::DataPath("obex/pb.vcf")));
}

class LinkClientTest : public LinkHandsetTest {
protected:
    // Puts the phone book to `serve` with the given emulator options; the Transfer result.
    int Put(const std::string& passcode, std::vector<std::string> serve_args,
            std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        WriteSettings("Passcode=" + passcode + "\r\n");
        std::vector<std::string> args = {"serve", "--listen", "127.0.0.1:" + std::to_string(handset_port), "--out",
                                         (Home() / "out").string(), "--passcode", "1234"};
        args.insert(args.end(), serve_args.begin(), serve_args.end());
        handset = std::make_unique<Handset>(args, Home() / "serve.log");
        EXPECT_TRUE(handset->WaitForLog("LISTENING"));
        std::filesystem::copy_file(test::DataPath("obex/pb.vcf"), Home() / "send.vcf");
        FileJob job;
        CancelFlagMonitor monitor(limit);
        const std::string path = "send.vcf", name = "telecom/pb.vcf";
        return job.SendObject(&path, &name, &monitor);
    }
    std::unique_ptr<Handset> handset;
};

TEST_F(LinkClientTest, DigestIsAcceptedAndTheObjectArrives) {
    ASSERT_EQ(Put("1234", {"--challenge"}), 0) << handset->Log();
    EXPECT_TRUE(handset->WaitForLog("DISCONNECT"));
    EXPECT_NE(handset->Log().find("digest=ok -> 0xA0"), std::string::npos) << handset->Log();
    EXPECT_EQ(test::ReadFileBytes(Home() / "out" / "telecom_pb.vcf"), test::ReadFileBytes(test::DataPath("obex/pb.vcf")));
}

TEST_F(LinkClientTest, WrongPasscodeIsForbidden) {
    EXPECT_EQ(Put("9999", {"--challenge"}), -3);
    EXPECT_TRUE(handset->WaitForLog("digest=wrong -> 0xC3")) << handset->Log();
    EXPECT_FALSE(std::filesystem::exists(Home() / "out" / "telecom_pb.vcf"));
}

TEST_F(LinkClientTest, RefusedLastPutOrStalledHandsetFails) {
    EXPECT_EQ(Put("1234", {"--refuse-last-put"}), -3);
    EXPECT_EQ(handset->Log().find("DISCONNECT"), std::string::npos) << handset->Log();
    handset.reset();
    std::filesystem::remove(Home() / "send.vcf");
    handset_port = FreePort();
    const auto t0 = std::chrono::steady_clock::now();
    // No inactivity time-out of its own: the monitor gives up.
    EXPECT_EQ(Put("1234", {"--stall-after", "2"}, std::chrono::seconds(2)), -3);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    EXPECT_TRUE(handset->WaitForLog("STALLED")) << handset->Log();
}

TEST_F(LinkClientTest, NoHandsetListeningGivesMinusOne) {
    WriteSettings("");
    test::WriteFileBytes(Home() / "send.vcf", "x");
    FileJob job;
    const std::string path = "send.vcf", name = "a.vcf";
    EXPECT_EQ(job.SendObject(&path, &name, nullptr), -1);
}

}  // namespace
}  // namespace sorvanto
