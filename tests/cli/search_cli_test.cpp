// `sorvanto-cli search` and `duplicates` on a store made by importing the samples.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

class SearchCliTest : public test::TempHome {
protected:
    test::RunResult Cli(std::vector<std::string> args) {
        std::vector<std::string> argv{SORVANTO_CLI, "--home", (Home() / "home").string(), "--model", "1"};
        argv.insert(argv.end(), args.begin(), args.end());
        return test::Run(argv);
    }
    void SetUp() override {
        test::TempHome::SetUp();
        const auto samples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / "family1";
        // The whole phone book twice: every entry is doubled.
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(Cli({"import", (samples / "telecom_pb.vcf").string(), (samples / "telecom_bm.url").string()})
                          .exit_code,
                      0);
    }
};

TEST_F(SearchCliTest, PrintsCategoryPositionAndRowTexts) {
    const auto r = Cli({"search", "ﾔﾏﾀﾞ"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // Both copies of 山田 太郎, at the positions `send` takes.
    EXPECT_EQ(r.out.find("address\t0\t山田 太郎\tヤマダ タロウ\t"), 0u) << r.out;
    EXPECT_NE(r.out.find("\naddress\t3\t山田 太郎\t"), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);

    const auto number = Cli({"search", "+81 80 2222 3333", "--category", "address"});
    EXPECT_NE(number.out.find("address\t1\t佐藤 花子"), std::string::npos) << number.out;
    EXPECT_EQ(Cli({"search", "ドコモ", "--category", "address"}).out, "");
    EXPECT_NE(Cli({"search", "ドコモ"}).out.find("bookmark\t0\t"), std::string::npos);
}

TEST_F(SearchCliTest, NumberedListRowsStartWithThePositionSendTakes) {
    const auto plain = Cli({"list", "address"});
    const auto numbered = Cli({"list", "address", "--numbered"});
    ASSERT_EQ(numbered.exit_code, 0) << numbered.err;
    std::istringstream plain_lines(plain.out);
    std::istringstream numbered_lines(numbered.out);
    std::string a, b;
    int position = 0;
    while (std::getline(plain_lines, a)) {
        ASSERT_TRUE(std::getline(numbered_lines, b));
        EXPECT_EQ(b, std::to_string(position) + "\t" + a);
        ++position;
    }
    EXPECT_FALSE(std::getline(numbered_lines, b));
    EXPECT_GT(position, 3);
    // The second copy of 山田 太郎, where search finds it.
    EXPECT_NE(numbered.out.find("\n3\t山田 太郎\t"), std::string::npos) << numbered.out;
    EXPECT_EQ(Cli({"list", "--numbered"}).exit_code, 2);
}

TEST_F(SearchCliTest, BadSearchTextsAndUsage) {
    EXPECT_EQ(Cli({"search", ""}).exit_code, 2);
    EXPECT_EQ(Cli({"search", "　"}).exit_code, 2);
    const auto euro = Cli({"search", "€"});
    EXPECT_EQ(euro.exit_code, 1);
    EXPECT_NE(euro.err.find("Shift_JIS"), std::string::npos);
    const auto longest = Cli({"search", std::string(10000, 'x')});
    EXPECT_EQ(longest.exit_code, 0);
    EXPECT_EQ(longest.out, "");
    EXPECT_EQ(Cli({"search", "a", "--category", "nothing"}).exit_code, 2);
    EXPECT_EQ(Cli({"duplicates", "extra"}).exit_code, 2);
}

TEST_F(SearchCliTest, DuplicatesListsNumberedGroups) {
    const auto r = Cli({"duplicates"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("1\tbookmark\t0\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1\tbookmark\t2\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\taddress\t0\t山田 太郎"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\taddress\t3\t山田 太郎"), std::string::npos) << r.out;
    const auto only = Cli({"duplicates", "--category", "address"});
    EXPECT_EQ(std::count(only.out.begin(), only.out.end(), '\n'), 6) << only.out;
    EXPECT_EQ(only.out.find("1\taddress\t0\t"), 0u);
}

}  // namespace
}  // namespace sorvanto
