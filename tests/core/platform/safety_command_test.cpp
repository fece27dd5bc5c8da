// The infrared mode 0 command line: the file is one argument whatever its name holds, and
// nothing in it is ever read as a command.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

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
    // /bin/echo writes its arguments; a shell would have run the touch instead.
    ASSERT_TRUE(LaunchProcess(CommandArguments("/bin/echo", "x;touch pwned2 $(touch pwned3)")));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(std::filesystem::exists("pwned2"));
    EXPECT_FALSE(std::filesystem::exists("pwned3"));
    EXPECT_FALSE(LaunchProcess({}));
    EXPECT_FALSE(LaunchProcess(CommandArguments("   ", "f")));
}

}  // namespace
}  // namespace sorvanto
