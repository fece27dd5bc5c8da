// Index files are text anyone may edit or copy in from elsewhere, and the store deletes and
// rewrites the files they name: a "Dir", "File" or "Path" that leads out of the working
// folder must never make the store touch anything there.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/category_stores.h"
#include "store/receive_pump.h"
#include "store_fixture.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

class SafetyPathsTest : public test::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        // The working folder is one level down, so ".." names a place we can watch.
        stdfs::create_directories(Home() / "work");
        stdfs::current_path(Home() / "work");
        test::WriteFileBytes(Home() / "victim", kVictim);
    }
    void WriteIndex(const std::string& name, const std::string& bytes) { test::WriteFileBytes(Home() / "work" / name, bytes); }

    static constexpr const char* kVictim = "melo-and-a-mail-and-an-entry";
};

// Every way of naming the file outside, in the form each category reads.
std::string Items(const std::string& key) {
    const char* const outside[] = {"..\\victim", "../victim", "Melody\\..\\..\\victim", "/tmp/../victim", "C:..\\victim"};
    std::string text = "[System]\r\nCount=5\r\n";
    for (int i = 0; i < 5; ++i)
        text += "[Item" + std::to_string(i) + "]\r\nTitle=t\r\n" + key + "=" + outside[i] + "\r\nByte=1\r\n";
    return text;
}

TEST_F(SafetyPathsTest, ItemsNamingFilesOutsideAreDroppedAndNeverTouched) {
    WriteIndex("mldfile.ini", Items("Path"));
    WriteIndex("picture.ini", Items("Path"));
    WriteIndex("MyPic.ini", Items("Path"));
    WriteIndex("address.ini", Items("File"));
    WriteIndex("inmail.ini", Items("File"));
    WriteIndex("outmail.ini", Items("File"));
    CategoryStores stores;
    stores.LoadAll();
    for (Category c : {Category::kMelody, Category::kPicture, Category::kMyPic, Category::kAddress, Category::kInMail,
                       Category::kOutMail}) {
        CategoryStoreBase& store = stores.Of(c);
        EXPECT_EQ(store.Count(), 0) << store.IndexPath();
        ASSERT_TRUE(store.WriteBack());
        // The next start does not meet them again either.
        EXPECT_EQ(IniFile(store.IndexPath()).GetInt("System", "Count", -1), 0) << store.IndexPath();
        EXPECT_FALSE(IniFile(store.IndexPath()).HasSection("Item0")) << store.IndexPath();
    }
    EXPECT_EQ(test::ReadFileBytes(Home() / "victim"), kVictim);
}

TEST_F(SafetyPathsTest, DataFoldersOutsideFallBackToTheDefault) {
    for (const std::string dir : {"..\\", "..\\elsewhere\\", "/tmp/", "\\\\server\\share\\", "D:\\x\\", "Melody\\..\\..\\"}) {
        WriteIndex("mldfile.ini", "[System]\r\nDir=" + dir + "\r\n");
        MelodyStore store;
        ASSERT_TRUE(store.Load());
        EXPECT_EQ(store.DataFolder(), "Melody\\") << dir;
        // A registration goes into the default folder, not the one the index named.
        test::WriteFileBytes(Home() / "work" / "new.mld",
                             std::string("melo\0\0\0\x10\0\0titl\0\x02hi", 18) + std::string(4, '\0'));
        ASSERT_EQ(store.Register("new.mld", 0), RegisterResult::kRegistered);
        const std::string path = store.At(store.Count() - 1)->path;
        EXPECT_EQ(path.rfind("Melody\\", 0), 0u) << path;
        EXPECT_TRUE(stdfs::exists(Home() / "work" / fs::NativePath(path)));
    }
    EXPECT_FALSE(stdfs::exists(Home() / "elsewhere"));
    EXPECT_EQ(test::ReadFileBytes(Home() / "victim"), kVictim);
}

TEST_F(SafetyPathsTest, DroppedFileNamesLandInTmpFilesOnly) {
    stdfs::create_directories(Home() / "work" / "in");
    struct Case {
        std::string file;       // the file as it exists
        std::string given;      // the path the drop hands over
        std::string tmp_name;   // its name in TmpFiles, "" when refused
    };
    const std::vector<Case> cases = {
        {"in/a.vcf", "in\\..\\in\\a.vcf", "a.vcf"},
        {"in/b\r\n\x01.vcf", "in/b\r\n\x01.vcf", "b\r\n\x01.vcf"},
        {"in/..", "in/..", ""},
        {"in/.", "in/.", ""},
    };
    clock::SetForTesting([] { return std::int64_t{0x50000000}; }, {});
    for (const auto& c : cases) {
        // Windows has no file of such a name to drop in the first place.
        if (test::HasControlCharacter(c.file) && !test::FileNamesTakeControlCharacters()) continue;
        if (!c.tmp_name.empty()) test::WriteFileBytes(Home() / "work" / c.file, "x");
        const auto stored = ReceivePump::CopyIntoTmpFiles(c.given);
        if (c.tmp_name.empty()) {
            EXPECT_FALSE(stored) << c.given;
            continue;
        }
        ASSERT_TRUE(stored) << c.given;
        EXPECT_EQ(*stored, "TmpFiles\\50000000 " + c.tmp_name);
        EXPECT_TRUE(stdfs::is_regular_file(Home() / "work" / "TmpFiles" / ("50000000 " + c.tmp_name)));
        stdfs::remove(Home() / "work" / fs::NativePath(*stored));
    }
    // An absolute path is read from where it is and taken in under its own name.
    const auto stored = ReceivePump::CopyIntoTmpFiles((Home() / "victim").string());
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, "TmpFiles\\50000000 victim");
    EXPECT_EQ(test::ReadFileBytes(Home() / "victim"), kVictim);
}

}  // namespace
}  // namespace sorvanto
