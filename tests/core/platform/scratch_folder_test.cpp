// Where the tests' scratch folders lie: a run cut short must leave nothing behind in the
// system's temporary folder.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

class ScratchFolderTest : public test::TempHome {};

TEST_F(ScratchFolderTest, LiesInTheBuildTreeNotInTheSystemsTemporaryFolder) {
    if (SORVANTO_TARGET_WINDOWS) {
        // Under wine the temporary folder is inside the prefix, in the build tree; one folder
        // of our own there holds every scratch folder.
        EXPECT_EQ(stdfs::path(Home()).parent_path().filename(), "sorvanto-tests");
        return;
    }
    const stdfs::path build = stdfs::weakly_canonical(SORVANTO_BINARY_DIR);
    const stdfs::path home = stdfs::weakly_canonical(Home());
    const auto [b, h] = std::mismatch(build.begin(), build.end(), home.begin(), home.end());
    EXPECT_TRUE(b == build.end()) << home << " is not under " << build;
    EXPECT_NE(home.parent_path(), stdfs::weakly_canonical(stdfs::temp_directory_path()));
}

}  // namespace
}  // namespace sorvanto
