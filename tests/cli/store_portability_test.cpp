// A store written by one system's build opens in the other's and lists the same rows. Each
// store under tests/data/portable/ was written by sorvanto-cli importing the N504i(S) samples,
// one on Linux and one under Windows, and its .list file is that system's `list` of every
// category. The Linux and the Windows test runs both check both stores.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

constexpr const char* kCategories[] = {"melody", "picture", "bookmark", "outmail", "inmail", "address", "mypic"};

class StorePortabilityTest : public test::TempHome, public ::testing::WithParamInterface<const char*> {
protected:
    // Every category's `list`, each under a header line of its name.
    std::string ListAll(const stdfs::path& home) {
        std::string all;
        for (const char* category : kCategories) {
            const auto r = test::Run({SORVANTO_CLI, "--home", home.string(), "list", category});
            EXPECT_EQ(r.exit_code, 0) << category << ": " << r.err;
            all += std::string("== ") + category + "\n" + r.out;
        }
        return all;
    }
};

TEST_P(StorePortabilityTest, ListsTheRowsItsWriterListed) {
    const stdfs::path source = test::DataPath(std::string("portable/") + GetParam());
    ASSERT_TRUE(stdfs::is_directory(source)) << source.string();
    const stdfs::path home = Home() / "home";
    stdfs::copy(source, home, stdfs::copy_options::recursive);
    const std::string expected = test::ReadFileBytes(source.string() + ".list");
    ASSERT_NE(expected.find("== address\n"), std::string::npos);
    const std::string listed = ListAll(home);
    EXPECT_EQ(listed, expected);
    // Every category has rows: an empty listing on both sides would prove nothing.
    for (const char* category : kCategories) {
        const std::string header = std::string("== ") + category + "\n";
        const std::size_t at = listed.find(header);
        ASSERT_NE(at, std::string::npos) << category;
        const std::size_t rows = at + header.size();
        const std::size_t next = listed.find("== ", rows);
        EXPECT_GT((next == std::string::npos ? listed.size() : next) - rows, 0u) << category << " listed no row";
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, StorePortabilityTest, ::testing::Values("linux", "windows"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace sorvanto
