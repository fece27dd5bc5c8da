// sorvanto-cli export writes what the list windows' 保存 writes; sorvanto-cli archive refuses
// and reports as a command-line tool should.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/ini_file.h"
#include "store/category_stores.h"
#include "store/exports.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using test::ReadFileBytes;

class ExportArchiveCliTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        home_ = Home() / "home";
        stdfs::create_directories(home_);
        test::WriteFileBytes(home_ / "Sorvanto.ini", "[System]\r\nModel=1\r\n");
        std::vector<std::string> argv{SORVANTO_CLI, "--home", home_.string(), "import"};
        for (const auto& e :
             stdfs::directory_iterator(stdfs::path(SORVANTO_SOURCE_DIR) / "data/samples/family1"))
            argv.push_back(e.path().string());
        const auto r = test::Run(argv);
        ASSERT_EQ(r.exit_code, 0) << r.err;
    }

    test::RunResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), {SORVANTO_CLI, "--home", home_.string()});
        return test::Run(args, 120000);
    }

    stdfs::path home_;
};

// What the list windows wrote before they shared the export function, for each category: the
// command-line tool must give the same bytes.
TEST_F(ExportArchiveCliTest, ExportWritesTheListWindowsBytesForEveryCategory) {
    const std::pair<const char*, Category> kCategories[] = {
        {"melody", Category::kMelody},   {"picture", Category::kPicture}, {"bookmark", Category::kBookmark},
        {"outmail", Category::kOutMail}, {"inmail", Category::kInMail},   {"address", Category::kAddress},
        {"mypic", Category::kMyPic}};
    for (const auto& [name, category] : kCategories) {
        SCOPED_TRACE(name);
        const stdfs::path mine = Home() / (std::string(name) + ".cli");
        const auto r = Cli({"export", name, "0", mine.string()});
        ASSERT_EQ(r.exit_code, 0) << r.err;
        // The desktop's way, in the working folder as the program runs.
        stdfs::current_path(home_);
        CategoryStores stores;
        stores.Of(category).SetReadOnly(true);
        ASSERT_TRUE(stores.Of(category).Load());
        const std::string theirs = (Home() / (std::string(name) + ".desktop")).string();
        bool ok = false;
        switch (category) {
            case Category::kMelody:
                ok = ExportDataFile(stores.melody.At(0)->path, theirs);
                break;
            case Category::kPicture:
                ok = ExportDataFile(stores.picture.At(0)->path, theirs);
                break;
            case Category::kMyPic:
                ok = ExportDataFile(stores.my_pic.At(0)->path, theirs);
                break;
            case Category::kBookmark:
                ok = WriteInternetShortcut(stores.bookmark.At(0)->url, theirs);
                break;
            case Category::kOutMail:
                ok = ExportMailFile(*stores.out_mail.At(0), false, theirs);
                break;
            case Category::kInMail:
                ok = ExportMailFile(*stores.in_mail.At(0), true, theirs);
                break;
            case Category::kAddress:
                ok = ExportVCard(*stores.address.At(0), theirs);
                break;
        }
        stdfs::current_path(Home());
        ASSERT_TRUE(ok);
        const std::string bytes = ReadFileBytes(mine);
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(bytes, ReadFileBytes(theirs));
    }
}

TEST_F(ExportArchiveCliTest, ExportProposesNamesAndTakesSeveralItems) {
    // Without FILE: the proposed name in the folder the tool was started from.
    const auto one = Cli({"export", "address", "0"});
    ASSERT_EQ(one.exit_code, 0) << one.err;
    EXPECT_EQ(one.out, (Home() / u8"山田 太郎.vcf").string() + "\n");
    EXPECT_TRUE(stdfs::exists(Home() / u8"山田 太郎.vcf"));
    // Several items into a folder, a clash of titles made unique.
    stdfs::create_directory(Home() / "many");
    const auto many = Cli({"export", "address", "0,0", "1", (Home() / "many").string()});
    ASSERT_EQ(many.exit_code, 0) << many.err;
    EXPECT_TRUE(stdfs::exists(Home() / "many" / u8"山田 太郎.vcf"));
    EXPECT_TRUE(stdfs::exists(Home() / "many" / u8"山田 太郎 (2).vcf"));
    EXPECT_EQ(std::distance(stdfs::directory_iterator(Home() / "many"), stdfs::directory_iterator()), 3);
    EXPECT_EQ(Cli({"export", "address", "0", "1", (Home() / "x.vcf").string()}).exit_code, 2);
    EXPECT_EQ(Cli({"export", "address", "99"}).exit_code, 1);
    EXPECT_EQ(Cli({"export", "songs", "0"}).exit_code, 2);
    EXPECT_EQ(Cli({"export", "address"}).exit_code, 2);
}

TEST_F(ExportArchiveCliTest, ArchiveSummaryRefusalAndSkippedItems) {
    const auto ok = Cli({"archive", (Home() / "a").string(), "--vcard", "4.0"});
    EXPECT_EQ(ok.exit_code, 0) << ok.err;
    EXPECT_NE(ok.out.find("files written to"), std::string::npos);
    EXPECT_NE(ReadFileBytes(Home() / "a" / "contacts.vcf").find("VERSION:4.0"), std::string::npos);

    // With --wav each melody is rendered too, and the page gets a player for it.
    const auto wav = Cli({"archive", (Home() / "w").string(), "--wav"});
    if (wav.exit_code == 0) {
        bool found = false;
        for (const auto& e : stdfs::directory_iterator(Home() / "w" / "melodies"))
            found = found || (e.path().extension() == ".wav" && ReadFileBytes(e.path()).rfind("RIFF", 0) == 0);
        EXPECT_TRUE(found);
        EXPECT_NE(ReadFileBytes(Home() / "w" / "index.html").find("<audio controls"), std::string::npos);
    } else {  // no sound font on this machine, or no FluidSynth in this build: said so once
        const std::string report = ReadFileBytes(Home() / "w" / "archive-report.txt");
        EXPECT_TRUE(report.find("no sound font") != std::string::npos ||
                    report.find("no FluidSynth") != std::string::npos)
            << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2) << report;
    }

    const auto again = Cli({"archive", (Home() / "a").string()});
    EXPECT_EQ(again.exit_code, 1);
    EXPECT_NE(again.err.find("is not empty"), std::string::npos);
    EXPECT_EQ(Cli({"archive", (Home() / "b").string(), "--vcard", "2.1"}).exit_code, 2);
    EXPECT_EQ(Cli({"archive"}).exit_code, 2);

    // A melody whose data file is gone: everything else is written, one line says why.
    IniFile index((home_ / "mldfile.ini").string());
    std::string path = index.GetString("Item0", "Path");
    for (char& c : path) c = c == '\\' ? '/' : c;
    stdfs::remove(home_ / path);
    const auto skipped = Cli({"archive", (Home() / "c").string()});
    EXPECT_EQ(skipped.exit_code, 1);
    EXPECT_NE(skipped.err.find("1 items skipped, see archive-report.txt"), std::string::npos) << skipped.err;
    EXPECT_EQ(std::count(skipped.err.begin(), skipped.err.end(), '\n'), 1);
    EXPECT_TRUE(stdfs::exists(Home() / "c" / "index.html"));
}

// Names in any script, typed relative to the start folder or absolute, reach the files they
// name: a Windows program must not read them in the system's code page.
TEST_F(ExportArchiveCliTest, JapaneseAndOtherScriptsInFileAndFolderNames) {
    const stdfs::path backup = Home() / u8"バックアップ";
    stdfs::create_directory(backup);
    const stdfs::path sample = stdfs::path(SORVANTO_SOURCE_DIR) / "data/samples/family1/pb.vcf";
    stdfs::copy_file(sample, backup / "pb.vcf");
    stdfs::copy_file(sample, backup / u8"山田.vcf");
    const stdfs::path other = Home() / "other";
    stdfs::create_directories(other);
    test::WriteFileBytes(other / "Sorvanto.ini", "[System]\r\nModel=1\r\n");
    // The handset's own name is imported; a name of the user's is taken too (and, being no
    // object name the model knows, left unimported).
    for (const char8_t* name : {u8"pb.vcf", u8"山田.vcf"}) {
        const auto imported = test::Run({SORVANTO_CLI, "--home", other.string(), "import",
                                         (stdfs::path(u8"バックアップ") / name).string()});
        EXPECT_EQ(imported.exit_code, 0) << imported.err;
        EXPECT_EQ(imported.err.find("cannot take"), std::string::npos) << imported.err;
    }
    stdfs::current_path(other);
    CategoryStores stores;
    stores.address.SetReadOnly(true);
    ASSERT_TRUE(stores.address.Load());
    EXPECT_GT(stores.address.Count(), 0);
    stdfs::current_path(Home());

    // Hangul has no code page 932 form.
    for (const stdfs::path& folder : {backup / u8"書き出し", Home() / u8"내보내기"}) {
        stdfs::create_directory(folder);
        const auto exported = Cli({"export", "address", "0", folder.string()});
        ASSERT_EQ(exported.exit_code, 0) << exported.err;
        EXPECT_EQ(exported.out, (folder / u8"山田 太郎.vcf").string() + "\n");
        EXPECT_NE(ReadFileBytes(folder / u8"山田 太郎.vcf").find("BEGIN:VCARD"), std::string::npos);
        const stdfs::path file = folder / u8"電話帳.vcf";
        ASSERT_EQ(Cli({"export", "address", "0", file.string()}).exit_code, 0);
        EXPECT_EQ(ReadFileBytes(file), ReadFileBytes(folder / u8"山田 太郎.vcf"));
    }

    for (const stdfs::path& folder : {backup / u8"保存先", Home() / u8"보관"}) {
        const auto archived = Cli({"archive", folder.string()});
        EXPECT_EQ(archived.exit_code, 0) << archived.err;
        EXPECT_NE(archived.out.find(folder.string()), std::string::npos) << archived.out;
        EXPECT_NE(ReadFileBytes(folder / "contacts.vcf").find("BEGIN:VCARD"), std::string::npos);
        EXPECT_TRUE(stdfs::exists(folder / "index.html"));
    }
    // Nothing went anywhere else: the start folder holds what the test made, and no garbled twin.
    std::vector<std::string> names;
    for (const auto& e : stdfs::directory_iterator(Home())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected{stdfs::path(u8"バックアップ").string(),
                                      stdfs::path(u8"내보내기").string(), stdfs::path(u8"보관").string(),
                                      "home", "other"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace sorvanto
