#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "pictograph/eudc_registration.h"

namespace sorvanto {
namespace {

// Windows paths match without regard to case.
std::string Key(std::string_view path) {
    std::string key(path);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return key;
}

// A Windows system in memory: files by path, the registry value, EnableEUDC's calls.
class FakeEudcPlatform : public EudcPlatform {
public:
    std::map<std::string, std::string> files;
    std::optional<std::string> registry;
    std::string windows = "C:\\WINDOWS";
    bool has_enable = true;
    std::vector<bool> enable_calls;
    std::set<std::string> failing_targets;

    void Put(std::string_view path, std::string bytes) { files[Key(path)] = std::move(bytes); }
    std::string Get(std::string_view path) const {
        const auto it = files.find(Key(path));
        return it == files.end() ? "<missing>" : it->second;
    }

    bool HasEudc() const override { return true; }
    std::optional<std::string> ReadDefaultFont() const override { return registry; }
    bool WriteDefaultFont(std::string_view path) override {
        registry = std::string(path);
        return true;
    }
    std::string WindowsFolder() const override { return windows; }
    bool FileExists(std::string_view path) const override { return files.count(Key(path)) > 0; }
    std::optional<std::string> ReadFile(std::string_view path) const override {
        if (!FileExists(path)) return std::nullopt;
        return Get(path);
    }
    bool CopyFile(std::string_view from, std::string_view to) override {
        if (!FileExists(from) || failing_targets.count(Key(to))) return false;
        files[Key(to)] = Get(from);
        return true;
    }
    bool HasEnableEudc() const override { return has_enable; }
    bool EnableEudc(bool enable) override {
        enable_calls.push_back(enable);
        return true;
    }
};

class EudcRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.Put(".\\svEUDC.TTE", "own tte");
        platform.Put(".\\svEUDC.EUF", "own euf");
        platform.Put("C:\\WINDOWS\\fonts\\EUDC.TTE", "user tte");
        platform.Put("C:\\WINDOWS\\fonts\\EUDC.EUF", "user euf");
    }
    void ExpectOwnFontInstalled() {
        EXPECT_EQ(platform.Get("C:\\WINDOWS\\fonts\\EUDC.TTE"), "own tte");
        EXPECT_EQ(platform.Get("C:\\WINDOWS\\fonts\\EUDC.EUF"), "own euf");
        EXPECT_EQ(platform.registry, std::optional<std::string>("C:\\WINDOWS\\fonts\\EUDC.TTE"));
    }

    FakeEudcPlatform platform;
    EudcRegistration registration{platform};
};

TEST_F(EudcRegistrationTest, BareFileNameIsBackedUpFromTheFontsFolder) {
    platform.registry = "EUDC.TTE";
    platform.windows = "C:\\WINDOWS\\";  // a trailing backslash is dropped
    EXPECT_TRUE(registration.HasPreviousFont());
    const auto result = registration.Register();
    EXPECT_TRUE(result.backed_up);
    EXPECT_TRUE(result.installed);
    EXPECT_EQ(platform.Get(".\\OldEUDC.TTE"), "user tte");
    EXPECT_EQ(platform.Get(".\\OldEUDC.EUF"), "user euf");
    ExpectOwnFontInstalled();
    EXPECT_EQ(platform.enable_calls, (std::vector<bool>{false, true}));
}

TEST_F(EudcRegistrationTest, FullPathOnAnotherDriveIsBackedUpFromItsFolder) {
    platform.registry = "D:\\MyFonts\\GAIJI.TTE";
    platform.Put("D:\\MyFonts\\GAIJI.TTE", "gaiji tte");
    platform.Put("D:\\MyFonts\\GAIJI.EUF", "gaiji euf");
    EXPECT_TRUE(registration.Register().installed);
    EXPECT_EQ(platform.Get(".\\OldEUDC.TTE"), "gaiji tte");
    EXPECT_EQ(platform.Get(".\\OldEUDC.EUF"), "gaiji euf");
    ExpectOwnFontInstalled();
    EXPECT_EQ(platform.Get("D:\\MyFonts\\GAIJI.TTE"), "gaiji tte");
}

TEST_F(EudcRegistrationTest, NoPreviousValueSkipsTheBackup) {
    EXPECT_FALSE(registration.HasPreviousFont());
    const auto result = registration.Register();
    EXPECT_FALSE(result.had_previous);
    EXPECT_TRUE(result.installed);
    EXPECT_FALSE(platform.FileExists(".\\OldEUDC.TTE"));
    EXPECT_FALSE(platform.FileExists(".\\OldEUDC.EUF"));
    ExpectOwnFontInstalled();
}

TEST_F(EudcRegistrationTest, RegisteringTwiceKeepsTheUsersBackup) {
    platform.registry = "EUDC.TTE";
    registration.Register();
    const auto second = registration.Register();
    EXPECT_TRUE(second.kept_backups);
    EXPECT_TRUE(second.installed);
    EXPECT_EQ(platform.Get(".\\OldEUDC.TTE"), "user tte");
    EXPECT_EQ(platform.Get(".\\OldEUDC.EUF"), "user euf");
    ExpectOwnFontInstalled();
}

TEST_F(EudcRegistrationTest, ValueLengthsFollowTheReadBuffers) {
    // 255 bytes fit both buffers; 256 to 259 only the registration's.
    platform.registry = std::string(255, 'A');
    EXPECT_TRUE(registration.HasPreviousFont());
    platform.registry = "D:\\" + std::string(252, 'A') + ".TTE";
    ASSERT_EQ(platform.registry->size(), 259u);
    platform.Put(platform.registry->substr(0, 255) + ".TTE", "long tte");
    EXPECT_FALSE(registration.HasPreviousFont());
    EXPECT_TRUE(registration.Register().had_previous);
    EXPECT_EQ(platform.Get(".\\OldEUDC.TTE"), "long tte");
    platform.registry = std::string(260, 'A');
    EXPECT_FALSE(registration.Register().had_previous);
}

TEST_F(EudcRegistrationTest, WithoutEnableEudcOnlyTheBackupIsMade) {
    platform.registry = "EUDC.TTE";
    platform.has_enable = false;
    const auto result = registration.Register();
    EXPECT_TRUE(result.backed_up);
    EXPECT_FALSE(result.installed);
    EXPECT_EQ(platform.Get(".\\OldEUDC.TTE"), "user tte");
    EXPECT_EQ(platform.Get("C:\\WINDOWS\\fonts\\EUDC.TTE"), "user tte");
    EXPECT_EQ(platform.registry, std::optional<std::string>("EUDC.TTE"));
    EXPECT_TRUE(platform.enable_calls.empty());
}

TEST_F(EudcRegistrationTest, NothingIsReplacedWhenTheUsersFontsWouldBeLost) {
    platform.registry = "EUDC.TTE";
    platform.failing_targets.insert(Key(".\\OldEUDC.TTE"));
    EXPECT_TRUE(registration.Register().skipped_unsafe);
    EXPECT_EQ(platform.Get("C:\\WINDOWS\\fonts\\EUDC.TTE"), "user tte");
    EXPECT_TRUE(platform.enable_calls.empty());

    // A previous value whose files are gone has nothing to lose: the backup is just skipped.
    platform.failing_targets.clear();
    platform.registry = "D:\\Gone\\GAIJI.TTE";
    EXPECT_TRUE(registration.Register().installed);

    // Without the program's own pair, the working system font stays.
    FakeEudcPlatform bare;
    bare.Put("C:\\WINDOWS\\fonts\\EUDC.TTE", "user tte");
    EXPECT_TRUE(EudcRegistration(bare).Register().skipped_unsafe);
    EXPECT_EQ(bare.Get("C:\\WINDOWS\\fonts\\EUDC.TTE"), "user tte");
    EXPECT_FALSE(bare.registry);
}

TEST(EudcRegistration, PathsOfPreviousValues) {
    EXPECT_EQ(EudcRegistration::AbsoluteFontPath("C:\\W\\fonts", "\\EUDC.TTE"), "C:\\W\\fonts\\EUDC.TTE");
    EXPECT_EQ(EudcRegistration::AbsoluteFontPath("C:\\W\\fonts", "x\\EUDC.TTE"), "C:\\W\\fonts\\x\\EUDC.TTE");
    EXPECT_EQ(EudcRegistration::AbsoluteFontPath("C:\\W\\fonts", "d:EUDC.TTE"), "d:EUDC.TTE");
    EXPECT_EQ(EudcRegistration::WithoutExtension("D:\\My.Fonts\\GAIJI"), "D:\\My.Fonts\\GAIJI");
    EXPECT_EQ(EudcRegistration::WithoutExtension("D:\\My.Fonts\\GAIJI.tte"), "D:\\My.Fonts\\GAIJI");
}

TEST(EudcRegistration, SystemWithoutEudcRegistersNothing) {
    NoEudcPlatform none;
    EudcRegistration registration(none);
    EXPECT_FALSE(registration.Available());
    EXPECT_FALSE(registration.HasPreviousFont());
    const auto result = registration.Register();
    EXPECT_FALSE(result.installed || result.backed_up || result.skipped_unsafe);
}

}  // namespace
}  // namespace sorvanto
