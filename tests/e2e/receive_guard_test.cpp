// `sorvanto-cli receive` against pushes it must not take: an object that never ends, and
// pushes from the network without the passcode.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>

#include <gtest/gtest.h>

#include "irlink/md5.h"
#include "platform/ini_file.h"
#include "platform/net_socket.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kSamples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples";

// One peer of the network, spoken to in OBEX from a loopback address of its own choosing, so
// that the receiver sees it as another host.
class RawPeer {
public:
    RawPeer(const std::string& from, int port) {
        std::uint32_t local = 0;
        std::uint32_t server = 0;
        fd_ = net::TcpSocket();
        if (fd_ == net::kNone || !net::ResolveIpv4(from, &local) || !net::ResolveIpv4("127.0.0.1", &server) ||
            !net::Bind(fd_, local, 0) || net::Connect(fd_, server, port) != 1) {
            net::Close(fd_);
            fd_ = net::kNone;
        }
    }
    ~RawPeer() { net::Close(fd_); }
    bool Connected() const { return fd_ != net::kNone; }

    // Sends a packet of that opcode and headers; the answer, or empty when the link closed.
    std::string Ask(int opcode, const std::string& rest) {
        const std::size_t n = rest.size() + 3;
        const std::string packet = std::string{static_cast<char>(opcode), static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)} + rest;
        if (fd_ == net::kNone || net::Send(fd_, packet.data(), packet.size()) != static_cast<long>(packet.size())) return {};
        std::string answer;
        std::size_t want = 3;
        while (answer.size() < want) {
            net::PollFd p{fd_, net::kIn, 0};
            if (net::Poll(&p, 1, 10000) <= 0) return {};
            char buffer[512];
            const long got = net::Recv(fd_, buffer, std::min(sizeof buffer, want - answer.size()));
            if (got <= 0) return {};
            answer.append(buffer, static_cast<std::size_t>(got));
            if (answer.size() == 3) want = (static_cast<unsigned char>(answer[1]) << 8) | static_cast<unsigned char>(answer[2]);
        }
        return answer;
    }
    // CONNECT; on a challenge, the answer with this passcode. Whether a nonce came, and the
    // final answer's code (0 when the link closed).
    std::pair<bool, int> Connect(const std::string& passcode) {
        const std::string fields{0x10, 0x00, 0x04, 0x00};
        const std::string challenge = Ask(0x80, fields);
        if (challenge.size() != 28 || static_cast<unsigned char>(challenge[0]) != 0xC1) return {false, 0};
        const auto digest = Md5::Of(challenge.substr(12, 16) + ":" + passcode);
        const std::string answer = Ask(0x80, fields + std::string{0x4E, 0x00, 0x15, 0x00, 0x10} + std::string(digest.begin(), digest.end()));
        return {true, answer.empty() ? 0 : static_cast<unsigned char>(answer[0])};
    }

private:
    net::Fd fd_ = net::kNone;
};

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

TEST_F(ReceiveGuardTest, AHostGuessingThePasscodeIsShutOutWhileAnotherPushes) {
    Start("0.0.0.0", "4821");
    int nonces = 0;
    int closed_at_once = 0;
    bool pushed = false;
    int guess = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        char code[16];
        std::snprintf(code, sizeof code, "%04d", guess++ % 10000);
        RawPeer guesser("127.0.0.2", port_);
        ASSERT_TRUE(guesser.Connected());
        const auto [challenged, answer] = guesser.Connect(code);
        if (challenged) {
            ++nonces;
            EXPECT_EQ(answer, 0xC3);
        } else {
            ++closed_at_once;
        }
        if (!pushed && closed_at_once > 0) {
            // The guesser is shut out now; a host with the passcode is not held up by it.
            RawPeer handset("127.0.0.3", port_);
            ASSERT_TRUE(handset.Connected());
            ASSERT_EQ(handset.Connect("4821"), (std::pair<bool, int>{true, 0xA0}));
            std::string name;
            for (char c : std::string("telecom/pb.vcf")) name += std::string{'\0', c};
            name += std::string(2, '\0');
            const std::string body = test::ReadFileBytes(kSamples / "family0" / "pb.vcf");
            const std::size_t name_size = name.size() + 3;
            const std::size_t body_size = body.size() + 3;
            const std::string put = std::string{0x01, static_cast<char>(name_size >> 8), static_cast<char>(name_size & 0xFF)} +
                                    name + std::string{0x49, static_cast<char>(body_size >> 8), static_cast<char>(body_size & 0xFF)} + body;
            const std::string done = handset.Ask(0x82, put);
            ASSERT_FALSE(done.empty());
            EXPECT_EQ(static_cast<unsigned char>(done[0]), 0xA0);
            pushed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Three tries, as the settings allow, then no nonce for the rest of the half minute.
    EXPECT_EQ(nonces, 3);
    EXPECT_GT(closed_at_once, 10);
    EXPECT_TRUE(pushed);

    const std::string log = Stop();
    const std::string locked = "認証に続けて失敗したため 127.0.0.2 からの接続を 60 秒間拒否します";
    const auto first = log.find(locked);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(locked, first + 1), std::string::npos) << log;
    EXPECT_GT(Stored("address.ini"), 0);
}

}  // namespace
}  // namespace sorvanto
