// The infrared mode 0 command line: the file is one argument whatever its name holds, and
// nothing in it is ever read as a command.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/launch_process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

class SafetyCommandTest : public test::TempHome {};

TEST_F(SafetyCommandTest, HostileFileNamesStayOneArgument) {
    for (const std::string file : {"a b;touch pwned", "$(touch pwned)", "`touch pwned`", "x\" && touch pwned \"",
                                   "{file}", "-rf", "line\nbreak"}) {
        const auto args = CommandArguments("obexftp -p {file} --to={file}", file);
        ASSERT_EQ(args.size(), 4u) << file;
        EXPECT_EQ(args[2], file);
        EXPECT_EQ(args[3], "--to=" + file);  // a "{file}" inside the file name is not expanded again
    }
}

TEST_F(SafetyCommandTest, LaunchedCommandSeesNoShell) {
    if (!std::filesystem::exists("/bin/echo")) GTEST_SKIP() << "no /bin/echo (Windows): see ArgumentsArriveUnchanged";
    // /bin/echo writes its arguments; a shell would have run the touch instead.
    ASSERT_TRUE(LaunchProcess(CommandArguments("/bin/echo", "x;touch pwned2 $(touch pwned3)")));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(std::filesystem::exists("pwned2"));
    EXPECT_FALSE(std::filesystem::exists("pwned3"));
    EXPECT_FALSE(LaunchProcess({}));
    EXPECT_FALSE(LaunchProcess(CommandArguments("   ", "f")));
}

// Hostile arguments, for both the POSIX vector and the Windows command line.
const std::vector<std::string> kHostile = {"x & echo pwned > pwned2", "a\"b c", "trail\\", "q\\\"q", "", "%PATH%",
                                           "$(touch pwned3)", "two  blanks", "tab\tin"};

TEST(WindowsCommandLineTest, QuotesByTheRuntimesRules) {
    EXPECT_EQ(WindowsCommandLine({"irftp", "/h", "C:\\Sorvanto\\TmpFiles\\a.vcf"}), "irftp /h C:\\Sorvanto\\TmpFiles\\a.vcf");
    EXPECT_EQ(WindowsCommandLine({"p", "a b", ""}), "p \"a b\" \"\"");
    // A quote inside is escaped; backslashes count only before a quote or the closing quote.
    EXPECT_EQ(WindowsCommandLine({"p", "a\"b"}), "p \"a\\\"b\"");
    EXPECT_EQ(WindowsCommandLine({"p", "c:\\x y\\"}), "p \"c:\\x y\\\\\"");
    EXPECT_EQ(WindowsCommandLine({"p", "a\\\\b"}), "p a\\\\b");
    EXPECT_EQ(WindowsCommandLine({"p", "q\\\"q"}), "p \"q\\\\\\\"q\"");
}

// Started only by the test below: writes the arguments it was given, one per line, into
// "args.txt" of its working folder.
TEST(LaunchChild, DISABLED_WriteArguments) {
    const auto& argv = ::testing::internal::GetArgvs();
    std::string out;
    for (std::size_t i = 1; i < argv.size(); ++i)
        if (argv[i].rfind("--gtest_", 0) != 0) out += "[" + argv[i] + "]\n";
    test::WriteFileBytes("args.txt.tmp", out);
    std::filesystem::rename("args.txt.tmp", "args.txt");
}

TEST_F(SafetyCommandTest, ArgumentsArriveUnchanged) {
    std::vector<std::string> argv = {test::SelfPath(),
                                     "--gtest_filter=LaunchChild.DISABLED_WriteArguments",
                                     "--gtest_also_run_disabled_tests"};
    argv.insert(argv.end(), kHostile.begin(), kHostile.end());
    ASSERT_TRUE(LaunchProcess(argv));
    std::string expected;
    for (const auto& a : kHostile) expected += "[" + a + "]\n";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists("args.txt") && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(test::ReadFileBytes("args.txt"), expected);
    EXPECT_FALSE(std::filesystem::exists("pwned2"));
    EXPECT_FALSE(std::filesystem::exists("pwned3"));
}

}  // namespace
}  // namespace sorvanto
