// The command-line tool shows pictographs as the emoji the desktop shows, never as the
// private-use characters code page 932 gives them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

// U+E63E.. in UTF-8 starts with EE 98..9D: none of it may reach the terminal.
bool HasPrivateUse(const std::string& s) {
    for (char second : std::string("\x98\x99\x9A\x9B\x9C\x9D"))
        if (s.find(std::string("\xEE") + second) != std::string::npos) return true;
    return false;
}

class CliPictographTest : public test::TempHome {};

TEST_F(CliPictographTest, ListInfoAndLogLinesShowEmoji) {
    const auto home = Home() / "home";
    stdfs::create_directories(home);
    test::WriteFileBytes(home / "Sorvanto.ini", "[System]\r\nModel=1\r\n");
    // A pushed bookmark whose title is the sun, "i-mode" (a logo without an emoji) and text.
    test::WriteFileBytes(Home() / "bm.url",
                         "BEGIN:VBKM\r\nVERSION:1.0\r\nURL:http://example.com/\r\n"
                         "TITLE;CHARSET=SHIFT_JIS:\xF8\x9F\xF9\x75\x8B\xC8\r\nEND:VBKM\r\n");
    const auto import =
        test::Run({SORVANTO_CLI, "--home", home.string(), "import", (Home() / "bm.url").string()});
    ASSERT_EQ(import.exit_code, 0) << import.err;
    EXPECT_NE(import.out.find("\u2600\u24D8曲"), std::string::npos) << import.out;  // the log line
    EXPECT_FALSE(HasPrivateUse(import.out));

    const auto list = test::Run({SORVANTO_CLI, "--home", home.string(), "list", "bookmark"});
    ASSERT_EQ(list.exit_code, 0) << list.err;
    EXPECT_EQ(list.out.rfind("\u2600\u24D8曲\thttp://example.com/\t", 0), 0u) << list.out;
    EXPECT_FALSE(HasPrivateUse(list.out));

    // The sample melody with its title "テスト曲" turned into heart, "#" keycap, "曲" (same length).
    std::string mld = test::ReadFileBytes(test::DataPath("mld/sample.mld"));
    const std::string title = "\x83\x65\x83\x58\x83\x67\x8B\xC8";
    const auto at = mld.find(title);
    ASSERT_NE(at, std::string::npos);
    mld.replace(at, title.size(),
                "\xF9\x91\xF9\x85\x8B\xC8"
                "ab");
    test::WriteFileBytes(Home() / "m.mld", mld);
    const auto info =
        test::Run({SORVANTO_CLI, "--home", home.string(), "mld", "info", (Home() / "m.mld").string()});
    ASSERT_EQ(info.exit_code, 0) << info.err;
    EXPECT_NE(info.out.find("\u2764#\u20E3曲ab"), std::string::npos) << info.out;
    EXPECT_FALSE(HasPrivateUse(info.out));
}

}  // namespace
}  // namespace sorvanto
