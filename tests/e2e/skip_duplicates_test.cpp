// A handset pushing the same samples twice into `sorvanto-cli receive`: with "SkipDuplicates"
// on, the second push changes nothing and each item is logged as already stored; off (the
// default), every item is registered a second time.
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kSamples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples";
const char* const kIndexFiles[] = {"mldfile.ini", "picture.ini", "bookmk.ini", "outmail.ini",
                                   "inmail.ini",  "address.ini", "MyPic.ini"};

int Occurrences(const std::string& text, const std::string& word) {
    int n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

class SkipDuplicatesTest : public test::TempHome, public ::testing::WithParamInterface<int> {
protected:
    // Every index file's bytes, one after the other.
    std::string Indexes() const {
        std::string all;
        for (const char* index : kIndexFiles) all += test::ReadFileBytes(home_ / index) + "\n--\n";
        return all;
    }
    int Stored() const {
        int n = 0;
        for (const char* index : kIndexFiles) n += IniFile((home_ / index).string()).GetInt("System", "Count", 0);
        return n;
    }
    // Pushes the family's samples and waits for the import tick.
    void Push(int port) {
        const auto push = test::Run({SORVANTO_HANDSET, "push-sample", "family1", "--to",
                                     "127.0.0.1:" + std::to_string(port), "--dir", kSamples.string()});
        ASSERT_EQ(push.exit_code, 0) << push.out << push.err;
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    }

    stdfs::path home_;
};

TEST_P(SkipDuplicatesTest, SecondPushOfTheSameSamples) {
    const int skip = GetParam();
    const int port = test::FreePort();
    home_ = Home() / "home";
    stdfs::create_directories(home_);
    test::WriteFileBytes(home_ / "Sorvanto.ini", "[System]\r\nModel=1\r\nSkipDuplicates=" + std::to_string(skip) +
                                                     "\r\n[Link]\r\nTransport=tcp\r\nListenPort=" + std::to_string(port) + "\r\n");
    const test::Pid receiver = test::Spawn({SORVANTO_CLI, "--home", home_.string(), "receive", "--timeout", "60"},
                                       Home() / "receive.out", Home() / "receive.err");
    ASSERT_GT(receiver, 0);
    struct Reaper {
        test::Pid pid;
        ~Reaper() {
            if (pid > 0) KillProcess(pid);
        }
    } reaper{receiver};
    ASSERT_TRUE(test::WaitForListener(port, 10000)) << test::ReadFileBytes(Home() / "receive.err");

    Push(port);
    const std::string after_first = Indexes();
    const int first = Stored();
    // The sample set itself repeats items (a single entry and the whole book holding it), so
    // with the setting on some are skipped already in the first push.
    const std::string first_log = test::ReadFileBytes(Home() / "receive.out");
    const int first_skipped = Occurrences(first_log, "は登録済みです");
    const int pushed = Occurrences(first_log, "を登録しました") + first_skipped;
    ASSERT_GT(first, 5);
    Push(port);
    RequestStop(receiver);
    ASSERT_EQ(test::WaitExit(receiver, 10000), 0);
    reaper.pid = -1;

    const std::string log = test::ReadFileBytes(Home() / "receive.out");
    if (skip) {
        EXPECT_EQ(Indexes(), after_first);
        EXPECT_GT(first_skipped, 0);
        EXPECT_EQ(Occurrences(log, "を登録しました"), first);
        EXPECT_EQ(Occurrences(log, "は登録済みです") - first_skipped, pushed) << log;
        EXPECT_NE(log.find("アドレス[山田 太郎]は登録済みです"), std::string::npos) << log;
    } else {
        EXPECT_EQ(pushed, first);
        EXPECT_EQ(Stored(), 2 * first);
        EXPECT_EQ(Occurrences(log, "を登録しました"), 2 * first);
        EXPECT_EQ(Occurrences(log, "は登録済みです"), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Setting, SkipDuplicatesTest, ::testing::Values(1, 0));

TEST(SkipDuplicatesCli, ImportTakesTheFlagOverTheSetting) {
    const auto home = test::ScratchRoot() / ("sorvanto-skip-" + std::to_string(::getpid()));
    stdfs::remove_all(home);
    stdfs::create_directories(home);
    const std::string pb = (kSamples / "family1" / "telecom_pb.vcf").string();
    auto run = [&](bool flag) {
        std::vector<std::string> argv{SORVANTO_CLI, "--home", home.string(), "--model", "1", "import"};
        if (flag) argv.push_back("--skip-duplicates");
        argv.push_back(pb);
        return test::Run(argv);
    };
    const auto first = run(true);
    ASSERT_EQ(first.exit_code, 0) << first.err;
    const int entries = Occurrences(first.out, "を登録しました");
    ASSERT_GT(entries, 0);
    const auto again = run(true);
    EXPECT_EQ(Occurrences(again.out, "は登録済みです"), entries) << again.out;
    EXPECT_EQ(Occurrences(again.out, "を登録しました"), 0);
    const auto doubled = run(false);
    EXPECT_EQ(Occurrences(doubled.out, "を登録しました"), entries);
    EXPECT_EQ(IniFile((home / "address.ini").string()).GetInt("System", "Count", 0), 2 * entries);
    stdfs::remove_all(home);
}

}  // namespace
}  // namespace sorvanto
