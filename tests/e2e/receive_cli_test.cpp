// A handset pushing its whole sample set into `sorvanto-cli receive`: what lands in the store
// must be what the importer makes of the same files directly.

#include <filesystem>
#include <map>
#include <thread>
#include <string>

#include <gtest/gtest.h>

#include "formats/importer_for_model.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kSamples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples";
const char* const kIndexFiles[] = {"mldfile.ini", "picture.ini", "bookmk.ini", "outmail.ini",
                                   "inmail.ini",  "address.ini", "MyPic.ini"};

// Counts the registrations an importer asks for.
class CountingSink : public ImportSink {
public:
    void AddMelody(const std::string&) override { ++count; }
    void AddBookmark(const std::string&, const std::string&) override { ++count; }
    void AddOutboxMail(const std::string&) override { ++count; }
    void AddReceivedMail(const std::string&) override { ++count; }
    void AddSentMail(const std::string&) override { ++count; }
    void AddAddress(const std::string&) override { ++count; }
    void AddStandbyPicture(const std::string&, const std::string&) override { ++count; }
    void AddCameraPicture(const std::string&, const std::string&, const std::string&) override { ++count; }
    int count = 0;
};

// The object name a sample file is pushed under.
std::string ObjectName(const std::string& file) {
    return file.rfind("telecom_", 0) == 0 ? "telecom/" + file.substr(8) : file;
}

class ReceiveCliTest : public test::TempHome, public ::testing::WithParamInterface<std::pair<int, const char*>> {
protected:
    // Imports the samples straight from files in a folder of their own.
    int DirectRegistrations(int model, const stdfs::path& family_dir) {
        const auto here = stdfs::current_path();
        const auto scratch = Home() / "direct";
        stdfs::create_directories(scratch / "TmpFiles");
        stdfs::current_path(scratch);
        CountingSink sink;
        auto importer = ImporterForModel(model, sink);
        int n = 0;
        for (const auto& e : stdfs::directory_iterator(family_dir)) {
            std::string name = ObjectName(e.path().filename().string());
            for (char& c : name)
                if (c == '/') c = '_';
            const std::string target = "TmpFiles\\" + std::to_string(10000000 + n++) + " " + name;
            stdfs::copy_file(e.path(), fs::NativePath(target));
            importer->Import(target);
        }
        stdfs::current_path(here);
        return sink.count;
    }
};

TEST_P(ReceiveCliTest, PushedSamplesLandInTheStoreAndLeaveNoWorkFiles) {
    const auto [model, family] = GetParam();
    const int port = test::FreePort();
    const auto home = Home() / "home";
    stdfs::create_directories(home);
    test::WriteFileBytes(home / "Sorvanto.ini", "[System]\r\nModel=" + std::to_string(model) +
                                                    "\r\n[Link]\r\nTransport=tcp\r\nListenPort=" + std::to_string(port) + "\r\n");
    const test::Pid receiver = test::Spawn({SORVANTO_CLI, "--home", home.string(), "receive", "--timeout", "60"},
                                       Home() / "receive.out", Home() / "receive.err");
    ASSERT_GT(receiver, 0);
    struct Reaper {
        test::Pid pid;
        ~Reaper() {
            if (pid > 0) KillProcess(pid);
        }
    } reaper{receiver};
    ASSERT_TRUE(test::WaitForListener(port, 10000)) << test::ReadFileBytes(Home() / "receive.err");
    const auto push = test::Run({SORVANTO_HANDSET, "push-sample", family, "--to", "127.0.0.1:" + std::to_string(port),
                                 "--dir", kSamples.string()});
    ASSERT_EQ(push.exit_code, 0) << push.out << push.err;
    // Imports run once a second; give the last tick time, then stop the receiver cleanly.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    RequestStop(receiver);
    const int exit_code = test::WaitExit(receiver, 10000);
    reaper.pid = -1;
    ASSERT_EQ(exit_code, 0);

    const std::string log = test::ReadFileBytes(Home() / "receive.out");
    int logged = 0;
    for (std::size_t at = log.find("を登録しました"); at != std::string::npos; at = log.find("を登録しました", at + 1))
        ++logged;
    int stored = 0;
    for (const char* index : kIndexFiles) {
        IniFile ini((home / index).string());
        const int count = ini.GetInt("System", "Count", 0);
        for (int i = 0; i < count; ++i) EXPECT_TRUE(ini.HasSection("Item" + std::to_string(i))) << index << i;
        stored += count;
    }
    const int expected = DirectRegistrations(model, kSamples / family);
    EXPECT_GT(expected, 0);
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(logged, expected) << log;

    for (const char* work : {"rdata.txt", "cnv.tmp", "cnv.mld", "cnv.msg", "addr.ini", "img.tmp", "img2.tmp"})
        EXPECT_FALSE(stdfs::exists(home / work)) << work;
    // What stays in TmpFiles is exactly what the importer leaves when it imports directly.
    std::map<std::string, int> left_e2e, left_direct;
    for (const auto& e : stdfs::directory_iterator(home / "TmpFiles")) left_e2e[e.path().filename().string().substr(9)]++;
    for (const auto& e : stdfs::directory_iterator(Home() / "direct" / "TmpFiles"))
        left_direct[e.path().filename().string().substr(9)]++;
    EXPECT_EQ(left_e2e, left_direct);
}

INSTANTIATE_TEST_SUITE_P(Families, ReceiveCliTest,
                         ::testing::Values(std::make_pair(0, "family0"), std::make_pair(1, "family1"),
                                           std::make_pair(2, "nec"), std::make_pair(4, "family4")));

class ImportCliTest : public test::TempHome {};

TEST_F(ImportCliTest, TakesPcFilesLikeDroppedOnes) {
    const auto home = Home() / "home";
    stdfs::create_directories(home);
    test::WriteFileBytes(home / "Sorvanto.ini", "[System]\r\nModel=1\r\n");
    const auto r = test::Run({SORVANTO_CLI, "--home", home.string(), "import",
                              (kSamples / "family1" / "pb.vcf").string(), (kSamples / "family1" / "mld.vnt").string()});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(IniFile((home / "address.ini").string()).GetInt("System", "Count"), 1);
    EXPECT_EQ(IniFile((home / "mldfile.ini").string()).GetInt("System", "Count"), 1);
    EXPECT_TRUE(stdfs::is_empty(home / "TmpFiles"));
    const auto missing = test::Run({SORVANTO_CLI, "--home", home.string(), "import", "no-such-file.vcf"});
    EXPECT_EQ(missing.exit_code, 1);
    const auto usage = test::Run({SORVANTO_CLI, "--home", home.string(), "import"});
    EXPECT_EQ(usage.exit_code, 2);
    const auto none = test::Run({SORVANTO_CLI, "--home", home.string(), "--model", "-1", "import",
                                 (kSamples / "family1" / "pb.vcf").string()});
    EXPECT_EQ(none.exit_code, 1);
}

}  // namespace
}  // namespace sorvanto
