#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace sorvanto::test {

// A fresh working folder for one test: the process changes into it for the test's duration,
// because every stored path is relative to the working folder.
class TempHome : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& Home() const { return home_; }

private:
    std::filesystem::path home_;
    std::filesystem::path previous_;
};

// Where the tests' scratch folders go: "test-tmp" in the build tree, created on first use. A run
// cut short leaves its folders there, not in the system's temporary folder, and no test
// program ever removes another's (ctest runs several at once); removing the folder while no
// test runs is safe.
std::filesystem::path ScratchRoot();

// Whether file names may hold control characters (CR, LF, tab, 0x01). Linux takes them; Windows
// refuses them, so there a name that holds one cannot be stored at all.
bool FileNamesTakeControlCharacters();
bool HasControlCharacter(const std::string& name);

// This test program's own path, absolute, for tests that start it again as a child.
std::string SelfPath();

// Path of a fixture under tests/data.
std::filesystem::path DataPath(const std::string& relative);

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace sorvanto::test
