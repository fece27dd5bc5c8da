// The system-specific layers, run by both the Linux and the Windows build.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/fs.h"
#include "platform/midi_mapper.h"
#include "platform/os_version.h"
#include "platform/periodic_timer.h"
#include "platform/single_instance.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

class SingleInstanceTest : public test::TempHome {
#ifndef _WIN32
    // The lock files stay where they are made (removing one could let a second holder in), so
    // the test makes them in its own folder, not in /tmp.
    void SetUp() override {
        TempHome::SetUp();
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        had_ = old != nullptr;
        if (had_) previous_ = old;
        setenv("XDG_RUNTIME_DIR", std::filesystem::absolute(Home()).string().c_str(), 1);
    }
    void TearDown() override {
        if (had_) setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");
        TempHome::TearDown();
    }
    bool had_ = false;
    std::string previous_;
#endif
};

TEST_F(SingleInstanceTest, SecondHolderOfTheNameIsRefusedUntilTheFirstGoes) {
    const std::string name = "Sorvanto_Test_" + std::to_string(std::random_device{}());
    {
        SingleInstance first(name);
        ASSERT_TRUE(first.IsFirst());
        SingleInstance second(name);
        EXPECT_FALSE(second.IsFirst());
        SingleInstance other(name + "_other");
        EXPECT_TRUE(other.IsFirst());
    }
    SingleInstance again(name);
    EXPECT_TRUE(again.IsFirst());
}

TEST(OsVersionTest, WindowsVersionsMapToTheProgramsCodes) {
    const struct {
        int platform, major, minor, code, family;
    } cases[] = {{0, 3, 10, 1, 1}, {1, 4, 0, 3, 2}, {1, 4, 10, 4, 2}, {2, 3, 51, 2, 3},
                 {2, 4, 0, 5, 3},  {2, 5, 0, 6, 3}, {2, 5, 1, 6, 3},  {2, 10, 0, 7, 3}};
    for (const auto& c : cases) {
        const auto a = OsVersion::FromWindowsVersion(c.platform, c.major, c.minor);
        EXPECT_EQ(a.code, c.code) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(a.family, c.family) << c.platform << " " << c.major << "." << c.minor;
    }
    EXPECT_EQ(OsVersion::FromWindowsVersion(3, 1, 0).code, 0);
    // Every system this builds for offers the program's own OBEX server.
    EXPECT_EQ(OsVersion::FromSystem().family, OsVersion::kFamilyNt);
}

TEST(MidiMapperTest, ShortMessagesFoldSlotsOntoSixteenChannels) {
    EXPECT_EQ(ShortMessage({0x90, 3, 60, 100}), 0x643C93u);
    EXPECT_EQ(ShortMessage({0x80, 19, 60, 0}), 0x003C83u);  // slot 19 plays on channel 3
    EXPECT_EQ(ShortMessage({0xC0, 63, 5, 99}), 0x05CFu);    // a program change has one data byte
    EXPECT_EQ(ShortMessage({0x90, 0, 0xFF, 0xFF}), 0x7F7F90u);
}

TEST(PeriodicTimerTest, TicksAboutEveryFiveMilliseconds) {
    PeriodicTimer timer;
    std::atomic<int> ticks{0};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(timer.Start(std::chrono::microseconds(5000), [&] { ++ticks; }));
    EXPECT_FALSE(timer.Start(std::chrono::microseconds(5000), [] {}));
    while (ticks < 40 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    timer.Stop();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const int counted = ticks;
    ASSERT_GE(counted, 40);
    // 40 periods of 5 ms cannot come sooner than 195 ms; a busy machine may make them later.
    EXPECT_GE(elapsed, std::chrono::milliseconds(195));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(ticks, counted);  // none after Stop
}

class AtomicFilesTest : public test::TempHome {};

TEST_F(AtomicFilesTest, ReplaceLeavesOneWholeFileAndNoTemporary) {
    ASSERT_TRUE(fs::CreateFolder("Melody"));
    ASSERT_TRUE(fs::WriteFileAtomic(".\\mldfile.ini", "old"));
    ASSERT_TRUE(fs::WriteFileAtomic(".\\mldfile.ini", "new and longer"));
    EXPECT_EQ(test::ReadFileBytes("mldfile.ini"), "new and longer");
    ASSERT_TRUE(fs::WriteFile("Melody\\0001", "a"));
    ASSERT_TRUE(fs::WriteFile("Melody\\0002", "b"));
    EXPECT_TRUE(fs::FlushFiles("Melody", {"Melody\\0001", "Melody\\0002", "Melody\\gone"}));
    // The index written with its data files in one flush replaces the old one the same way.
    ASSERT_TRUE(fs::WriteFile("Melody\\0003", "c"));
    EXPECT_TRUE(fs::WriteFileAtomicWithFiles(".\\mldfile.ini", "with files", "Melody", {"Melody\\0003"}));
    EXPECT_EQ(test::ReadFileBytes("mldfile.ini"), "with files");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(Home())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);  // no temporary left beside the index
    // A target in a folder that does not exist fails and creates nothing.
    EXPECT_FALSE(fs::WriteFileAtomic("Missing\\x.ini", "x"));
    EXPECT_FALSE(fs::WriteFileAtomicWithFiles("Missing\\x.ini", "x", "Melody", {"Melody\\0003"}));
    EXPECT_FALSE(fs::Exists("Missing"));
}

}  // namespace
}  // namespace sorvanto
