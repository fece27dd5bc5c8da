// The receiving program killed outright at random moments while the handset emulator pushes a
// long run of phone books: after every restart, each entry whose registration was logged must
// be in the store, and every index file must be whole.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/ini_file.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono_literals;

const char* const kIndexFiles[] = {"mldfile.ini", "picture.ini", "bookmk.ini", "outmail.ini",
                                   "inmail.ini",  "address.ini", "MyPic.ini"};

std::string PhoneBook(int book, int entries) {
    std::string text;
    for (int e = 0; e < entries; ++e)
        text += "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:B" + std::to_string(book) + "E" + std::to_string(e) +
                ";;;;\r\nTEL;CELL:090-0000-" + std::to_string(1000 + e) + "\r\nX-DIF:0001\r\nEND:VCARD\r\n";
    return text;
}

// Names in "アドレス[NAME]を登録しました" lines (UTF-8, as the cli prints them).
std::set<std::string> LoggedNames(const std::string& log) {
    static const std::string open = "アドレス[", close = "]を登録しました";
    std::set<std::string> names;
    for (std::size_t at = log.find(open); at != std::string::npos; at = log.find(open, at + 1)) {
        const std::size_t end = log.find(close, at);
        if (end == std::string::npos) break;
        names.insert(log.substr(at + open.size(), end - at - open.size()));
    }
    return names;
}

class DurabilityTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        port_ = test::FreePort();
        home_ = Home() / "home";
        stdfs::create_directories(home_);
        test::WriteFileBytes(home_ / "Sorvanto.ini",
                             "[System]\r\nModel=0\r\n[Link]\r\nTransport=tcp\r\nListenPort=" + std::to_string(port_) + "\r\n");
    }
    void TearDown() override {
        StopReceiver(false);
        TempHome::TearDown();
    }

    void StartReceiver() {
        const auto out = Home() / ("receive" + std::to_string(runs_++) + ".out");
        pid_ = test::Spawn({SORVANTO_CLI, "--home", home_.string(), "receive", "--timeout", "120"}, out,
                           Home() / "receive.err");
        ASSERT_GT(pid_, 0);
        ASSERT_TRUE(test::WaitForListener(port_, 10000)) << test::ReadFileBytes(Home() / "receive.err");
    }
    // Ends the receiver: asked to stop as a user would (graceful), or killed at once.
    int StopReceiver(bool graceful) {
        if (pid_ <= 0) return -1;
        if (graceful) {
            RequestStop(pid_);
        } else {
            KillProcess(pid_);
            pid_ = -1;
            return -1;
        }
        const int code = test::WaitExit(pid_, 10000);
        pid_ = -1;
        return code;
    }

    std::set<std::string> AllLogged() {
        std::set<std::string> names;
        for (int i = 0; i < runs_; ++i) {
            const auto more = LoggedNames(test::ReadFileBytes(Home() / ("receive" + std::to_string(i) + ".out")));
            names.insert(more.begin(), more.end());
        }
        return names;
    }

    // Every index parses: Count sections Item0.. exist, no stray one beyond, every file named exists.
    void ExpectIndexesWhole() {
        for (const char* name : kIndexFiles) {
            if (!stdfs::exists(home_ / name)) continue;
            IniFile index((home_ / name).string());
            const int count = index.GetInt("System", "Count", -1);
            EXPECT_GE(count, 0) << name;
            int sections = 0;
            for (const auto& s : index.Sections())
                if (s.rfind("Item", 0) == 0) ++sections;
            EXPECT_EQ(sections, count) << name;
            for (int i = 0; i < count; ++i) {
                const std::string section = "Item" + std::to_string(i);
                EXPECT_TRUE(index.HasSection(section)) << name << ' ' << section;
                for (const char* key : {"File", "Path"}) {
                    const std::string file = index.GetString(section, key);
                    if (index.HasKey(section, key)) {
                        EXPECT_TRUE(stdfs::exists(home_ / fs::NativePath(file))) << file;
                    }
                }
            }
        }
    }

    std::set<std::string> StoredNames() {
        std::set<std::string> names;
        IniFile index((home_ / "address.ini").string());
        const int n = index.GetInt("System", "Count");
        for (int i = 0; i < n; ++i) {
            const std::string file = index.GetString("Item" + std::to_string(i), "File");
            names.insert(IniFile((home_ / fs::NativePath(file)).string()).GetString("System", "Name"));
        }
        return names;
    }

    int port_ = 0;
    stdfs::path home_;
    test::Pid pid_ = -1;
    int runs_ = 0;
};

TEST_F(DurabilityTest, KilledReceiverLosesNoLoggedRegistration) {
    constexpr int kBooks = 30, kEntries = 60, kKills = 8;
    for (int b = 0; b < kBooks; ++b) test::WriteFileBytes(Home() / ("book" + std::to_string(b)), PhoneBook(b, kEntries));
    StartReceiver();

    // The handset pushes the books one after another; a push that meets a dead receiver is
    // tried again, as a user would.
    std::atomic<int> pushed{0};
    std::atomic<bool> stop{false};
    std::thread pusher([&] {
        for (int b = 0; b < kBooks && !stop; ++b) {
            while (!stop) {
                const auto r = test::Run({SORVANTO_HANDSET, "push", (Home() / ("book" + std::to_string(b))).string(),
                                          "--name", "telecom/pb.vcf", "--to", "127.0.0.1:" + std::to_string(port_)},
                                         15000);
                if (r.exit_code == 0) break;
                std::this_thread::sleep_for(50ms);
            }
            ++pushed;
            std::this_thread::sleep_for(250ms);  // a person pushes the next book
        }
    });
    struct Joiner {
        std::thread& t;
        std::atomic<bool>& stop;
        ~Joiner() {
            stop = true;
            if (t.joinable()) t.join();
        }
    } joiner{pusher, stop};

    std::mt19937 rng(7);
    for (int k = 0; k < kKills && pushed < kBooks; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200 + rng() % 1300));
        StopReceiver(false);
        ExpectIndexesWhole();
        StartReceiver();
    }
    // Under wine each push starts a Windows process: on a loaded machine the books still
    // coming may take a minute or more.
    const auto end = std::chrono::steady_clock::now() + 120s;
    while (pushed < kBooks && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(100ms);
    ASSERT_EQ(pushed, kBooks);
    // One more book after the last restart must arrive whole.
    test::WriteFileBytes(Home() / "final", PhoneBook(999, kEntries));
    ASSERT_EQ(test::Run({SORVANTO_HANDSET, "push", (Home() / "final").string(), "--name", "telecom/pb.vcf", "--to",
                         "127.0.0.1:" + std::to_string(port_)})
                  .exit_code,
              0);
    std::this_thread::sleep_for(2500ms);  // the last import tick
    EXPECT_EQ(StopReceiver(true), 0);

    ExpectIndexesWhole();
    const auto logged = AllLogged();
    const auto stored = StoredNames();
    EXPECT_GT(logged.size(), static_cast<std::size_t>(kEntries));
    for (const auto& name : logged) EXPECT_TRUE(stored.count(name)) << name << " was logged but is not stored";
    for (int e = 0; e < kEntries; ++e) EXPECT_TRUE(stored.count("B999E" + std::to_string(e))) << e;
}

}  // namespace
}  // namespace sorvanto
