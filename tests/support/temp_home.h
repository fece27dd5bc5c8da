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

// Path of a fixture under tests/data.
std::filesystem::path DataPath(const std::string& relative);

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace sorvanto::test
