#include "support/temp_home.h"

#include <fstream>
#include <iterator>
#include <random>

namespace sorvanto::test {

void TempHome::SetUp() {
    previous_ = std::filesystem::current_path();
    std::random_device rd;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = "sorvanto-test-" + std::to_string(rd()) + "-" + std::to_string(rd());
    if (info) leaf += std::string("-") + info->name();
    for (char& c : leaf)
        if (c == '/') c = '_';
    home_ = ScratchRoot() / leaf;
    std::filesystem::create_directories(home_);
    std::filesystem::current_path(home_);
}

void TempHome::TearDown() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    if (!HasFailure()) std::filesystem::remove_all(home_, ec);
}

std::filesystem::path ScratchRoot() {
    static const std::filesystem::path root = [] {
        // The Windows build runs under wine, where the build tree is only reachable through
        // drive Z:, on which the C++ library's recursive copy into a folder fails; the
        // system's temporary folder lies inside the wine prefix, itself in the build tree.
        const auto dir = SORVANTO_TARGET_WINDOWS
                             ? std::filesystem::temp_directory_path() / "sorvanto-tests"
                             : std::filesystem::path(SORVANTO_BINARY_DIR) / "test-tmp";
        std::filesystem::create_directories(dir);
        return dir;
    }();
    return root;
}

namespace {
// Taken before any test changes the working folder.
const std::filesystem::path g_start_folder = std::filesystem::current_path();
}  // namespace

std::string SelfPath() {
    const std::filesystem::path self(::testing::internal::GetArgvs().front());
    return (self.is_absolute() ? self : g_start_folder / self).string();
}

bool FileNamesTakeControlCharacters() {
    static const bool takes = [] {
        const auto probe = ScratchRoot() / ("sorvanto-probe-\x01\t-" + std::to_string(std::random_device{}()));
        { std::ofstream out(probe); }
        std::error_code ec;
        const bool made = std::filesystem::exists(probe, ec);
        std::filesystem::remove(probe, ec);
        return made;
    }();
    return takes;
}

bool HasControlCharacter(const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20) return true;
    return false;
}

std::filesystem::path DataPath(const std::string& relative) {
    return std::filesystem::path(SORVANTO_TEST_DATA) / relative;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace sorvanto::test
