#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "formats/importer_for_model.h"
#include "store/category_stores.h"
#include "store/store_import_sink.h"
#include "store_fixture.h"

namespace sorvanto::test {
namespace {

namespace stdfs = std::filesystem;

// The stored tree of every family's samples, a 1,000-entry phone book and a 1,000-mail inbox,
// pushed with the clock frozen, is held as a list of file digests beside this test. It pins the
// store's files byte for byte (names, data files, index files) across changes to the import
// path. SORVANTO_REGENERATE_EXPECTED=1 writes the list anew after an intended change of format.
constexpr const char* kExpected = "store/imported_store_digests.txt";

std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string PhoneBook(int entries) {
    std::string out;
    char line[128];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(line, sizeof line, "%04d", i);
        out += "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:" + Sj("山田太郎") + line + ";;;;\r\n";
        out += "SOUND;CHARSET=SHIFT_JIS;X-IRMC-N:" + Sj("ﾔﾏﾀﾞﾀﾛｳ") + ";;;;\r\n";
        std::snprintf(line, sizeof line, "TEL;CELL:090-%04d-%04d\r\nX-DIF:0001\r\nTEL;HOME:03-1234-%04d\r\n", i / 100, i, i);
        out += line;
        std::snprintf(line, sizeof line, "X-DIF:0002\r\nEMAIL;INTERNET:user%d@docomo.ne.jp\r\nX-MIF:01\r\n", i);
        out += line;
        out += "X-NOTE;CHARSET=SHIFT_JIS:" + Sj("メモ") + "\r\nX-CLASS:PUBLIC\r\nEND:VCARD\r\n";
    }
    return out;
}

std::string Inbox(int mails) {
    std::string out;
    for (int i = 0; i < mails; ++i) {
        const std::string n = std::to_string(i);
        out += "BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-BOX:INBOX\r\nBEGIN:VENV\r\nBEGIN:VENV\r\nBEGIN:VBODY\r\n"
               "From:friend" + n + "@docomo.ne.jp\r\nTo:me@docomo.ne.jp\r\nSubject:=?shift-jis?B?gqCCooKk?=\r\n"
               "Date:Fri, 02 Jan 2004 09:05:07 +0900\r\nContent-Transfer-Encoding:quoted-printable\r\n\r\n"
               "=82=B1=82=F1=82=C9=82=BF=82=CD " + n + "=0D=0Aline two\r\n"
               "END:VBODY\r\nEND:VENV\r\nEND:VENV\r\nEND:VMSG\r\n";
    }
    return out;
}

// Every file below the folder with its size and digest, one line each, in name order.
std::string DigestList(const stdfs::path& root) {
    std::vector<std::string> lines;
    for (const auto& e : stdfs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        const std::string bytes = ReadFileBytes(e.path());
        char digest[32];
        std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(Fnv1a(bytes)));
        lines.push_back(stdfs::relative(e.path(), root).generic_string() + "\t" + std::to_string(bytes.size()) + "\t" + digest);
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

class ImportedStoreBytes : public StoreTest {};

TEST_F(ImportedStoreBytes, StoreTreeMatchesTheRecordedDigests) {
    struct Family {
        const char* folder;
        int model;
    };
    const Family families[] = {{"family0", 0}, {"family1", 1}, {"nec", 2}, {"family4", 4}};
    std::string all;
    for (const Family& family : families) {
        SCOPED_TRACE(family.folder);
        // Each family gets a store of its own, in a folder of its own, as a user with that
        // handset would have.
        const stdfs::path home = Home() / family.folder;
        stdfs::create_directories(home);
        stdfs::current_path(home);
        FreezeClock(1073001907);
        {
            CategoryStores stores;
            RecordingObserver observer;
            stores.SetObserver(&observer);
            stores.LoadAll();
            StoreImportSink sink(stores);
            auto importer = ImporterForModel(family.model, sink);
            const stdfs::path samples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / family.folder;
            std::vector<std::pair<std::string, std::string>> objects;
            for (const auto& e : stdfs::directory_iterator(samples))
                objects.emplace_back(e.path().filename().string(), ReadFileBytes(e.path()));
            std::sort(objects.begin(), objects.end());
            if (family.model == 0) {
                objects.emplace_back("telecom_pb.vcf", PhoneBook(1000));
                objects.emplace_back("telecom_inmsg.vmg", Inbox(1000));
            }
            stdfs::create_directories("TmpFiles");
            int n = 0;
            for (const auto& [name, bytes] : objects) {
                char prefix[16];
                std::snprintf(prefix, sizeof prefix, "%08x ", n++);
                WriteFileBytes(stdfs::path("TmpFiles") / (prefix + name), bytes);
                sink.BeginBatch();
                importer->Import("TmpFiles\\" + std::string(prefix) + name);
                sink.EndBatch();
            }
            EXPECT_TRUE(observer.failures.empty());
            EXPECT_TRUE(stdfs::is_empty("TmpFiles"));
        }
        stdfs::current_path(Home());
        std::istringstream lines(DigestList(home));
        for (std::string line; std::getline(lines, line);) all += std::string(family.folder) + "/" + line + "\n";
    }

    const stdfs::path expected = DataPath(kExpected);
    if (const char* regen = std::getenv("SORVANTO_REGENERATE_EXPECTED"); regen && std::string(regen) == "1") {
        std::ofstream(expected, std::ios::binary) << all;
        GTEST_SKIP() << "wrote " << expected;
    }
    const std::string want = ReadFileBytes(expected);
    ASSERT_FALSE(want.empty()) << "no recorded digests at " << expected;
    EXPECT_EQ(all, want);
    // Nothing but the index files and the data folders: no work file is left beside them.
    for (const auto& e : stdfs::directory_iterator(Home() / "family0")) {
        if (e.is_regular_file()) {
            EXPECT_EQ(e.path().extension(), ".ini") << e.path();
        }
    }
}

// The store takes the importers' objects from memory: with every work-file name and the split
// file's name taken by a folder, so that none of them could be written, a whole family still
// registers; the file-based hand-over is what stops there.
TEST_F(ImportedStoreBytes, ImportWritesNoWorkFile) {
    for (const char* blocked : {"addr.ini", "cnv.msg", "cnv.mld", "cnv.tmp", "img.tmp", "img_.tmp", "img2.tmp",
                                "TmpFiles/00000000dummy.txt"})
        stdfs::create_directories(blocked);
    FreezeClock(1073001907);
    CategoryStores stores;
    RecordingObserver observer;
    stores.SetObserver(&observer);
    stores.LoadAll();
    StoreImportSink sink(stores);
    auto importer = ImporterForModel(1, sink);
    const stdfs::path samples = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / "family1";
    for (const auto& e : stdfs::directory_iterator(samples)) {
        WriteFileBytes(stdfs::path("TmpFiles") / ("00000000 " + e.path().filename().string()), ReadFileBytes(e.path()));
        importer->Import("TmpFiles\\00000000 " + e.path().filename().string());
    }
    EXPECT_TRUE(observer.failures.empty());
    EXPECT_EQ(stores.address.Count(), 4);
    EXPECT_EQ(stores.in_mail.Count(), 3);
    EXPECT_EQ(stores.out_mail.Count(), 4);
    EXPECT_EQ(stores.melody.Count(), 1);
    EXPECT_EQ(stores.picture.Count(), 1);
    EXPECT_EQ(stores.my_pic.Count(), 2);
    EXPECT_EQ(stores.bookmark.Count(), 3);
    std::vector<std::string> left;
    for (const auto& e : stdfs::directory_iterator("TmpFiles")) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"00000000dummy.txt"});  // only the blocking folder
}

}  // namespace
}  // namespace sorvanto::test
